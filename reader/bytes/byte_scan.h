// SPDX-License-Identifier: MIT
// Finding the first byte of a kind in a text, eight bytes at a time: most texts hold none
// of the bytes the scans look for, so a word that cannot hold one is passed whole.
#ifndef SHORTCUT_READER_BYTES_BYTE_SCAN_H
#define SHORTCUT_READER_BYTES_BYTE_SCAN_H

#include <cstdint>
#include <cstring>
#include <string_view>

namespace link_format {

constexpr std::uint64_t kByteOnes = 0x0101010101010101u;
constexpr std::uint64_t kByteHighs = 0x8080808080808080u;

// Flags (the high bit of a byte) where word may hold a byte below limit (at most 0x80),
// or a byte equal to byte: each never misses one that is there, and may flag one that is
// not (a borrow from a lower byte, which the subtraction lets wrap on purpose). Callers
// combine them with | and test once.
constexpr std::uint64_t WordBytesBelow(std::uint64_t word, unsigned char limit) {
    return (word - kByteOnes * limit) & ~word & kByteHighs;
}
constexpr std::uint64_t WordBytesEqual(std::uint64_t word, unsigned char byte) {
    return WordBytesBelow(word ^ (kByteOnes * byte), 1);
}

// The same for the four 16-bit units of a word: flags where a unit may be zero.
constexpr std::uint64_t WordUnitsZero(std::uint64_t word) {
    constexpr std::uint64_t kUnitOnes = 0x0001000100010001u;
    constexpr std::uint64_t kUnitHighs = 0x8000800080008000u;
    return (word - kUnitOnes) & ~word & kUnitHighs;
}

// The eight bytes at text as a word whose lowest byte is the first, on any host: then
// the lowest flag of the tests above marks the first byte they look for.
inline std::uint64_t LittleEndianWord(const char* text) {
    std::uint64_t word = 0;
    std::memcpy(&word, text, sizeof word);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}

// The first byte a non-zero result of the tests above flags, in a LittleEndianWord: that
// one is never a false flag, since a borrow only reaches the bytes after a true one.
inline std::size_t FirstFlaggedByte(std::uint64_t flags) { return static_cast<std::size_t>(__builtin_ctzll(flags)) / 8; }
inline std::size_t FirstFlaggedUnit(std::uint64_t flags) { return static_cast<std::size_t>(__builtin_ctzll(flags)) / 16; }

// The position of the first byte from at on that wanted() accepts, or text.size(). A word
// for which mayHold() is false holds no such byte and is passed whole; in one for which it
// is true, wanted() decides byte by byte. A text of eight bytes or more ends with the word
// of its last eight.
template <typename WordTest, typename ByteTest>
std::size_t FindByte(std::string_view text, std::size_t at, WordTest mayHold, ByteTest wanted) {
    const auto wordAt = [&text](std::size_t from) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + from, sizeof word);
        return word;
    };
    const auto byteByByte = [&](std::size_t from, std::size_t to) {
        while (from < to && !wanted(static_cast<unsigned char>(text[from]))) {
            ++from;
        }
        return from;
    };
    const std::size_t start = at;
    while (text.size() - at >= 8) {
        if (mayHold(wordAt(at))) {
            const std::size_t found = byteByByte(at, at + 8);
            if (found != at + 8) {
                return found;
            }
        }
        at += 8;
    }
    if (at != text.size() && text.size() - start >= 8 && !mayHold(wordAt(text.size() - 8))) {
        return text.size();
    }
    return byteByByte(at, text.size());
}

}  // namespace link_format

#endif
