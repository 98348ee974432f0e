// SPDX-License-Identifier: MIT
// The bounded form of LinkTextToMultibyte, behind the getters that take a size.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_BOUNDED_TEXT_H
#define SHORTCUT_READER_SHORTCUT_FILE_BOUNDED_TEXT_H

#include <shortcut_reader/link_text.h>

#include <cstddef>

namespace shortcut_file {

// Converts text (null: no text) as snprintf writes: at most size bytes into dst, the
// terminator included (nothing when size is 0 or dst is null), cut at whole characters
// and always terminated. Returns the byte length of the whole multibyte text, or -1 when
// a character has no multibyte form, the characters before it being written, cut to fit.
int BoundedLinkTextToMultibyte(const LinkTextUnit* text, char* dst, std::size_t size);

}  // namespace shortcut_file

#endif
