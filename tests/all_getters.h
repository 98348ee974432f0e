// SPDX-License-Identifier: MIT
// Every getter of the reader, in both forms, for the checks that call them all.
#ifndef SHORTCUT_TESTS_ALL_GETTERS_H
#define SHORTCUT_TESTS_ALL_GETTERS_H

#include <shortcut_reader/shortcut_file.h>

#include <cstddef>

using Getter = int (ShortcutFile::*)(char*) const;
using BoundedGetter = int (ShortcutFile::*)(char*, std::size_t) const;

inline constexpr Getter kGetters[] = {&ShortcutFile::GetPath, &ShortcutFile::GetArgs, &ShortcutFile::GetWorkDir,
                                      &ShortcutFile::GetDesc, &ShortcutFile::GetPathRel};
inline constexpr BoundedGetter kBoundedGetters[] = {&ShortcutFile::GetPath, &ShortcutFile::GetArgs,
                                                    &ShortcutFile::GetWorkDir, &ShortcutFile::GetDesc,
                                                    &ShortcutFile::GetPathRel};

#endif
