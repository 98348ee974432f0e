// SPDX-License-Identifier: MIT
// Bytes of the structures the complete reader decodes beyond what the link builder
// writes: shell items with their extension blocks, LinkInfo with its VolumeID and
// CommonNetworkRelativeLink, and ExtraData blocks. Offsets and sizes are computed, so a
// case states only what it is about.
#ifndef SHORTCUT_TESTS_STRUCTURE_BUILDERS_H
#define SHORTCUT_TESTS_STRUCTURE_BUILDERS_H

#include <cstdint>
#include <optional>
#include <string>

#include "link_builder.h"

// Text as a GUID's packet bytes: "{20D04FE0-3AEA-1069-A2D8-08002B30309D}".
Bytes GuidBytes(const std::string& text);
// A DOS date-time as shell items store it: the date word, then the time word.
std::uint32_t DosDateTime(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second);

// A file entry (class type 0x30 to 0x3F) of size 0x1234 and attributes 0x10, with its
// primary name (UTF-16 when the class type has bit 0x04) and, when longName is given, a
// 0xBEEF0004 block of that version holding it, with a creation and an access time and
// the file reference entry 0x1E03, sequence 0x1EF5.
Bytes FileEntryWithLongName(std::uint8_t type, const std::string& shortName, std::optional<std::u16string> longName,
                            std::uint16_t version = 9);
// That 0xBEEF0004 block alone, for an item that holds it at blockAt (its last two bytes).
Bytes FileEntryExtension(const std::u16string& longName, std::uint16_t version, std::size_t blockAt);
// A network location item (0x41 to 0x4F): location, then description and comments when given.
Bytes NetworkItem(std::uint8_t type, const std::string& location, std::optional<std::string> description = {},
                  std::optional<std::string> comments = {});

// A VolumeID with an ANSI label, or with a Unicode one (VolumeLabelOffset 0x14).
Bytes VolumeId(std::uint32_t driveType, std::uint32_t serial, const std::string& label);
Bytes VolumeIdUnicode(std::uint32_t driveType, std::uint32_t serial, const std::u16string& label);
// A CommonNetworkRelativeLink; with unicode set, NetNameOffset is past 0x14 and the
// Unicode names follow the ANSI ones.
Bytes NetworkLink(std::uint32_t flags, const std::string& netName, const std::string& deviceName,
                  std::uint32_t providerType, bool unicode = false);
struct LinkInfoParts {
    std::optional<Bytes> volumeId;
    std::optional<std::string> localBasePath;
    std::optional<Bytes> network;
    std::string suffix;
    // With these, the header is 0x24 bytes and carries the Unicode offsets.
    std::optional<std::u16string> localBasePathUnicode;
    std::optional<std::u16string> suffixUnicode;
};
Bytes LinkInfoOf(const LinkInfoParts& parts);

// A serialized property value: its size, id, reserved byte, type, padding, then the value
// bytes; and a property storage of such values, with the empty value that ends them.
Bytes PropertyValue(std::uint32_t id, std::uint16_t type, const Bytes& value);
Bytes Storage(const std::string& formatId, const Bytes& values);
// A VT_LPWSTR value: the count of characters with the terminator, the characters, the
// terminator, zero bytes to a multiple of four.
Bytes TextProperty(std::uint32_t id, const std::u16string& text);

// An ExtraData block: its size (8 and the body's), the signature, the body.
Bytes Block(std::uint32_t signature, const Bytes& body);
// A block whose BlockSize is given as is.
Bytes BlockClaiming(std::uint32_t blockSize, std::uint32_t signature, const Bytes& body);
Bytes TerminalBlock();
// The 780-byte body of the Environment, IconEnvironment and Darwin blocks.
Bytes AnsiAndUnicodeBody(const std::string& ansi, const std::u16string& unicode);

#endif
