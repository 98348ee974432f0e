// SPDX-License-Identifier: MIT
// The format's layout, shared by both readers: where the ShellLinkHeader's fields lie and
// the LinkInfo header's sizes. The named values (flag bits, signatures, show commands)
// are the public ones of shell_link_constants.h, which this namespace takes in.
#ifndef SHORTCUT_READER_FORMAT_LAYOUT_H
#define SHORTCUT_READER_FORMAT_LAYOUT_H

#include <shortcut_reader/shell_link_constants.h>

#include <cstdint>

namespace link_format {

using namespace shell_link::constants;  // NOLINT(google-build-using-namespace)

// ShellLinkHeader: 76 bytes, little-endian, each field at its offset.
constexpr unsigned kHeaderBytes = 76;
constexpr std::uint32_t kShellLinkHeaderSize = 76;  // the value HeaderSize must hold
constexpr unsigned kHeaderSizeOffset = 0x00;        // u32
constexpr unsigned kLinkClsidOffset = 0x04;         // GUID
constexpr unsigned kLinkFlagsOffset = 0x14;         // u32, LinkFlag bits
constexpr unsigned kFileAttributesOffset = 0x18;    // u32, FileAttribute bits
constexpr unsigned kCreationTimeOffset = 0x1C;      // FILETIME
constexpr unsigned kAccessTimeOffset = 0x24;        // FILETIME
constexpr unsigned kWriteTimeOffset = 0x2C;         // FILETIME
constexpr unsigned kFileSizeOffset = 0x34;          // u32
constexpr unsigned kIconIndexOffset = 0x38;         // i32
constexpr unsigned kShowCommandOffset = 0x3C;       // u32
constexpr unsigned kHotKeyOffset = 0x40;            // u16: virtual key, then modifiers
// Reserved1 (u16) at 0x42, Reserved2 and Reserved3 (u32) at 0x44 and 0x48.

// LinkInfoHeaderSize: without the Unicode offsets, and with them (this or more).
constexpr std::uint32_t kLinkInfoHeaderWithoutUnicode = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderWithUnicode = 0x24;

}  // namespace link_format

#endif
