// SPDX-License-Identifier: MIT
// The names of values beyond the public constants' tables: hot keys and property types.
// Each returns null for a value that has no name.
#ifndef SHORTCUT_READER_FORMAT_NAMES_H
#define SHORTCUT_READER_FORMAT_NAMES_H

#include <cstddef>
#include <cstdint>

#include "format/layout.h"

namespace link_format {

// The key of a hot key's low byte: "A", "5", "F5", "NUM LOCK", "SCROLL LOCK".
// Writes into text (room for 12) and returns it, or returns null.
const char* HotKeyName(std::uint8_t virtualKey, char (&text)[12]);

// A property's VARTYPE without its VT_VECTOR or VT_ARRAY bit: "VT_LPWSTR".
const char* VariantTypeName(std::uint16_t type);
constexpr std::uint16_t kVtVector = 0x1000;
constexpr std::uint16_t kVtArray = 0x2000;

}  // namespace link_format

#endif
