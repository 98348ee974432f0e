// SPDX-License-Identifier: MIT
// shortcut_dump: prints where one Windows shell link points.
//
//   shortcut_dump LINK
//
// Eight lines on standard output, four of them labelled, and status 0; or one error
// line from the reader and status 1. A failed write to standard output is status 1 too.
#include <iostream>
#include <memory>

#include <shortcut_reader/shortcut_file.h>

namespace {

struct Field {
    const char* label;
    int (ShortcutFile::*getter)(char*) const;
};

// Each label is the name of the getter whose text follows it.
constexpr Field kFields[] = {
    {"\nGetPath :", &ShortcutFile::GetPath},
    {"\nGetWorkDir :", &ShortcutFile::GetWorkDir},
    {"\nGetDesc: ", &ShortcutFile::GetDesc},
    {"\nGetPathRel :", &ShortcutFile::GetPathRel},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        ReportError("File error");  // no path, so nothing to open
    }
    const ShortcutFile link(argv[1]);
    // Large enough for any text a getter writes, so every field prints whole.
    const std::unique_ptr<char[]> text(new char[ShortcutFile::kLongestTextBytes]);
    for (const Field& field : kFields) {
        std::cout << field.label;
        (link.*field.getter)(text.get());
        std::cout << text.get() << '\n';
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
