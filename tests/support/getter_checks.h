// SPDX-License-Identifier: MIT
// Every getter of the reader, in both forms, and the check that calls them all.
#ifndef SHORTCUT_TESTS_GETTER_CHECKS_H
#define SHORTCUT_TESTS_GETTER_CHECKS_H

#include <shortcut_reader/shortcut_file.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>

using Getter = int (ShortcutFile::*)(char*) const;
using BoundedGetter = int (ShortcutFile::*)(char*, std::size_t) const;

inline constexpr Getter kGetters[] = {&ShortcutFile::GetPath, &ShortcutFile::GetArgs, &ShortcutFile::GetWorkDir,
                                      &ShortcutFile::GetDesc, &ShortcutFile::GetPathRel};
inline constexpr BoundedGetter kBoundedGetters[] = {&ShortcutFile::GetPath, &ShortcutFile::GetArgs,
                                                    &ShortcutFile::GetWorkDir, &ShortcutFile::GetDesc,
                                                    &ShortcutFile::GetPathRel};

// Calls every getter of link and returns false at the first that breaks its contract.
// The specified ones write into a buffer of kLongestTextBytes and must end their text
// inside it; texts receives the five texts, each followed by a newline. The bounded ones
// write, at each of sizes, into a heap buffer of exactly that size (none for 0), so
// AddressSanitizer sees a write past it: each must return -1 or more, end its text inside
// the buffer, write no more than the length it returns (exactly that length, cut to
// size - 1, where every character takes one byte), and write the same text as its twin
// without a size, as far as both go.
inline bool GettersKeepTheirBounds(const ShortcutFile& link, std::initializer_list<std::size_t> sizes,
                                   std::string& texts) {
    constexpr std::size_t kLongest = ShortcutFile::kLongestTextBytes;
    static const std::unique_ptr<char[]> longest(new char[kLongest]);
    std::string unbounded[std::size(kGetters)];
    texts.clear();
    std::string* text = unbounded;
    for (const Getter getter : kGetters) {
        const int result = (link.*getter)(longest.get());
        const std::size_t length = strnlen(longest.get(), kLongest);
        if (result < -1 || length == kLongest) {
            return false;
        }
        text->assign(longest.get(), length);
        texts.append(*text++).push_back('\n');
    }
    const bool singleByte = MB_CUR_MAX == 1;
    for (const std::size_t size : sizes) {
        const std::unique_ptr<char[]> buffer(size == 0 ? nullptr : new char[size]);
        const std::string* twin = unbounded;
        for (const BoundedGetter getter : kBoundedGetters) {
            const std::string& unboundedText = *twin++;
            const int result = (link.*getter)(buffer.get(), size);
            if (result < -1) {
                return false;
            }
            if (size == 0) {
                continue;
            }
            const std::size_t length = strnlen(buffer.get(), size);
            if (length == size) {
                return false;
            }
            const std::size_t whole = static_cast<std::size_t>(result);
            if (result >= 0 && (length > whole || (singleByte && length != (whole < size ? whole : size - 1)))) {
                return false;
            }
            // Both are the start of one text: where characters take several bytes, the
            // specified getter may stop earlier, so only the shorter one is compared.
            const std::size_t common = length < unboundedText.size() ? length : unboundedText.size();
            if (unboundedText.compare(0, common, buffer.get(), common) != 0) {
                return false;
            }
        }
    }
    return true;
}

#endif
