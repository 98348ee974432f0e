// SPDX-License-Identifier: MIT
// One ExtraData block, by its signature. Every field is read only inside the block, so a
// block shorter than its layout keeps the fields it holds; a fixed-size block that is
// shorter than it must be says so. An unknown block keeps only the start of its bytes.
#include <algorithm>
#include <string>

#include "format/layout.h"
#include "format/names.h"
#include "format/values.h"
#include "format/well_known.h"
#include "shell_link/mac_vendor.h"
#include "shell_link/reading.h"

namespace shell_link::detail {

namespace sr = link_format;

namespace {

constexpr std::uint64_t kBody = 8;  // after BlockSize and BlockSignature

// A code-page text in a fixed field of size bytes at offset, up to its first zero byte.
std::optional<std::string> AnsiField(Reading& reading, ByteSpan block, std::uint64_t offset, std::uint64_t size) {
    if (!block.Holds(offset, 1)) {
        return std::nullopt;
    }
    return AnsiTextZ(reading, block.Sub(offset, size), block);
}

std::optional<std::string> Utf16Field(Reading& reading, ByteSpan block, std::uint64_t offset, std::uint64_t size) {
    if (!block.Holds(offset, 2)) {
        return std::nullopt;
    }
    return Utf16TextZ(reading, block.Sub(offset, size), block);
}

// EnvironmentVariableDataBlock, IconEnvironmentDataBlock and DarwinDataBlock: 260 bytes of
// code-page text, then 520 of UTF-16.
std::pair<std::optional<std::string>, std::optional<std::string>> AnsiAndUnicode(Reading& reading, ByteSpan block) {
    return {AnsiField(reading, block, kBody, 260), Utf16Field(reading, block, kBody + 260, 520)};
}

ConsoleBlock ReadConsole(Reading& reading, ByteSpan block) {
    ConsoleBlock console;
    console.fill_attributes = Field<std::uint16_t>(block, 0x08);
    console.popup_fill_attributes = Field<std::uint16_t>(block, 0x0A);
    console.screen_buffer_size_x = Field<std::int16_t>(block, 0x0C);
    console.screen_buffer_size_y = Field<std::int16_t>(block, 0x0E);
    console.window_size_x = Field<std::int16_t>(block, 0x10);
    console.window_size_y = Field<std::int16_t>(block, 0x12);
    console.window_origin_x = Field<std::int16_t>(block, 0x14);
    console.window_origin_y = Field<std::int16_t>(block, 0x16);
    console.unused1 = Field<std::uint32_t>(block, 0x18);
    console.unused2 = Field<std::uint32_t>(block, 0x1C);
    console.font_size = Field<std::uint32_t>(block, 0x20);
    console.font_family = Field<std::uint32_t>(block, 0x24);
    console.font_weight = Field<std::uint32_t>(block, 0x28);
    console.face_name = Utf16Field(reading, block, 0x2C, 64);
    console.cursor_size = Field<std::uint32_t>(block, 0x6C);
    console.full_screen = Field<std::uint32_t>(block, 0x70);
    console.quick_edit = Field<std::uint32_t>(block, 0x74);
    console.insert_mode = Field<std::uint32_t>(block, 0x78);
    console.auto_position = Field<std::uint32_t>(block, 0x7C);
    console.history_buffer_size = Field<std::uint32_t>(block, 0x80);
    console.number_of_history_buffers = Field<std::uint32_t>(block, 0x84);
    console.history_no_dup = Field<std::uint32_t>(block, 0x88);
    if (block.Holds(0x8C, 64)) {
        std::array<std::uint32_t, 16> colors{};
        for (std::size_t i = 0; i < colors.size(); ++i) {
            colors[i] = Field<std::uint32_t>(block, 0x8C + 4 * i).value_or(0);
        }
        console.color_table = colors;
    }
    return console;
}

// The time the version-1 UUID at offset holds; what names it for a warning.
std::optional<FileTime> UuidTime(Reading& reading, ByteSpan block, std::uint64_t offset, const Guid& id, const char* what) {
    std::uint64_t filetime = 0;
    if (sr::UuidFileTime(id, filetime)) {
        return CheckedFileTime(reading, filetime, block.Sub(offset, 16));
    }
    reading.Warn(WarningCode::kInvalidTime, block.Sub(offset, 16),
                 std::string("the ") + what + "'s time lies before 1601, where a FILETIME cannot go");
    return std::nullopt;
}

// The MAC address of the machine that made a version-1 UUID, with its kind and vendor.
void ReadUuidNode(const Guid& id, std::optional<std::string>& address, std::optional<std::string>& vendor,
                  const char*& kind) {
    char mac[sr::kMacAddressTextLength];
    sr::UuidMacAddress(id, mac);
    address.emplace(mac, sizeof mac);
    MacAddress octets{};
    std::copy(id.begin() + 10, id.end(), octets.begin());
    kind = MacKind(octets);
    vendor = InstalledMacVendors().Vendor(octets);
}

TrackerBlock ReadTracker(Reading& reading, ByteSpan block) {
    TrackerBlock tracker;
    tracker.version = Field<std::uint32_t>(block, 0x0C);
    tracker.machine_id = AnsiField(reading, block, 0x10, 16);
    tracker.droid_volume_id = GuidField(block, 0x20);
    tracker.droid_file_id = GuidField(block, 0x30);
    tracker.droid_birth_volume_id = GuidField(block, 0x40);
    tracker.droid_birth_file_id = GuidField(block, 0x50);
    const bool file = tracker.droid_file_id && sr::IsTimeBasedUuid(*tracker.droid_file_id);
    if (file) {
        ReadUuidNode(*tracker.droid_file_id, tracker.mac_address, tracker.mac_vendor, tracker.mac_kind);
        tracker.droid_file_time = UuidTime(reading, block, 0x30, *tracker.droid_file_id, "droid file identifier");
    }
    if (tracker.droid_birth_file_id && sr::IsTimeBasedUuid(*tracker.droid_birth_file_id)) {
        const Guid& birth = *tracker.droid_birth_file_id;
        // Mostly the file has not moved since the link was made: the same machine.
        if (file && std::equal(birth.begin() + 10, birth.end(), tracker.droid_file_id->begin() + 10)) {
            tracker.birth_mac_address = tracker.mac_address;
            tracker.birth_mac_vendor = tracker.mac_vendor;
            tracker.birth_mac_kind = tracker.mac_kind;
        } else {
            ReadUuidNode(birth, tracker.birth_mac_address, tracker.birth_mac_vendor, tracker.birth_mac_kind);
        }
        tracker.birth_droid_file_time = UuidTime(reading, block, 0x50, birth, "droid birth file identifier");
    }
    return tracker;
}

SpecialFolderBlock ReadSpecialFolder(ByteSpan block) {
    SpecialFolderBlock special{Field<std::uint32_t>(block, 0x08), Field<std::uint32_t>(block, 0x0C)};
    if (special.special_folder_id) {
        special.special_folder_name = link_format::CsidlSymbol(*special.special_folder_id);
    }
    return special;
}

KnownFolderBlock ReadKnownFolder(ByteSpan block) {
    KnownFolderBlock known{GuidField(block, 0x08), Field<std::uint32_t>(block, 0x18)};
    if (known.known_folder_id) {
        known.known_folder_name = link_format::KnownFolderName(known.known_folder_id->data());
    }
    return known;
}

}  // namespace

ExtraDataBlock ReadExtraDataBlock(Reading& reading, ByteSpan block, std::uint32_t blockSize) {
    ExtraDataBlock read;
    read.offset = reading.OffsetOf(block);
    read.block_size = blockSize;
    read.block_signature = Field<std::uint32_t>(block, 4).value_or(0);
    const sr::BlockKind* kind = sr::BlockKindOf(read.block_signature);
    if (kind != nullptr && blockSize < kind->size) {
        reading.Warn(WarningCode::kTruncated, block,
                     std::string("a ") + kind->name + " of " + std::to_string(blockSize) + " bytes is shorter than the " +
                         std::to_string(kind->size) + " bytes it must have");
    }
    switch (read.block_signature) {
        case sr::kEnvironmentVariableDataBlock: {
            auto [ansi, unicode] = AnsiAndUnicode(reading, block);
            read.data = EnvironmentBlock{std::move(ansi), std::move(unicode)};
            break;
        }
        case sr::kIconEnvironmentDataBlock: {
            auto [ansi, unicode] = AnsiAndUnicode(reading, block);
            read.data = IconEnvironmentBlock{std::move(ansi), std::move(unicode)};
            break;
        }
        case sr::kDarwinDataBlock: {
            auto [ansi, unicode] = AnsiAndUnicode(reading, block);
            read.data = DarwinBlock{std::move(ansi), std::move(unicode)};
            break;
        }
        case sr::kConsoleDataBlock:
            read.data = ReadConsole(reading, block);
            break;
        case sr::kTrackerDataBlock:
            read.data = ReadTracker(reading, block);
            break;
        case sr::kConsoleFeDataBlock:
            read.data = ConsoleFeBlock{Field<std::uint32_t>(block, 0x08)};
            break;
        case sr::kSpecialFolderDataBlock:
            read.data = ReadSpecialFolder(block);
            break;
        case sr::kKnownFolderDataBlock:
            read.data = ReadKnownFolder(block);
            break;
        case sr::kShimDataBlock:
            read.data = ShimBlock{Utf16Field(reading, block, kBody, block.size)};
            break;
        case sr::kPropertyStoreDataBlock:
            read.data = ReadPropertyStore(reading, block.Sub(kBody, block.size));
            break;
        case sr::kVistaAndAboveIdListDataBlock:
            read.data = VistaIdListBlock{ReadItems(reading, block.Sub(kBody, block.size))};
            break;
        default:
            read.data = UnknownBlock{DataPrefix(block.Sub(kBody, block.size))};
            break;
    }
    return read;
}

}  // namespace shell_link::detail
