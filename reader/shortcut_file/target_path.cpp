// SPDX-License-Identifier: MIT
// The target path, rebuilt from the items of the target ID list. Every read of the
// list bytes goes through the bounded helpers of byte_span.h.
#include "shortcut_file/target_path.h"

#include <shortcut_reader/shortcut_file.h>

#include <cstring>

#include "bytes/byte_span.h"

namespace shortcut_file {

using link_format::BoundedTextLength;
using link_format::ByteSpan;
using link_format::ReadLittleEndian;

namespace {

constexpr unsigned kItemSizeBytes = 2;
constexpr std::uint32_t kSmallestDataItem = kItemSizeBytes + 1;  // size and type byte
constexpr char kDesktop[] = "Desktop";
constexpr char kSeparator[] = "\\";

enum class ItemKind {
    kNone,      // no item, or one that cannot be used: the end of a list without terminator
    kTerminal,  // ItemIDSize 0
    kData,      // an item with a type byte, lying wholly inside the list
};

ByteSpan Rest(const unsigned char* item, const unsigned char* listEnd) {
    return ByteSpan{item, static_cast<std::size_t>(listEnd - item)};
}

// Fewer than two bytes left, an ItemIDSize of 1 or 2, or one that carries the item past
// the end of the list all end the walk as the end of the list does.
ItemKind Classify(const unsigned char* item, const unsigned char* listEnd, std::uint32_t& size) {
    size = 0;
    if (item == nullptr || item > listEnd || !ReadLittleEndian(Rest(item, listEnd), 0, kItemSizeBytes, size)) {
        return ItemKind::kNone;
    }
    if (size == 0) {
        return ItemKind::kTerminal;
    }
    if (size < kSmallestDataItem || !Rest(item, listEnd).Holds(0, size)) {
        return ItemKind::kNone;
    }
    return ItemKind::kData;
}

ItemKind Classify(const unsigned char* item, const unsigned char* listEnd) {
    std::uint32_t size = 0;
    return Classify(item, listEnd, size);
}

// Where the name begins, counted from the type byte, or -1 for an item with no name.
int NameOffset(std::uint32_t typeByte) {
    switch (typeByte) {
        case 0x23: case 0x25: case 0x29: case 0x2F:  // volume and drive items: after the type byte
            return 1;
        case 0x30: case 0x31: case 0x32: case 0x61: case 0xB1:  // file entries: after 11 bytes of size, date, attributes
            return 12;
        case 0x41: case 0x42: case 0x46: case 0x47: case 0xC3:  // network items: the type byte itself opens the name
            return 0;
        default:  // 0x1F, 0x2E and every other type carry no name
            return -1;
    }
}

// Appends to the joined path, cutting at the last byte that leaves room for the terminator.
struct PathWriter {
    char* path;
    std::size_t length = 0;

    void Append(const char* text) {
        const std::size_t room = kPathBytes - 1 - length;
        const std::size_t textLength = std::strlen(text);
        const std::size_t take = textLength < room ? textLength : room;
        std::memcpy(path + length, text, take);
        length += take;
        path[length] = '\0';
    }
};

}  // namespace

const unsigned char* ItemData(const unsigned char* item, const unsigned char* listEnd) {
    return Classify(item, listEnd) == ItemKind::kData ? item + kItemSizeBytes : nullptr;
}

const unsigned char* NextItem(const unsigned char* item, const unsigned char* listEnd) {
    std::uint32_t size = 0;
    if (Classify(item, listEnd, size) != ItemKind::kData) {
        return nullptr;
    }
    const unsigned char* const next = item + size;  // inside the list or at its end, checked above
    return Classify(next, listEnd) == ItemKind::kNone ? nullptr : next;
}

bool IsTerminalItem(const unsigned char* item, const unsigned char* listEnd) {
    return Classify(item, listEnd) != ItemKind::kData;
}

const unsigned char* ItemNameStart(const unsigned char* item, const unsigned char* listEnd) {
    const unsigned char* const data = ItemData(item, listEnd);
    std::uint32_t typeByte = 0;
    if (data == nullptr || !ReadLittleEndian(Rest(data, listEnd), 0, 1, typeByte)) {
        return nullptr;
    }
    const int offset = NameOffset(typeByte);
    if (offset < 0) {
        return nullptr;
    }
    // A name that would begin past the end of the list is empty: it begins at the end.
    return Rest(data, listEnd).Holds(0, static_cast<std::uint64_t>(offset)) ? data + offset : listEnd;
}

int ItemName(const unsigned char* item, const unsigned char* listEnd, char* slot, int limit) {
    const ItemKind kind = Classify(item, listEnd);
    if (kind == ItemKind::kNone || limit <= 0) {
        return 0;
    }
    *slot = '\0';
    const std::size_t room = static_cast<std::size_t>(limit) - 1;  // the slot keeps its terminator
    const void* name = kDesktop;
    std::size_t length = 0;
    if (kind == ItemKind::kTerminal) {
        length = room < sizeof kDesktop - 1 ? room : sizeof kDesktop - 1;
    } else {
        const unsigned char* const start = ItemNameStart(item, listEnd);
        if (start == nullptr) {
            return 0;
        }
        // A name runs up to its zero byte, past its own item if need be, but never past the list.
        name = start;
        length = BoundedTextLength(Rest(start, listEnd), 0, room);
    }
    std::memcpy(slot, name, length);
    std::memset(slot + length, 0, static_cast<std::size_t>(limit) - length);
    return static_cast<int>(length);
}

void BuildTargetPath(const unsigned char* list, unsigned size, char* path) {
    *path = '\0';
    if (list == nullptr) {
        return;
    }
    const unsigned char* const listEnd = list + size;
    char table[kMaxComponents][kComponentBytes];
    int used = 0;

    // The first item of the list, the root, is never named.
    const unsigned char* item = NextItem(list, listEnd);
    while (item != nullptr) {
        ItemName(item, listEnd, table[used++], kComponentBytes);
        // Only the first slot is tested: a deeper folder named Desktop is joined as any other.
        if (std::strcmp(table[0], kDesktop) == 0 || used == kMaxComponents) {
            break;
        }
        item = NextItem(item, listEnd);
        if (IsTerminalItem(item, listEnd)) {
            break;
        }
    }

    // No separator between the first and second names; one between each later pair.
    PathWriter writer{path};
    for (int i = 0; i < used; ++i) {
        writer.Append(table[i]);
        if (i > 0 && i < used - 1) {
            writer.Append(kSeparator);
        }
    }
}

}  // namespace shortcut_file

// The parse's own entry to the walk.
void ShortcutFile::BuildTargetPath(const unsigned char* list, unsigned size, char* path) {
    shortcut_file::BuildTargetPath(list, size, path);
}
