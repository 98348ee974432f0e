// SPDX-License-Identifier: MIT
// ID lists and their shell items. The list is walked by each ItemIDSize (record_walker.h),
// never past the list's end; an item's own fields are read only inside the item. Its
// kind comes from its class type indicator and, where that is not enough, from the
// signatures and frames of its bytes, tested in a fixed order; the first kind whose
// checks pass reads it. Root folder (0x1F), volume (0x20-0x2F), file entry (0x30-0x3F)
// and network location (0x40-0x4F) items are read here, even when cut short; the other
// kinds only when whole. An item no kind takes keeps the start of its bytes.
#include <string>

#include "format/well_known.h"
#include "shell_link/record_walker.h"
#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

constexpr std::uint32_t kExtensionSignatureHigh = 0xBEEF0000;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;

RootFolderItem ReadRootFolder(ByteSpan item) {
    RootFolderItem root{Field<std::uint8_t>(item, 3), GuidField(item, 4)};
    if (root.root_folder_id) {
        root.name = link_format::ShellFolderName(root.root_folder_id->data());
    }
    return root;
}

// A drive's name: code-page text in the 20 bytes after the class type, up to its
// terminator. Bit 0x01 of the class type says the name is there, but class 0x2A items
// hold one without it: an item without the bit is taken to hold a name where it has room
// for the 20 bytes and the two after them, and a terminator ends the name among them.
VolumeItem ReadVolume(Reading& reading, ByteSpan item, std::uint8_t classType) {
    constexpr std::uint64_t kNameBytes = 20;
    constexpr std::uint64_t kNamedVolumeBytes = 0x17;
    VolumeItem volume;
    const ByteSpan name = item.Sub(3, kNameBytes);
    const bool named = (classType & 0x01) != 0 ? item.Holds(3, 0)
                                               : item.size >= kNamedVolumeBytes && ZeroTerminatedBytes(name) < name.size;
    if (named) {
        volume.name = AnsiTextZ(reading, name, item);
    }
    return volume;
}

// The start of a plausible extension block at offset: at least its 8 bytes, inside the
// item, with a 0xBEEFxxxx signature.
bool IsExtensionBlock(ByteSpan item, std::uint64_t offset) {
    const std::optional<std::uint16_t> size = Field<std::uint16_t>(item, offset);
    const std::optional<std::uint32_t> signature = Field<std::uint32_t>(item, offset + 4);
    return size && signature && *size >= 8 && item.Holds(offset, *size) &&
           (*signature & 0xFFFF0000) == kExtensionSignatureHigh;
}

// The 0xBEEF0004 block among the blocks that start at offset, back to back.
std::optional<ByteSpan> FindFileEntryExtension(ByteSpan item, std::uint64_t offset) {
    while (IsExtensionBlock(item, offset)) {
        const std::uint16_t size = Field<std::uint16_t>(item, offset).value_or(0);
        if (Field<std::uint32_t>(item, offset + 4) == kFileEntryExtension) {
            return item.Sub(offset, size);
        }
        offset += size;
    }
    return std::nullopt;
}

// Where the long name starts in a 0xBEEF0004 block of this version: versions before 7
// (3 to 6) lay it out as version 3 does, and versions after 9 as version 9.
unsigned LongNameOffset(std::uint16_t version) {
    if (version < 7) {
        return 0x14;
    }
    if (version == 7) {
        return 0x26;
    }
    return version == 8 ? 0x2A : 0x2E;
}

void ReadFileEntryExtension(Reading& reading, ByteSpan block, FileEntryItem& entry) {
    const std::uint16_t version = Field<std::uint16_t>(block, 2).value_or(0);
    if (const auto created = Field<std::uint32_t>(block, 8)) {
        entry.creation_time = DosDateTime{*created};
    }
    if (const auto accessed = Field<std::uint32_t>(block, 0x0C)) {
        entry.access_time = DosDateTime{*accessed};
    }
    if (version >= 7) {
        if (const auto reference = Field<std::uint64_t>(block, 0x14)) {
            entry.mft_entry = *reference & 0x0000FFFFFFFFFFFFu;
            entry.mft_sequence = static_cast<std::uint16_t>(*reference >> 48);
        }
    }
    // The block's last two bytes are the offset of the item's first block, not text.
    const ByteSpan names = block.Sub(0, block.size - 2);
    if (names.Holds(LongNameOffset(version), 0)) {
        entry.long_name = Utf16TextZ(reading, names.Sub(LongNameOffset(version), names.size), block);
    }
}

FileEntryItem ReadFileEntry(Reading& reading, ByteSpan item, std::uint8_t classType) {
    FileEntryItem entry;
    ReadFileEntryFields(reading, item, classType, entry);
    return entry;
}

// Code-page texts: the location, then a description and comments where the flags at
// offset 4 announce them (0x80, 0x40).
NetworkLocationItem ReadNetworkLocation(Reading& reading, ByteSpan item) {
    NetworkLocationItem network;
    const std::uint8_t flags = Field<std::uint8_t>(item, 4).value_or(0);
    std::uint64_t at = 5;
    const auto next = [&]() -> std::optional<std::string> {
        if (!item.Holds(at, 0)) {
            return std::nullopt;
        }
        const ByteSpan rest = item.Sub(at, item.size);
        const std::size_t bytes = ZeroTerminatedBytes(rest);
        at += bytes + 1;
        return AnsiText(reading, rest.Sub(0, bytes), item);
    };
    network.location = next();
    if ((flags & 0x80) != 0) {
        network.description = next();
    }
    if ((flags & 0x40) != 0) {
        network.comments = next();
    }
    return network;
}

// The kinds in the order their tests must run: a class that names a kind first, then the
// signatures (those at offset 6 before the Control Panel applet's at offset 4, whose
// signature 0 would take items whose bytes 4 to 7 happen to be zero). Each is assigned
// into the item's own variant: no item is moved once read.
void ReadItemData(Reading& reading, ByteSpan item, bool whole, const Item* previous, ItemData& data) {
    const std::uint8_t type = Field<std::uint8_t>(item, 2).value_or(0);
    if (type == 0x1F) {
        std::optional<DelegateItem> delegate = whole ? ReadDelegate(reading, item, type) : std::nullopt;
        if (delegate) {
            data = std::move(*delegate);
        } else {
            data = ReadRootFolder(item);
        }
        return;
    }
    if ((type & 0x70) == 0x20) {
        std::optional<VolumeItem> folder = type == 0x2E && whole ? ReadShellFolderVolume(reading, item) : std::nullopt;
        if (type != 0x2E) {
            data = ReadVolume(reading, item, type);
        } else {
            data = folder ? std::move(*folder) : VolumeItem{};
        }
        return;
    }
    if ((type & 0x70) == 0x30) {
        data = ReadFileEntry(reading, item, type);
        return;
    }
    if ((type & 0x70) == 0x40) {
        data = ReadNetworkLocation(reading, item);
        return;
    }
    if (whole) {
        if (std::optional<ItemData> read = ReadSignatureItem(reading, item, type)) {
            data = std::move(*read);
            return;
        }
        if (previous != nullptr && FollowsZipFolder(*previous)) {
            if (std::optional<ZipFolderItem> zip = ReadZipFolderItem(reading, item)) {
                data = std::move(*zip);
                return;
            }
        }
    }
    data = UnknownItem{DataPrefix(item.Sub(2, item.size))};
}

}  // namespace

void ReadFileEntryFields(Reading& reading, ByteSpan item, std::uint8_t classType, FileEntryItem& entry) {
    constexpr std::uint64_t kNameOffset = 0x0E;
    entry.file_size = Field<std::uint32_t>(item, 4);
    if (const auto modified = Field<std::uint32_t>(item, 8)) {
        entry.modification_time = DosDateTime{*modified};
    }
    entry.file_attributes = Field<std::uint16_t>(item, 0x0C);
    if (!item.Holds(kNameOffset, 0)) {
        return;
    }
    // The item's last two bytes give the offset of its first extension block: where they
    // do, the names end before it (a UTF-16 name may lack its terminator there). Else the
    // blocks follow the primary name, an ANSI one padded to an even offset.
    std::optional<std::uint64_t> blocksAt;
    if (const auto first = Field<std::uint16_t>(item, item.size - 2);
        first && *first > kNameOffset && IsExtensionBlock(item, *first)) {
        blocksAt = *first;
    }
    const ByteSpan names = item.Sub(kNameOffset, blocksAt ? *blocksAt - kNameOffset : item.size);
    std::uint64_t after = kNameOffset;
    if ((classType & 0x04) != 0) {
        const std::size_t units = ZeroTerminatedUnits(names);
        entry.short_name = Utf16Text(reading, names, units, item);
        after += 2 * units + 2;
    } else {
        const std::size_t bytes = ZeroTerminatedBytes(names);
        entry.short_name = AnsiText(reading, names.Sub(0, bytes), item);
        after += bytes + 1;
        after += after % 2;
    }
    ReadFileEntryExtensionAt(reading, item, blocksAt.value_or(after), entry);
}

bool ReadFileEntryExtensionAt(Reading& reading, ByteSpan item, std::uint64_t offset, FileEntryItem& entry) {
    const std::optional<ByteSpan> extension = FindFileEntryExtension(item, offset);
    if (extension) {
        ReadFileEntryExtension(reading, *extension, entry);
    }
    return extension.has_value();
}


std::vector<Item> ReadItems(Reading& reading, ByteSpan list) {
    static constexpr RecordList kItems{"an item", "items", "the ID list", 2, 1, 3, true};
    std::vector<Item> items;
    // Lists mostly hold fewer: one allocation, no moves, and small enough for malloc's
    // fast per-thread cache.
    items.reserve(6);
    const std::uint64_t unlistedBefore = reading.items.unlisted;
    WalkRecords(reading, list, kItems, reading.items, [&](ByteSpan item, std::uint32_t size) {
        // ZIP folder items are known by the item before them. An item cut short by its
        // list is read only as far as the file-system kinds go: the others' checks need
        // the whole item.
        const std::size_t index = items.size();
        Item& read = items.emplace_back();
        read.offset = reading.OffsetOf(item);
        read.item_id_size = static_cast<std::uint16_t>(size);
        read.class_type_indicator = Field<std::uint8_t>(item, 2).value_or(0);
        ReadItemData(reading, item, item.size == size, index > 0 ? &items[index - 1] : nullptr, read.data);
        return true;
    });
    WarnUnlisted(reading, list, kItems, reading.items.unlisted - unlistedBefore, kMaxItems);
    return items;
}

}  // namespace shell_link::detail
