// SPDX-License-Identifier: MIT
// The names of the format's enumerated values: drive types, show commands, hot keys,
// network provider types, property types and ExtraData blocks. Each returns null for a
// value that has no name.
#ifndef SHORTCUT_READER_FORMAT_NAMES_H
#define SHORTCUT_READER_FORMAT_NAMES_H

#include <cstddef>
#include <cstdint>

#include "format/layout.h"

namespace link_format {

const char* DriveTypeName(std::uint32_t driveType);       // DRIVE_UNKNOWN ... DRIVE_RAMDISK
const char* ShowCommandName(std::uint32_t showCommand);   // SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE
const char* NetworkProviderName(std::uint32_t provider);  // the Windows SDK's WNNC_NET_* names

// The key of a hot key's low byte: "A", "5", "F5", "NUM LOCK", "SCROLL LOCK".
// Writes into text (room for 12) and returns it, or returns null.
const char* HotKeyName(std::uint8_t virtualKey, char (&text)[12]);
// The modifier bits of a hot key's high byte.
inline constexpr NamedBit kHotKeyModifierNames[] = {
    {0x01, "HOTKEYF_SHIFT"}, {0x02, "HOTKEYF_CONTROL"}, {0x04, "HOTKEYF_ALT"}};

// A property's VARTYPE without its VT_VECTOR or VT_ARRAY bit: "VT_LPWSTR".
const char* VariantTypeName(std::uint16_t type);
constexpr std::uint16_t kVtVector = 0x1000;
constexpr std::uint16_t kVtArray = 0x2000;

// The block an ExtraData signature names, or null for a signature the format does not define.
const BlockKind* BlockKindOf(std::uint32_t signature);

}  // namespace link_format

#endif
