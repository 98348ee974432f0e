// SPDX-License-Identifier: MIT
// Items inside archives: an Acronis True Image backup's file (its bytes 2 to 5 the
// signature 0xACB16752), and the items of a ZIP folder, which carry no signature: they
// are known by the item before them, the .zip file's entry or another ZIP folder item,
// and then by one of two layouts (Windows XP's, Windows 10's) whose checks pass.
#include <string>

#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

// The span of a UTF-16 text of length characters (its terminator not counted) at start,
// which must end with its terminator inside the item.
std::optional<ByteSpan> LengthTextSpan(ByteSpan item, std::uint64_t start, std::uint32_t length) {
    if (!item.Holds(start, 0) || length >= (item.size - start) / 2) {
        return std::nullopt;
    }
    const std::uint64_t units = length;
    const ByteSpan text = item.Sub(start, 2 * units + 2);
    if (Field<std::uint16_t>(text, 2 * units) != 0) {
        return std::nullopt;
    }
    return text.Sub(0, 2 * units);
}

std::optional<std::string> LengthText(Reading& reading, ByteSpan item, std::uint64_t start, std::uint32_t length) {
    const std::optional<ByteSpan> text = LengthTextSpan(item, start, length);
    return text ? std::optional<std::string>(Utf16Text(reading, *text, length, item)) : std::nullopt;
}

bool EndsWithZip(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] | 0x20) == 'z' && (tail[2] | 0x20) == 'i' && (tail[3] | 0x20) == 'p';
}

}  // namespace

std::optional<AcronisFileItem> ReadAcronisFile(Reading& reading, ByteSpan item) {
    // Four texts from 0x2E, each its length in characters (terminator counted, so an
    // empty one is 1) and then its characters: the name, a text, the full path, a text.
    // All are checked before the two the record keeps are decoded.
    ByteSpan texts[4];
    std::uint64_t at = 0x2E;
    for (ByteSpan& text : texts) {
        const std::optional<std::uint32_t> length = Field<std::uint32_t>(item, at);
        const std::optional<ByteSpan> span = length && *length > 0 ? LengthTextSpan(item, at + 4, *length - 1) : std::nullopt;
        if (!span) {
            return std::nullopt;
        }
        text = *span;
        at += 4 + 2 * static_cast<std::uint64_t>(*length);
    }
    AcronisFileItem file;
    if (texts[0].size > 0) {
        file.name = Utf16Text(reading, texts[0], texts[0].size / 2, item);
    }
    file.path = Utf16Text(reading, texts[2], texts[2].size / 2, item);
    return file;
}

bool FollowsZipFolder(const Item& previous) {
    if (std::holds_alternative<ZipFolderItem>(previous.data)) {
        return true;
    }
    const auto* entry = std::get_if<FileEntryItem>(&previous.data);
    if (entry == nullptr) {
        return false;
    }
    return EndsWithZip(entry->long_name ? *entry->long_name : entry->short_name.value_or(""));
}

std::optional<ZipFolderItem> ReadZipFolderItem(Reading& reading, ByteSpan item) {
    // Windows XP: 16 zero bytes at 4, a modification time as text whose terminator
    // stands at 0x36, the name's length at 0x3C and the name at 0x44.
    const bool zeros = item.size >= 0x46 && [&] {
        for (std::uint64_t at = 4; at < 0x14; ++at) {
            if (Field<std::uint8_t>(item, at) != 0) {
                return false;
            }
        }
        return true;
    }();
    if (zeros && Field<std::uint16_t>(item, 0x36) == 0) {
        if (const std::optional<std::uint32_t> length = Field<std::uint32_t>(item, 0x3C)) {
            if (std::optional<std::string> name = LengthText(reading, item, 0x44, *length)) {
                return ZipFolderItem{std::move(name)};
            }
        }
    }
    // Windows 10: the name's length at 0x54, the name at 0x5C.
    if (item.size >= 0x5E) {
        if (const std::optional<std::uint32_t> length = Field<std::uint32_t>(item, 0x54)) {
            if (std::optional<std::string> name = LengthText(reading, item, 0x5C, *length)) {
                return ZipFolderItem{std::move(name)};
            }
        }
    }
    return std::nullopt;
}

}  // namespace shell_link::detail
