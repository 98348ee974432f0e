// SPDX-License-Identifier: MIT
// The reader is built with hidden visibility: only what is marked SHORTCUT_READER_API is
// exported from its shared library, or from a user's shared object that links its static
// library. SHORTCUT_READER_LOCAL keeps a member of an exported class hidden.
#ifndef SHORTCUT_READER_EXPORT_H
#define SHORTCUT_READER_EXPORT_H

#if defined(__GNUC__)
#define SHORTCUT_READER_API __attribute__((visibility("default")))
#define SHORTCUT_READER_LOCAL __attribute__((visibility("hidden")))
#else
#define SHORTCUT_READER_API
#define SHORTCUT_READER_LOCAL
#endif

#endif
