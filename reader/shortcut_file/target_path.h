// SPDX-License-Identifier: MIT
// The target ID list walk: the item operations and the join of the item names into the
// target path. They serve the parse alone; the tests and the fuzz target reach them here.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_TARGET_PATH_H
#define SHORTCUT_READER_SHORTCUT_FILE_TARGET_PATH_H

namespace shortcut_file {

// The path buffer of the walk: a joined path holds at most 255 bytes.
constexpr int kPathBytes = 256;
// The component table of the walk: this many names of at most 259 bytes each.
constexpr int kMaxComponents = 128;
constexpr int kComponentBytes = 260;

// An item is a pointer to its 16-bit ItemIDSize inside the list bytes that end at
// listEnd; no item is a null pointer. Nothing here reads outside [item, listEnd).
const unsigned char* ItemData(const unsigned char* item, const unsigned char* listEnd);
const unsigned char* NextItem(const unsigned char* item, const unsigned char* listEnd);
bool IsTerminalItem(const unsigned char* item, const unsigned char* listEnd);
const unsigned char* ItemNameStart(const unsigned char* item, const unsigned char* listEnd);
int ItemName(const unsigned char* item, const unsigned char* listEnd, char* slot, int limit);

// Joins the names of the items of list (size bytes) into path, which holds kPathBytes
// bytes: the first item is never named, and the result is at most 255 bytes and a
// terminator.
void BuildTargetPath(const unsigned char* list, unsigned size, char* path);

}  // namespace shortcut_file

#endif
