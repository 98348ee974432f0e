// SPDX-License-Identifier: MIT
// UTF-16LE to UTF-8, decoded here rather than through iconv: a link holds a dozen or more
// short UTF-16 texts, and iconv takes about 1,300 instructions for a 20-character one.
#ifndef SHORTCUT_READER_TEXT_UTF16_H
#define SHORTCUT_READER_TEXT_UTF16_H

#include <cstddef>
#include <string>

namespace shell_link::detail {

// The UTF-8 form of count UTF-16LE units at bytes; paired becomes false when an unpaired
// surrogate became U+FFFD.
std::string Utf16ToUtf8(const unsigned char* bytes, std::size_t count, bool& paired);

}  // namespace shell_link::detail

#endif
