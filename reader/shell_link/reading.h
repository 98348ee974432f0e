// SPDX-License-Identifier: MIT
// What every part of the complete reader shares: the input, the code page, the warnings,
// and bounded reads of fields and texts inside a span of the input. A field read through
// here that does not lie wholly inside its span is absent; a text ends at its span's end.
#ifndef SHORTCUT_READER_SHELL_LINK_READING_H
#define SHORTCUT_READER_SHELL_LINK_READING_H

#include <shortcut_reader/shell_link.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bytes/byte_span.h"

namespace shell_link::detail {

using link_format::ByteSpan;

// Keeps at most kMaxWarningsOfACode warnings of each code, in the order they come; the
// next one of a code stands as a kTooManyWarnings, which Finish() makes say how many of
// that code were dropped.
class WarningBudget {
public:
    void Add(WarningCode code, std::optional<std::uint64_t> offset, std::string message);
    // Whether a warning of code would still be kept: a message need not be made otherwise.
    bool Keeps(WarningCode code) const { return count_[Index(code)] < kMaxWarningsOfACode; }
    std::vector<Warning> Finish();

private:
    static std::size_t Index(WarningCode code) { return static_cast<std::size_t>(code); }

    std::vector<Warning> kept_;
    std::array<std::uint32_t, kWarningCodeCount> count_{};
    // Where each code's kTooManyWarnings stands in kept_: set when its count passes the budget.
    std::array<std::uint32_t, kWarningCodeCount> droppedAt_;
    bool dropped_ = false;
};

// How many more records of a kind a record keeps, and how many it did not: one budget
// for all the lists of a kind in a link, so that many lists cannot multiply it.
struct RecordBudget {
    std::size_t left;
    std::uint64_t unlisted = 0;
};

struct Reading {
    ByteSpan input;
    CodePage& codePage;
    WarningBudget warnings;
    RecordBudget items{kMaxItems};            // of every ID list
    RecordBudget properties{kMaxProperties};  // storages and values of every property store

    // The input offset of a byte of a span of the input.
    std::uint64_t OffsetOf(const unsigned char* at) const { return static_cast<std::uint64_t>(at - input.data); }
    std::uint64_t OffsetOf(ByteSpan span) const { return OffsetOf(span.data); }
    void Warn(WarningCode code, ByteSpan at, std::string message) {
        warnings.Add(code, OffsetOf(at), std::move(message));
    }
};

template <typename T>
std::optional<T> Field(ByteSpan span, std::uint64_t offset) {
    T value{};
    if (!link_format::ReadLittleEndian(span, offset, value)) {
        return std::nullopt;
    }
    return value;
}
std::optional<Guid> GuidField(ByteSpan span, std::uint64_t offset);

// Texts. "at" names the structure for a warning about the text. A text whose bytes do not
// all decode is kept with U+FFFD in their place and adds a warning.
//   Utf16Text: count UTF-16LE units, whole (zero units included), as far as span holds them.
//   Utf16TextZ: UTF-16LE units up to the first zero unit, or the span's end.
//   AnsiText, AnsiTextZ: the same for code-page bytes.
std::string Utf16Text(Reading& reading, ByteSpan span, std::size_t count, ByteSpan at);
std::string Utf16TextZ(Reading& reading, ByteSpan span, ByteSpan at);
std::string AnsiText(Reading& reading, ByteSpan span, ByteSpan at);
std::string AnsiTextZ(Reading& reading, ByteSpan span, ByteSpan at);

// The bytes before the first zero byte, or all of the span; the whole UTF-16 units
// before the first zero unit, or all of them.
inline std::size_t ZeroTerminatedBytes(ByteSpan span) { return link_format::BoundedTextLength(span, 0, span.size); }
std::size_t ZeroTerminatedUnits(ByteSpan span);

// At most the first 64 bytes of a span, as an unknown item or block keeps them.
std::vector<std::uint8_t> DataPrefix(ByteSpan bytes);
// "0x1C": a number in upper-case hexadecimal, for messages.
std::string HexNumber(std::uint64_t value);
// "1 byte", "12 bytes".
std::string ByteCount(std::uint64_t count);

// Reads input as a whole link, without the analysis. When it is only the start of the
// input (cut), the record says so, and gives wholeSize as the input's size.
Link Read(ByteSpan input, std::uint64_t wholeSize, bool cut, CodePage& codePage);
// Read, then Analyze: the record ReadLink and ReadLinkFile give.
Link ReadAndAnalyze(ByteSpan input, std::uint64_t wholeSize, bool cut, CodePage& codePage);

// The sections, each read from the span that holds it.
Header ReadHeader(Reading& reading);
// The items of an ID list (no IDListSize before it), up to its terminal ID.
std::vector<Item> ReadItems(Reading& reading, ByteSpan list);
// Sets the list's path from its items.
void SetItemPath(IdList& list);
LinkInfo ReadLinkInfo(Reading& reading, ByteSpan block);
ExtraDataBlock ReadExtraDataBlock(Reading& reading, ByteSpan block, std::uint32_t blockSize);
PropertyStoreBlock ReadPropertyStore(Reading& reading, ByteSpan storages);

// A FILETIME, with a warning when it lies past the year 9999.
FileTime CheckedFileTime(Reading& reading, std::uint64_t value, ByteSpan at);

}  // namespace shell_link::detail

#endif
