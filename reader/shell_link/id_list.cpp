// SPDX-License-Identifier: MIT
// ID lists and their shell items. The list is walked by each ItemIDSize (record_walker.h),
// never past the list's end; an item's own fields are read only inside the item, by the public layouts of
// root folder (0x1F), volume (0x20-0x2F), file entry (0x30-0x3F) and network location
// (0x40-0x4F) items. Every other item keeps the start of its bytes.
#include <string>

#include "shell_link/record_walker.h"

namespace shell_link::detail {

namespace {

constexpr std::uint32_t kExtensionSignatureHigh = 0xBEEF0000;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;

RootFolderItem ReadRootFolder(ByteSpan item) {
    return RootFolderItem{Field<std::uint8_t>(item, 3), GuidField(item, 4)};
}

// The name, when bit 0x01 of the class type says there is one: code-page text in the
// 20 bytes after the class type.
VolumeItem ReadVolume(Reading& reading, ByteSpan item, std::uint8_t classType) {
    VolumeItem volume;
    if ((classType & 0x01) != 0 && item.Holds(3, 0)) {
        volume.name = AnsiTextZ(reading, item.Sub(3, 20), item);
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
    constexpr std::uint64_t kNameOffset = 0x0E;
    FileEntryItem entry;
    entry.file_size = Field<std::uint32_t>(item, 4);
    if (const auto modified = Field<std::uint32_t>(item, 8)) {
        entry.modification_time = DosDateTime{*modified};
    }
    entry.file_attributes = Field<std::uint16_t>(item, 0x0C);
    if (!item.Holds(kNameOffset, 0)) {
        return entry;
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
    const std::optional<ByteSpan> extension = FindFileEntryExtension(item, blocksAt.value_or(after));
    if (extension) {
        ReadFileEntryExtension(reading, *extension, entry);
    }
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

Item ReadItem(Reading& reading, ByteSpan item, std::uint16_t size) {
    Item read;
    read.offset = reading.OffsetOf(item);
    read.item_id_size = size;
    read.class_type_indicator = Field<std::uint8_t>(item, 2).value_or(0);
    const std::uint8_t type = read.class_type_indicator;
    if (type == 0x1F) {
        read.data = ReadRootFolder(item);
    } else if ((type & 0x70) == 0x20) {
        read.data = ReadVolume(reading, item, type);
    } else if ((type & 0x70) == 0x30) {
        read.data = ReadFileEntry(reading, item, type);
    } else if ((type & 0x70) == 0x40) {
        read.data = ReadNetworkLocation(reading, item);
    } else {
        read.data = UnknownItem{DataPrefix(item.Sub(2, item.size))};
    }
    return read;
}

}  // namespace

std::vector<Item> ReadItems(Reading& reading, ByteSpan list) {
    static constexpr RecordList kItems{"an item", "items", "the ID list", 2, 1, 3, true};
    std::vector<Item> items;
    items.reserve(8);  // lists mostly hold fewer: one allocation, no moves
    const std::uint64_t unlistedBefore = reading.items.unlisted;
    WalkRecords(reading, list, kItems, reading.items, [&](ByteSpan item, std::uint32_t size) {
        items.push_back(ReadItem(reading, item, static_cast<std::uint16_t>(size)));
        return true;
    });
    WarnUnlisted(reading, list, kItems, reading.items.unlisted - unlistedBefore, kMaxItems);
    return items;
}

std::optional<std::string> ItemPath(const std::vector<Item>& items) {
    std::optional<std::string> path;
    const auto append = [&path](const std::string& name) {
        if (!path->empty() && path->back() != '\\') {
            path->push_back('\\');
        }
        path->append(name);
    };
    for (const Item& item : items) {
        if (!path) {
            // A volume item without a name (a shell folder's, as on Windows XP) gives no
            // root: the path begins at one that names its drive.
            if (const auto* volume = std::get_if<VolumeItem>(&item.data); volume != nullptr && volume->name) {
                path = *volume->name;
            } else if (const auto* network = std::get_if<NetworkLocationItem>(&item.data);
                       network != nullptr && network->location) {
                path = *network->location;
            }
        } else if (const auto* entry = std::get_if<FileEntryItem>(&item.data)) {
            append(entry->long_name ? *entry->long_name : entry->short_name.value_or(""));
        }
    }
    return path;
}

}  // namespace shell_link::detail
