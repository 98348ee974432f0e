// SPDX-License-Identifier: MIT
// UTF-16LE to UTF-8, decoded here rather than through iconv: a link holds a dozen or more
// short UTF-16 texts, and iconv takes about 1,300 instructions for a 20-character one.
#ifndef SHORTCUT_READER_TEXT_UTF16_H
#define SHORTCUT_READER_TEXT_UTF16_H

#include <cstddef>
#include <string>

namespace shell_link::detail {

// Appends the UTF-8 form of count UTF-16LE units at bytes to out; false when an unpaired
// surrogate became U+FFFD.
bool AppendUtf16(const unsigned char* bytes, std::size_t count, std::string& out);

}  // namespace shell_link::detail

#endif
