// SPDX-License-Identifier: MIT
#include "text/utf16.h"

#include <cstdint>
#include <cstring>

#include "text/utf8.h"

namespace shell_link::detail {

namespace {

// The i-th UTF-16LE unit at bytes.
std::uint32_t UnitAt(const unsigned char* bytes, std::size_t i) {
    return static_cast<std::uint32_t>(bytes[2 * i]) | static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8;
}

// Writes the UTF-8 form of count units at bytes into to, which holds 3 * count bytes,
// and returns its end; paired becomes false when an unpaired surrogate became U+FFFD.
char* PutUtf16(const unsigned char* bytes, std::size_t count, char* at, bool& paired) {
    // Four ASCII units at a time: each one's high byte zero and its low byte below 0x80.
    constexpr std::uint64_t kNotAscii = 0xFF80FF80FF80FF80u;
    std::size_t ascii = 0;
    while (count - ascii >= 4) {
        std::uint64_t units = 0;
        std::memcpy(&units, bytes + 2 * ascii, sizeof units);
        if ((units & kNotAscii) != 0) {
            break;
        }
        at[0] = static_cast<char>(bytes[2 * ascii]);
        at[1] = static_cast<char>(bytes[2 * ascii + 2]);
        at[2] = static_cast<char>(bytes[2 * ascii + 4]);
        at[3] = static_cast<char>(bytes[2 * ascii + 6]);
        at += 4;
        ascii += 4;
    }
    bytes += 2 * ascii;
    count -= ascii;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = UnitAt(bytes, i);
        if (unit < 0x80) {
            *at++ = static_cast<char>(unit);
            continue;
        }
        if (unit < 0xD800 || unit > 0xDFFF) {
            at = PutUtf8(at, unit);
            continue;
        }
        if (unit <= 0xDBFF && i + 1 < count) {
            const std::uint32_t next = UnitAt(bytes, i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                // Four bytes for two units: within the three a unit was given.
                at = PutUtf8(at, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        at = PutUtf8(at, 0xFFFD);
        paired = false;
    }
    return at;
}

// The length of the UTF-8 form that PutUtf16 writes.
std::size_t Utf8Length(const unsigned char* bytes, std::size_t count) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = UnitAt(bytes, i);
        if (unit < 0x80) {
            length += 1;
        } else if (unit < 0x800) {
            length += 2;
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && bytes[2 * i + 3] >= 0xDC && bytes[2 * i + 3] <= 0xDF) {
            length += 4;  // a pair
            ++i;
        } else {
            length += 3;  // the rest of the BMP, and U+FFFD for an unpaired surrogate
        }
    }
    return length;
}

}  // namespace

bool AppendUtf16(const unsigned char* bytes, std::size_t count, std::string& out) {
    constexpr std::size_t kPiece = 256;
    bool paired = true;
    char local[3 * kPiece];
    if (count <= kPiece) {  // most texts: through the stack, so out is neither cleared nor shrunk
        out.append(local, static_cast<std::size_t>(PutUtf16(bytes, count, local, paired) - local));
        return paired;
    }
    // A long text is measured first, so that out grows by exactly its UTF-8 form: a
    // multi-megabyte text costs its own size, never three times that.
    out.reserve(out.size() + Utf8Length(bytes, count));
    // Then decoded a piece at a time through the stack, so that no write depends on the
    // measure: each piece takes at most three bytes a unit, a pair never split.
    for (std::size_t done = 0; done < count;) {
        std::size_t take = count - done;
        if (take > kPiece) {
            take = kPiece;
            const std::uint32_t last = UnitAt(bytes + 2 * done, take - 1);
            if (last >= 0xD800 && last <= 0xDBFF) {
                --take;  // a high surrogate goes with the unit after it
            }
        }
        out.append(local, static_cast<std::size_t>(PutUtf16(bytes + 2 * done, take, local, paired) - local));
        done += take;
    }
    return paired;
}

}  // namespace shell_link::detail
