// SPDX-License-Identifier: MIT
// LinkText: the one form in which the reader keeps text. It is an array of 16-bit
// code units, as link files carry them, ending with a zero unit; a LinkText is the
// plain owning pointer to its first unit (released with delete[]), and an absent text
// is a null pointer. An empty text (a lone zero unit) is present but empty.
//
// Text enters and leaves that form only through the five operations below, which pass
// through the platform's wide characters and libc's conversions in the current locale.
// A conversion that fails part-way keeps the characters before the one that did not
// convert, then a terminator: never bytes or units that no conversion produced.
#ifndef SHORTCUT_READER_LINK_TEXT_H
#define SHORTCUT_READER_LINK_TEXT_H

#include <cstdint>

#include "export.h"

using LinkTextUnit = std::uint16_t;
using LinkText = LinkTextUnit*;

// Copies source (null: no text) into dst, unit by unit, each zero-extended, up to and
// including the first zero unit. dst must hold the text and its terminator.
SHORTCUT_READER_API void WidenLinkText(const LinkTextUnit* source, wchar_t* dst);

// Copies source (null: no text) into dst keeping the low 16 bits of each wide
// character, up to and including the first unit so written that is zero: a character
// above U+FFFF is cut, and one whose low 16 bits are zero ends the text.
SHORTCUT_READER_API void NarrowToLinkText(const wchar_t* source, LinkTextUnit* dst);

// Length of text in units plus one; 0 for no text. Texts of any length are measured.
SHORTCUT_READER_API int LinkTextLength(const LinkTextUnit* text);

// Converts text to multibyte text in dst, writing at most n bytes. Returns the bytes
// written without the terminator: dst ends with a zero byte when the text and its
// terminator fit in n bytes, and holds exactly the bytes that fitted otherwise. Returns
// -1 when a character has no multibyte form; dst then holds the bytes of the characters
// before it and a terminator. For no text, writes a single zero byte and returns 0.
// dst must hold at least n bytes, and at least one.
SHORTCUT_READER_API int LinkTextToMultibyte(const LinkTextUnit* text, int n, char* dst);

// Converts the multibyte text source (null: no text) of at most n characters into dst
// and returns the number of characters stored, without the terminator. A character
// that does not convert ends the text there. dst must hold n + 1 units (or L + 1 units
// for a source of L bytes). For no source, writes a single zero unit and returns 0.
SHORTCUT_READER_API int MultibyteToLinkText(const char* source, int n, LinkTextUnit* dst);

#endif
