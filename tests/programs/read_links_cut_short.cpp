// SPDX-License-Identifier: MIT
// Reads link files in this process, for memory checkers and sanitizers to watch:
//
//   read_links_cut_short FILE...
//
// Each file is read through its path, then its bytes from memory whole and cut short at
// every length up to 4096 bytes and at 64 more lengths spread over the rest, so that
// every header, list, LinkInfo block and string is cut somewhere. Every getter is
// called, the bounded ones at several sizes. The complete reader reads every length up to
// 256 bytes and the spread ones, each into its JSON line. Exits 1 when a getter breaks
// its contract, the memory read of a whole file differs from the file's, or a JSON
// record is not one line.
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>
#include <shortcut_reader/shortcut_file.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "getter_checks.h"
#include "test_support.h"

namespace {

constexpr std::size_t kEveryLengthUpTo = 4096;
constexpr std::size_t kSpreadLengths = 64;
// The complete reader takes longer a read: every length up to this, then the spread ones.
constexpr std::size_t kCompleteEveryLengthUpTo = 256;
// The sizes the bounded getters are given.
constexpr std::initializer_list<std::size_t> kSizes = {1, 8, 260};

// The complete reader's record of the first length bytes, which must be one line.
bool RecordIsOneLine(const std::vector<std::uint8_t>& bytes, std::size_t length) {
    static shell_link::CodePage codePage;
    std::string line;
    shell_link::AppendJsonLine(shell_link::ReadLink(bytes.data(), length, codePage), line);
    return !line.empty() && line.find('\n') == line.size() - 1;
}

bool ReadFile(const char* path) {
    const std::optional<std::vector<std::uint8_t>> read = FileBytes(path);
    if (!read) {
        std::fprintf(stderr, "read_links_cut_short: cannot open %s\n", path);
        return false;
    }
    const std::vector<std::uint8_t>& bytes = *read;
    ShortcutStatus status = ShortcutStatus::kRead;
    const ShortcutFile fromPath(path, status);
    std::string expected;
    bool sound = GettersKeepTheirBounds(fromPath, kSizes, expected);

    std::string texts;
    const std::size_t size = bytes.size();
    const std::size_t step = size > kEveryLengthUpTo ? (size - kEveryLengthUpTo) / kSpreadLengths + 1 : 1;
    for (std::size_t length = 0; sound && length <= size; length += length < kEveryLengthUpTo ? 1 : step) {
        ShortcutStatus cutStatus = ShortcutStatus::kRead;
        const ShortcutFile cut(bytes.data(), length, cutStatus);
        sound = GettersKeepTheirBounds(cut, kSizes, texts);
        if (sound && (length <= kCompleteEveryLengthUpTo || length >= kEveryLengthUpTo || length == size)) {
            sound = RecordIsOneLine(bytes, length);
        }
    }
    ShortcutStatus wholeStatus = ShortcutStatus::kRead;
    const ShortcutFile whole(bytes.data(), size, wholeStatus);
    sound = sound && GettersKeepTheirBounds(whole, kSizes, texts) && wholeStatus == status && texts == expected;
    if (!sound) {
        std::fprintf(stderr, "read_links_cut_short: %s: a getter broke its contract, memory and file differ, or a record is not one line\n", path);
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
