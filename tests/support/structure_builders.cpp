// SPDX-License-Identifier: MIT
#include "structure_builders.h"

#include <cstdlib>

namespace {

std::uint32_t HexValue(const std::string& text, std::size_t at, std::size_t digits) {
    return static_cast<std::uint32_t>(std::strtoul(text.substr(at, digits).c_str(), nullptr, 16));
}

// The same text, padded with zero bytes (after its terminator) to size bytes.
Bytes Padded(const Bytes& bytes, std::size_t size) {
    Bytes padded = bytes;
    return padded.Zeros(size > bytes.Size() ? size - bytes.Size() : 0);
}

}  // namespace

Bytes GuidBytes(const std::string& text) {
    Bytes bytes;
    bytes.U32(HexValue(text, 1, 8)).U16(static_cast<std::uint16_t>(HexValue(text, 10, 4)));
    bytes.U16(static_cast<std::uint16_t>(HexValue(text, 15, 4)));
    for (const std::size_t at : {20u, 22u, 25u, 27u, 29u, 31u, 33u, 35u}) {
        bytes.U8(static_cast<std::uint8_t>(HexValue(text, at, 2)));
    }
    return bytes;
}

std::uint32_t DosDateTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
    const std::uint32_t date = (year - 1980) << 9 | month << 5 | day;
    const std::uint32_t time = hour << 11 | minute << 5 | second / 2;
    return date | time << 16;
}

Bytes FileEntryExtension(const std::u16string& longName, std::uint16_t version, std::size_t blockAt) {
    const unsigned nameOffset = version < 7 ? 0x14 : version == 7 ? 0x26 : version == 8 ? 0x2A : 0x2E;
    Bytes block;
    block.U16(0).U16(version).U32(0xBEEF0004u);
    block.U32(DosDateTime(2008, 9, 12, 20, 27, 10)).U32(DosDateTime(2008, 9, 12, 20, 27, 18));
    block.U16(static_cast<std::uint16_t>(nameOffset)).Zeros(nameOffset - 0x12);
    if (version >= 7) {
        const std::uint8_t reference[8] = {0x03, 0x1E, 0, 0, 0, 0, 0xF5, 0x1E};  // entry 0x1E03, sequence 0x1EF5
        for (std::size_t i = 0; i < sizeof reference; ++i) {
            block.Patch(0x14 + i, reference[i]);
        }
    }
    block.Units(longName).U16(0).U16(static_cast<std::uint16_t>(blockAt));
    return block.Patch(0, static_cast<std::uint8_t>(block.Size() & 0xFF)).Patch(1, static_cast<std::uint8_t>(block.Size() >> 8));
}

Bytes FileEntryWithLongName(std::uint8_t type, const std::string& shortName, std::optional<std::u16string> longName,
                            std::uint16_t version) {
    Bytes rest;
    rest.U8(0).U32(0x1234).U32(DosDateTime(2008, 9, 12, 20, 27, 18)).U16(0x10);
    if ((type & 0x04) != 0) {
        rest.Units(std::u16string(shortName.begin(), shortName.end())).U16(0);
    } else {
        rest.TextZ(shortName);
        if ((3 + rest.Size()) % 2 != 0) {
            rest.U8(0);
        }
    }
    if (longName) {
        rest.Append(FileEntryExtension(*longName, version, 2 + 1 + rest.Size()));  // the block's offset in the item
    }
    return Item(type, rest);
}

Bytes NetworkItem(std::uint8_t type, const std::string& location, std::optional<std::string> description,
                  std::optional<std::string> comments) {
    const std::uint8_t flags = static_cast<std::uint8_t>((description ? 0x80 : 0) | (comments ? 0x40 : 0));
    Bytes rest = Bytes{0x00, flags}.TextZ(location);
    if (description) {
        rest.TextZ(*description);
    }
    if (comments) {
        rest.TextZ(*comments);
    }
    return Item(type, rest);
}

Bytes VolumeId(std::uint32_t driveType, std::uint32_t serial, const std::string& label) {
    Bytes volume = Bytes().U32(static_cast<std::uint32_t>(0x10 + label.size() + 1)).U32(driveType).U32(serial).U32(0x10);
    return volume.TextZ(label);
}

Bytes VolumeIdUnicode(std::uint32_t driveType, std::uint32_t serial, const std::u16string& label) {
    const auto size = static_cast<std::uint32_t>(0x14 + 2 * label.size() + 2);
    return Bytes().U32(size).U32(driveType).U32(serial).U32(0x14).U32(0x14).Units(label).U16(0);
}

Bytes NetworkLink(std::uint32_t flags, const std::string& netName, const std::string& deviceName,
                  std::uint32_t providerType, bool unicode) {
    const std::uint32_t header = unicode ? 0x1C : 0x14;
    const auto netAt = header;
    const auto deviceAt = static_cast<std::uint32_t>(netAt + netName.size() + 1);
    const auto netUnicodeAt = static_cast<std::uint32_t>(deviceAt + deviceName.size() + 1);
    const auto deviceUnicodeAt = static_cast<std::uint32_t>(netUnicodeAt + 2 * (netName.size() + 3) + 2);
    Bytes body;
    body.TextZ(netName).TextZ(deviceName);
    if (unicode) {
        // The Unicode names say "(u)" after the ANSI ones, so a test can tell which was read.
        body.Units(std::u16string(netName.begin(), netName.end()) + u"(u)").U16(0);
        body.Units(std::u16string(deviceName.begin(), deviceName.end()) + u"(u)").U16(0);
    }
    Bytes link = Bytes().U32(static_cast<std::uint32_t>(header + body.Size())).U32(flags).U32(netAt).U32(deviceAt).U32(providerType);
    if (unicode) {
        link.U32(netUnicodeAt).U32(deviceUnicodeAt);
    }
    return link.Append(body);
}

Bytes LinkInfoOf(const LinkInfoParts& parts) {
    const bool unicode = parts.localBasePathUnicode || parts.suffixUnicode;
    const std::uint32_t headerSize = unicode ? 0x24 : 0x1C;
    std::uint32_t flags = 0;
    Bytes data;
    const auto place = [&](const Bytes& bytes) {
        const auto offset = static_cast<std::uint32_t>(headerSize + data.Size());
        data.Append(bytes);
        return offset;
    };
    std::uint32_t volumeAt = 0, localAt = 0, networkAt = 0, localUnicodeAt = 0, suffixUnicodeAt = 0;
    if (parts.volumeId) {
        flags |= 0x1;
        volumeAt = place(*parts.volumeId);
        localAt = place(Bytes().TextZ(parts.localBasePath.value_or("")));
    }
    if (parts.network) {
        flags |= 0x2;
        networkAt = place(*parts.network);
    }
    const std::uint32_t suffixAt = place(Bytes().TextZ(parts.suffix));
    if (parts.localBasePathUnicode) {
        localUnicodeAt = place(Bytes().Units(*parts.localBasePathUnicode).U16(0));
    }
    if (parts.suffixUnicode) {
        suffixUnicodeAt = place(Bytes().Units(*parts.suffixUnicode).U16(0));
    }
    Bytes info = Bytes().U32(static_cast<std::uint32_t>(headerSize + data.Size())).U32(headerSize).U32(flags);
    info.U32(volumeAt).U32(localAt).U32(networkAt).U32(suffixAt);
    if (unicode) {
        info.U32(localUnicodeAt).U32(suffixUnicodeAt);
    }
    return info.Append(data);
}

Bytes Block(std::uint32_t signature, const Bytes& body) {
    return BlockClaiming(static_cast<std::uint32_t>(8 + body.Size()), signature, body);
}

Bytes BlockClaiming(std::uint32_t blockSize, std::uint32_t signature, const Bytes& body) {
    return Bytes().U32(blockSize).U32(signature).Append(body);
}

Bytes TerminalBlock() { return Bytes().U32(0); }

Bytes AnsiAndUnicodeBody(const std::string& ansi, const std::u16string& unicode) {
    return Padded(Bytes().TextZ(ansi), 260).Append(Padded(Bytes().Units(unicode).U16(0), 520));
}

Bytes PropertyValue(std::uint32_t id, std::uint16_t type, const Bytes& value) {
    return Bytes().U32(static_cast<std::uint32_t>(13 + value.Size())).U32(id).U8(0).U16(type).U16(0).Append(value);
}

Bytes Storage(const std::string& formatId, const Bytes& values) {
    const Bytes body = Bytes().U32(0x53505331).Append(GuidBytes(formatId)).Append(values).U32(0);
    return Bytes().U32(static_cast<std::uint32_t>(4 + body.Size())).Append(body);
}

Bytes TextProperty(std::uint32_t id, const std::u16string& text) {
    Bytes value = Bytes().U32(static_cast<std::uint32_t>(text.size() + 1)).Units(text).U16(0);
    return PropertyValue(id, 0x1F, value.Zeros((4 - value.Size() % 4) % 4));
}
