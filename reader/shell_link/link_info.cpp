// SPDX-License-Identifier: MIT
// LinkInfo: its header, the VolumeID, the local base path, the CommonNetworkRelativeLink
// and the common path suffix, each reached through its offset and read only inside the
// structure that holds it, and to at most kMaxOffsetTextCharacters. A text takes its
// Unicode form where the structure carries one.
#include <string>

#include "format/layout.h"
#include "shell_link/reading.h"

namespace shell_link::detail {

namespace sr = link_format;

namespace {

// The span of a structure at offset inside container: an offset outside the container is
// bad, and a structure that runs past it is cut there.
std::optional<ByteSpan> At(Reading& reading, ByteSpan container, std::uint32_t offset, const char* what) {
    if (!container.Holds(offset, 1)) {
        reading.Warn(WarningCode::kBadOffset, container,
                     std::string("the offset ") + HexNumber(offset) + " of " + what + " lies outside its structure of " +
                         std::to_string(container.size) + " bytes");
        return std::nullopt;
    }
    return container.Sub(offset, container.size);
}

// Texts reached through an offset are read to their zero, the end of their structure or
// kMaxOffsetTextCharacters characters, whichever comes first. Several offsets may point
// at one run of bytes, so without the cap each would copy all of it. The bytes read are
// those that can hold that many characters (four a character in a code page, two units in
// UTF-16); the decoded text is then cut at that many.
constexpr std::uint64_t kMostBytesAnsi = 4 * std::uint64_t{kMaxOffsetTextCharacters};
constexpr std::uint64_t kMostUnitsUtf16 = 2 * std::uint64_t{kMaxOffsetTextCharacters};

// Cuts text after kMaxOffsetTextCharacters characters; true when it did.
bool CutAtMostCharacters(std::string& text) {
    if (text.size() <= kMaxOffsetTextCharacters) {
        return false;  // no more characters than bytes
    }
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && characters++ == kMaxOffsetTextCharacters) {
            text.resize(at);
            return true;
        }
    }
    return false;
}

// The text from the start of rest, decoded by decode from the first bytes of rest,
// with a warning where it goes on past kMaxOffsetTextCharacters characters.
template <typename Decode>
std::string OffsetText(Reading& reading, ByteSpan rest, std::uint64_t windowBytes, unsigned unitBytes,
                       const char* what, Decode decode) {
    const ByteSpan window = rest.Sub(0, windowBytes);
    std::string text = decode(window);
    bool cut = CutAtMostCharacters(text);
    if (!cut && window.size == windowBytes && rest.Holds(windowBytes, unitBytes)) {
        // The window was full: the text goes on unless its zero comes next.
        const std::size_t units = unitBytes == 2 ? ZeroTerminatedUnits(window) : ZeroTerminatedBytes(window);
        cut = units * unitBytes == windowBytes &&
              (unitBytes == 2 ? Field<std::uint16_t>(rest, windowBytes) != 0 : Field<std::uint8_t>(rest, windowBytes) != 0);
    }
    if (cut) {
        reading.Warn(WarningCode::kLimitReached, rest,
                     std::string(what) + " goes on past " + std::to_string(kMaxOffsetTextCharacters) +
                         " characters, the longest path Windows handles; the record keeps those");
    }
    return text;
}

std::optional<std::string> AnsiAt(Reading& reading, ByteSpan container, std::uint32_t offset, const char* what) {
    const std::optional<ByteSpan> text = At(reading, container, offset, what);
    if (!text) {
        return std::nullopt;
    }
    return OffsetText(reading, *text, kMostBytesAnsi, 1, what,
                      [&](ByteSpan window) { return AnsiTextZ(reading, window, container); });
}

std::optional<std::string> Utf16At(Reading& reading, ByteSpan container, std::uint32_t offset, const char* what) {
    const std::optional<ByteSpan> text = At(reading, container, offset, what);
    if (!text) {
        return std::nullopt;
    }
    return OffsetText(reading, *text, 2 * kMostUnitsUtf16, 2, what,
                      [&](ByteSpan window) { return Utf16TextZ(reading, window, container); });
}

// The Unicode form where its offset is given (not 0) and sound, else the ANSI form.
std::optional<std::string> EitherAt(Reading& reading, ByteSpan container, std::uint32_t ansiOffset,
                                    std::uint32_t unicodeOffset, const char* what) {
    if (unicodeOffset != 0) {
        if (std::optional<std::string> text = Utf16At(reading, container, unicodeOffset, what)) {
            return text;
        }
    }
    return AnsiAt(reading, container, ansiOffset, what);
}

// A structure whose own size field (at its offset 0) gives its span, cut at the end of
// the container, with a warning when it claims less than minimum or runs past it.
ByteSpan Sized(Reading& reading, ByteSpan rest, std::uint32_t minimum, const char* what) {
    const std::uint32_t size = Field<std::uint32_t>(rest, 0).value_or(0);
    const ByteSpan structure = rest.Sub(0, size);
    if (size < minimum) {
        reading.Warn(WarningCode::kTruncated, structure,
                     std::string(what) + " of " + std::to_string(size) + " bytes is shorter than its " +
                         std::to_string(minimum) + "-byte header");
    } else if (structure.size < size) {
        reading.Warn(WarningCode::kTruncated, structure,
                     std::string(what) + " of " + std::to_string(size) + " bytes runs past the end of its LinkInfo");
    }
    return structure;
}

VolumeId ReadVolumeId(Reading& reading, ByteSpan rest) {
    constexpr std::uint32_t kUnicodeLabel = 0x14;
    const ByteSpan volume = Sized(reading, rest, 0x11, "the VolumeID");
    VolumeId id;
    id.drive_type = Field<std::uint32_t>(volume, 4).value_or(0);
    id.drive_serial_number = Field<std::uint32_t>(volume, 8).value_or(0);
    if (const std::optional<std::uint32_t> labelOffset = Field<std::uint32_t>(volume, 0x0C)) {
        if (*labelOffset == kUnicodeLabel) {
            if (const auto unicodeOffset = Field<std::uint32_t>(volume, 0x10)) {
                id.volume_label = Utf16At(reading, volume, *unicodeOffset, "the volume label");
            }
        } else {
            id.volume_label = AnsiAt(reading, volume, *labelOffset, "the volume label");
        }
    }
    return id;
}

CommonNetworkRelativeLink ReadNetworkLink(Reading& reading, ByteSpan rest) {
    constexpr std::uint32_t kWithoutUnicode = 0x14;
    const ByteSpan network = Sized(reading, rest, kWithoutUnicode, "the CommonNetworkRelativeLink");
    CommonNetworkRelativeLink link;
    link.flags = Field<std::uint32_t>(network, 4).value_or(0);
    const std::optional<std::uint32_t> netNameOffset = Field<std::uint32_t>(network, 8);
    // Both Unicode offsets are there exactly when NetNameOffset lies beyond the fields
    // without them: the layout then has no other way to say so.
    const bool unicode = netNameOffset && *netNameOffset > kWithoutUnicode;
    const std::uint32_t netNameUnicode = unicode ? Field<std::uint32_t>(network, 0x14).value_or(0) : 0;
    const std::uint32_t deviceNameUnicode = unicode ? Field<std::uint32_t>(network, 0x18).value_or(0) : 0;
    if (netNameOffset) {
        link.net_name = EitherAt(reading, network, *netNameOffset, netNameUnicode, "the NetName");
    }
    if ((link.flags & sr::kValidDevice) != 0) {
        if (const auto deviceNameOffset = Field<std::uint32_t>(network, 0x0C)) {
            link.device_name = EitherAt(reading, network, *deviceNameOffset, deviceNameUnicode, "the DeviceName");
        }
    }
    if ((link.flags & sr::kValidNetType) != 0) {
        link.network_provider_type = Field<std::uint32_t>(network, 0x10);
    }
    return link;
}

}  // namespace

LinkInfo ReadLinkInfo(Reading& reading, ByteSpan block) {
    LinkInfo info;
    info.offset = reading.OffsetOf(block);
    const auto u32 = [&](unsigned offset) { return Field<std::uint32_t>(block, offset); };
    info.link_info_size = u32(0).value_or(0);
    info.link_info_header_size = u32(4).value_or(0);
    info.link_info_flags = u32(8).value_or(0);
    // Header sizes between the two the format defines carry no Unicode offsets.
    const bool unicode = info.link_info_header_size >= sr::kLinkInfoHeaderWithUnicode;
    const std::uint32_t headerSize = unicode ? sr::kLinkInfoHeaderWithUnicode : sr::kLinkInfoHeaderWithoutUnicode;
    if (block.size < headerSize) {
        reading.Warn(WarningCode::kTruncated, block,
                     "the LinkInfo has " + std::to_string(block.size) + " bytes of its " + std::to_string(headerSize) +
                         "-byte header");
        if (block.size < sr::kLinkInfoHeaderWithoutUnicode) {
            return info;
        }
    }
    // 0 where there is no Unicode form.
    const std::uint32_t localBaseUnicode = unicode ? u32(0x1C).value_or(0) : 0;
    const std::uint32_t suffixUnicode = unicode ? u32(0x20).value_or(0) : 0;
    if ((info.link_info_flags & sr::kVolumeIdAndLocalBasePath) != 0) {
        if (const auto rest = At(reading, block, u32(0x0C).value_or(0), "the VolumeID")) {
            info.volume_id = ReadVolumeId(reading, *rest);
        }
        info.local_base_path = EitherAt(reading, block, u32(0x10).value_or(0), localBaseUnicode, "the LocalBasePath");
    }
    if ((info.link_info_flags & sr::kCommonNetworkRelativeLinkAndPathSuffix) != 0) {
        if (const auto rest = At(reading, block, u32(0x14).value_or(0), "the CommonNetworkRelativeLink")) {
            info.common_network_relative_link = ReadNetworkLink(reading, *rest);
        }
    }
    info.common_path_suffix = EitherAt(reading, block, u32(0x18).value_or(0), suffixUnicode, "the CommonPathSuffix");
    return info;
}

}  // namespace shell_link::detail
