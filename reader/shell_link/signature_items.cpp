// SPDX-License-Identifier: MIT
// The items told apart by a class of their own or by a signature in their bytes, in the
// order their tests run; and the URI, media device, game and CD burning items.
#include <algorithm>
#include <iterator>
#include <string>

#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

constexpr std::uint32_t kControlPanelCategory = 0x39DE2184;
constexpr std::uint32_t kGameFolder = 0x49534647;  // "GFSI"
constexpr std::uint32_t kCdBurning = 0x4D677541;   // "AugM"
constexpr std::uint32_t kApplication = 0x53505041;  // "APPS"
constexpr std::uint32_t kMtpVolume = 0x10312005;
constexpr std::uint32_t kMtpFileEntry = 0x07192006;
constexpr std::uint32_t kAcronisFile = 0xACB16752;  // at offset 2, so its class is 0x52

// The Control Panel applet's signatures at offset 4 (they read as negative icon indices).
bool IsAppletSignature(std::uint32_t signature) {
    constexpr std::uint32_t kSignatures[] = {0x00000000, 0xFFFFEE79, 0xFFFFF444, 0xFFFFFF36, 0xFFFFFF37,
                                             0xFFFFFF38, 0xFFFFFF9A, 0xFFFFFF9C, 0xFFFFFFFF};
    return std::any_of(std::begin(kSignatures), std::end(kSignatures), [signature](std::uint32_t known) { return known == signature; });
}

// A zero-terminated text at offset, whose terminator must lie inside span; UTF-16 ones
// are searched unit by unit from their start.
std::optional<std::string> TerminatedText(Reading& reading, ByteSpan span, std::uint64_t offset, bool utf16, ByteSpan at) {
    if (!span.Holds(offset, 0)) {
        return std::nullopt;
    }
    const ByteSpan text = span.Sub(offset, span.size);
    if (utf16) {
        const std::size_t units = ZeroTerminatedUnits(text);
        return units < text.size / 2 ? std::optional<std::string>(Utf16Text(reading, text, units, at)) : std::nullopt;
    }
    const std::size_t bytes = ZeroTerminatedBytes(text);
    return bytes < text.size ? std::optional<std::string>(AnsiText(reading, text.Sub(0, bytes), at)) : std::nullopt;
}

// The media device items' texts: lengths in characters, terminators counted, each at
// least one, the texts back to back from start, inside data, each ending with its
// terminator. Nothing when one does not hold; all are checked before any is decoded, so
// that an item its checks turn away raises no warning about its texts.
template <std::size_t N>
bool ReadCountedTexts(Reading& reading, ByteSpan data, std::uint64_t lengthsAt, std::uint64_t start,
                      std::optional<std::string>* (&texts)[N], ByteSpan at) {
    ByteSpan spans[N];
    std::uint64_t next = start;
    for (std::size_t i = 0; i < N; ++i) {
        const std::optional<std::uint32_t> length = Field<std::uint32_t>(data, lengthsAt + 4 * i);
        if (!length || *length == 0 || !data.Holds(next, 0) || *length > (data.size - next) / 2) {
            return false;
        }
        spans[i] = data.Sub(next, 2 * static_cast<std::uint64_t>(*length));
        if (Field<std::uint16_t>(spans[i], spans[i].size - 2) != 0) {
            return false;
        }
        next += spans[i].size;
    }
    for (std::size_t i = 0; i < N; ++i) {
        *texts[i] = Utf16Text(reading, spans[i], spans[i].size / 2 - 1, at);
    }
    return true;
}

// The data of a media device item: its size D at 4 counts from 6 and must lie in the item.
std::optional<ByteSpan> MtpData(ByteSpan item) {
    const std::optional<std::uint16_t> size = Field<std::uint16_t>(item, 4);
    if (!size || !item.Holds(6, *size)) {
        return std::nullopt;
    }
    return item.Sub(0, 6 + std::uint64_t{*size});
}

std::optional<GameFolderItem> ReadGameFolder(ByteSpan item) {
    constexpr std::uint64_t kGameFolderBytes = 32;
    if (item.size != kGameFolderBytes) {
        return std::nullopt;
    }
    return GameFolderItem{GuidField(item, 8).value_or(Guid{})};
}

}  // namespace

std::optional<UriItem> ReadUri(Reading& reading, ByteSpan item) {
    // The data size at 4 does not count its own field; with none, two zero bytes stand
    // before the URI.
    const std::optional<std::uint16_t> dataSize = Field<std::uint16_t>(item, 4);
    if (item.size < 8 || !dataSize || !item.Holds(6, *dataSize)) {
        return std::nullopt;
    }
    const bool utf16 = (Field<std::uint8_t>(item, 3).value_or(0) & 0x80) != 0;
    std::optional<std::string> uri = TerminatedText(reading, item, *dataSize == 0 ? 8 : 6 + std::uint64_t{*dataSize}, utf16, item);
    if (!uri) {
        return std::nullopt;
    }
    return UriItem{std::move(*uri)};
}

std::optional<MtpVolumeItem> ReadMtpVolume(Reading& reading, ByteSpan item) {
    const std::optional<ByteSpan> data = MtpData(item);
    MtpVolumeItem volume;
    std::optional<std::string>* texts[] = {&volume.name, &volume.identifier, &volume.file_system};
    if (!data || !ReadCountedTexts(reading, *data, 0x26, 0x36, texts, item)) {
        return std::nullopt;
    }
    return volume;
}

std::optional<MtpFileEntryItem> ReadMtpFileEntry(Reading& reading, ByteSpan item) {
    const std::optional<ByteSpan> data = MtpData(item);
    MtpFileEntryItem entry;
    std::optional<std::string> again;  // the name once more
    std::optional<std::string>* texts[] = {&entry.name, &again, &entry.object_id};
    if (!data || !ReadCountedTexts(reading, *data, 0x3E, 0x4A, texts, item)) {
        return std::nullopt;
    }
    if (const std::optional<std::uint64_t> created = Field<std::uint64_t>(*data, 0x22)) {
        entry.creation_time = CheckedFileTime(reading, *created, item);
    }
    entry.content_type = GuidField(*data, 0x2A);
    return entry;
}

std::optional<ItemData> ReadSignatureItem(Reading& reading, ByteSpan item, std::uint8_t classType) {
    const std::uint64_t size = item.size;
    const std::optional<std::uint32_t> at4 = Field<std::uint32_t>(item, 4);
    const std::optional<std::uint32_t> at6 = Field<std::uint32_t>(item, 6);
    std::optional<ItemData> read;
    const auto take = [&read](auto found) {
        if (found) {
            read = std::move(*found);
        }
        return read.has_value();
    };
    if (classType == 0x52 && Field<std::uint32_t>(item, 2) == kAcronisFile && take(ReadAcronisFile(reading, item))) {
        return read;
    }
    if (classType == 0x61 && take(ReadUri(reading, item))) {
        return read;
    }
    if (classType == 0x71 && take(ReadControlPanelItem(item))) {
        return read;
    }
    if (classType == 0x74 && take(ReadDelegate(reading, item, classType))) {
        return read;
    }
    if (size == 12 && at4 == kControlPanelCategory && take(ReadControlPanelCategory(item))) {
        return read;
    }
    if (at4 == kGameFolder && take(ReadGameFolder(item))) {
        return read;
    }
    if (at4 == kCdBurning) {
        return ItemData{CdBurningItem{}};
    }
    if (size >= 10 && at6) {
        bool found = false;
        if (*at6 == kApplication || IsListedPropertyViewSignature(*at6)) {
            found = take(ReadPropertyView(reading, item, false));
        } else if (*at6 == kMtpVolume) {
            found = take(ReadMtpVolume(reading, item));
        } else if (*at6 == kMtpFileEntry) {
            found = take(ReadMtpFileEntry(reading, item));
        }
        if (found) {
            return read;
        }
    }
    if (classType == 0x00 && at4 && IsAppletSignature(*at4) && take(ReadControlPanelApplet(reading, item))) {
        return read;
    }
    if (size >= 10 && take(ReadPropertyView(reading, item, true))) {
        return read;
    }
    return std::nullopt;
}

}  // namespace shell_link::detail
