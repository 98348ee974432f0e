// SPDX-License-Identifier: MIT
// Reads link files in this process, for memory checkers and sanitizers to watch:
//
//   read_links FILE...
//
// Each file is read through its path, then its bytes from memory whole and cut short at
// every length up to 4096 bytes and at 64 more lengths spread over the rest, so that
// every header, list, LinkInfo block and string is cut somewhere. Every getter is
// called, the bounded ones at several sizes. Exits 1 when a getter leaves its text
// unterminated or the memory read of a whole file differs from the file's.
#include <shortcut_reader/shortcut_file.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "all_getters.h"

namespace {

constexpr std::size_t kEveryLengthUpTo = 4096;
constexpr std::size_t kSpreadLengths = 64;

// The five texts, each of which must end inside the buffer; empty when one does not.
bool Texts(const ShortcutFile& link, std::string& texts) {
    static const std::unique_ptr<char[]> buffer(new char[ShortcutFile::kLongestTextBytes]);
    texts.clear();
    for (const Getter getter : kGetters) {
        (link.*getter)(buffer.get());
        const std::size_t length = strnlen(buffer.get(), ShortcutFile::kLongestTextBytes);
        if (length == ShortcutFile::kLongestTextBytes) {
            return false;
        }
        texts.append(buffer.get(), length).push_back('\n');
    }
    for (const std::size_t size : {std::size_t{1}, std::size_t{8}, std::size_t{260}}) {
        const std::unique_ptr<char[]> bounded(new char[size]);
        for (const BoundedGetter getter : kBoundedGetters) {
            (link.*getter)(bounded.get(), size);
            if (strnlen(bounded.get(), size) == size) {
                return false;
            }
        }
    }
    return true;
}

bool ReadFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "read_links: cannot open %s\n", path);
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ShortcutStatus status = ShortcutStatus::kRead;
    const ShortcutFile fromPath(path, status);
    std::string expected;
    bool sound = Texts(fromPath, expected);

    std::string texts;
    const std::size_t size = bytes.size();
    const std::size_t step = size > kEveryLengthUpTo ? (size - kEveryLengthUpTo) / kSpreadLengths + 1 : 1;
    for (std::size_t length = 0; sound && length <= size; length += length < kEveryLengthUpTo ? 1 : step) {
        ShortcutStatus cutStatus = ShortcutStatus::kRead;
        const ShortcutFile cut(bytes.data(), length, cutStatus);
        sound = Texts(cut, texts);
    }
    ShortcutStatus wholeStatus = ShortcutStatus::kRead;
    const ShortcutFile whole(bytes.data(), size, wholeStatus);
    sound = sound && Texts(whole, texts) && wholeStatus == status && texts == expected;
    if (!sound) {
        std::fprintf(stderr, "read_links: %s: a getter left its text unterminated, or memory and file differ\n", path);
    }
    return sound;
}

}  // namespace

int main(int argc, char** argv) {
    bool sound = true;
    for (int i = 1; i < argc; ++i) {
        sound = ReadFile(argv[i]) && sound;
    }
    return sound ? 0 : 1;
}
