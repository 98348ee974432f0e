// SPDX-License-Identifier: MIT
// UTF-8: writing code points, and making any bytes valid UTF-8. Each byte that does not
// belong to a well-formed sequence (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF, a sequence cut short) becomes U+FFFD.
#ifndef SHORTCUT_READER_TEXT_UTF8_H
#define SHORTCUT_READER_TEXT_UTF8_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace shell_link::detail {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kReplacementBytes = sizeof kReplacement - 1;

// Writes the UTF-8 form of a code point (at most U+10FFFF) at at, and returns its end.
char* PutUtf8(char* at, std::uint32_t code);

// The length of the sequence at text, which holds left (at least 1) bytes: that of the
// well-formed character there (well set), or 1 for a byte that does not start one (well
// cleared).
std::size_t Utf8SequenceLength(const unsigned char* text, std::size_t left, bool& well);

// True when every byte is below 0x80.
bool IsAscii(const unsigned char* bytes, std::size_t size);
bool IsValidUtf8(std::string_view text);
// The length text takes once made valid.
std::size_t ValidUtf8Length(std::string_view text);
// Appends text to out with each ill-formed part as U+FFFD; false when there was one.
bool AppendValidUtf8(std::string_view text, std::string& out);
// text (zero-terminated) made valid UTF-8.
std::string ValidUtf8(const char* text);

}  // namespace shell_link::detail

#endif
