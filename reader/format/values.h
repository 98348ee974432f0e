// SPDX-License-Identifier: MIT
// The format's value types as text: FILETIMEs, DOS date-times, GUIDs, and what a
// version-1 UUID (a tracker's object identifier) says of its making.
#ifndef SHORTCUT_READER_FORMAT_VALUES_H
#define SHORTCUT_READER_FORMAT_VALUES_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace link_format {

// A GUID in its packet form, as the file stores it: Data1, Data2 and Data3 little-endian,
// then the eight bytes of Data4.
using Guid = std::array<std::uint8_t, 16>;

// "{00021401-0000-0000-C000-000000000046}": 38 characters, upper case.
constexpr std::size_t kGuidTextLength = 38;
void GuidText(const Guid& guid, char (&text)[kGuidTextLength]);

// Writes value's low count hex digits, upper case and zero-padded, and returns the end.
char* UpperHexDigits(char* at, std::uint64_t value, int count);

// A FILETIME counts 100-ns intervals since 1601-01-01 UTC. Zero means "not set"; a value
// past 9999-12-31T23:59:59.9999999Z has no ISO 8601 form here.
bool FileTimeIsValid(std::uint64_t filetime);
// Writes "2008-09-12T20:27:17.1010000Z" (28 characters) for a valid FILETIME; false, and
// nothing written, for one that is not.
constexpr std::size_t kFileTimeTextLength = 28;
bool FileTimeText(std::uint64_t filetime, char (&text)[kFileTimeTextLength]);

// A DOS date-time as shell items store it: the date word (day, month, years since 1980)
// in the low 16 bits, the time word (seconds / 2, minutes, hours) in the high 16 bits.
// Zero means "not set"; others are valid when every field is in range and the day
// exists in its month. Writes "2008-09-12T20:27:16" (19 characters, no zone) for a valid
// one; false, and nothing written, for zero and invalid ones.
constexpr std::size_t kDosDateTimeTextLength = 19;
bool DosDateTimeText(std::uint32_t dosDateTime, char (&text)[kDosDateTimeTextLength]);

// A version-1 (time-based) UUID: its version nibble is 1.
bool IsTimeBasedUuid(const Guid& guid);
// Its 60-bit timestamp (100-ns intervals since 1582-10-15) as a FILETIME; false when it
// lies before 1601, where a FILETIME cannot go.
bool UuidFileTime(const Guid& guid, std::uint64_t& filetime);
// Its node, the MAC address of the machine that made it: "08:00:27:5F:3A:1C".
constexpr std::size_t kMacAddressTextLength = 17;
void UuidMacAddress(const Guid& guid, char (&text)[kMacAddressTextLength]);

}  // namespace link_format

#endif
