// SPDX-License-Identifier: MIT
// The texts and small values of the record's fields, read inside their spans: UTF-16 and
// code-page texts with their warnings, GUIDs, the kept start of unknown bytes, and the
// numbers of messages.
#include <cstring>

#include "bytes/byte_scan.h"
#include "format/values.h"
#include "shell_link/reading.h"
#include "text/utf16.h"

namespace shell_link::detail {

namespace {

std::string Utf16Decoded(Reading& reading, const unsigned char* bytes, std::size_t count, ByteSpan at) {
    bool paired = true;
    std::string text = Utf16ToUtf8(bytes, count, paired);
    if (!paired) {
        reading.Warn(WarningCode::kUnpairedSurrogate, at, "a UTF-16 text holds a surrogate without its pair (now U+FFFD)");
    }
    return text;
}

std::string AnsiDecoded(Reading& reading, const unsigned char* bytes, std::size_t size, ByteSpan at) {
    std::string text;
    if (!reading.codePage.Decode(bytes, size, text)) {
        reading.Warn(WarningCode::kUndecodableText, at,
                     "an ANSI text holds bytes that " + reading.codePage.name() + " does not decode (now U+FFFD)");
    }
    return text;
}

}  // namespace

std::vector<std::uint8_t> DataPrefix(ByteSpan bytes) {
    constexpr std::size_t kDataPrefixBytes = 64;
    const ByteSpan prefix = bytes.Sub(0, kDataPrefixBytes);
    return std::vector<std::uint8_t>(prefix.data, prefix.data + prefix.size);
}

std::string HexNumber(std::uint64_t value) {
    int count = 1;
    while (count < 16 && value >> (4 * count) != 0) {
        ++count;
    }
    char text[18] = {'0', 'x'};
    link_format::UpperHexDigits(text + 2, value, count);
    return std::string(text, static_cast<std::size_t>(2 + count));
}

std::string ByteCount(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

std::optional<Guid> GuidField(ByteSpan span, std::uint64_t offset) {
    if (!span.Holds(offset, 16)) {
        return std::nullopt;
    }
    Guid guid;
    std::memcpy(guid.data(), span.data + static_cast<std::size_t>(offset), guid.size());
    return guid;
}

std::string Utf16Text(Reading& reading, ByteSpan span, std::size_t count, ByteSpan at) {
    const std::size_t held = span.size / 2;
    return Utf16Decoded(reading, span.data, count < held ? count : held, at);
}

std::size_t ZeroTerminatedUnits(ByteSpan span) {
    namespace sr = link_format;
    const std::size_t held = span.size / 2;
    std::size_t count = 0;
    // Four units a word; the first flag is exact.
    for (; held - count >= 4; count += 4) {
        const char* const word = reinterpret_cast<const char*>(span.data + 2 * count);
        if (const std::uint64_t flags = sr::WordUnitsZero(sr::LittleEndianWord(word))) {
            return count + sr::FirstFlaggedUnit(flags);
        }
    }
    while (count < held && (span.data[2 * count] | span.data[2 * count + 1]) != 0) {
        ++count;
    }
    return count;
}

std::string Utf16TextZ(Reading& reading, ByteSpan span, ByteSpan at) {
    return Utf16Decoded(reading, span.data, ZeroTerminatedUnits(span), at);
}

std::string AnsiText(Reading& reading, ByteSpan span, ByteSpan at) {
    return AnsiDecoded(reading, span.data, span.size, at);
}

std::string AnsiTextZ(Reading& reading, ByteSpan span, ByteSpan at) {
    return AnsiDecoded(reading, span.data, ZeroTerminatedBytes(span), at);
}

}  // namespace shell_link::detail
