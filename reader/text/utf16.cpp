// SPDX-License-Identifier: MIT
#include "text/utf16.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "text/utf8.h"

namespace shell_link::detail {

namespace {

// The i-th UTF-16LE unit at bytes.
std::uint32_t UnitAt(const unsigned char* bytes, std::size_t i) {
    return static_cast<std::uint32_t>(bytes[2 * i]) | static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8;
}

// Copies the ASCII units (high byte zero, low byte below 0x80) that begin the count units
// at bytes to at, a byte each, and returns how many there were: most texts are all ASCII,
// and are copied eight units a step with SSE2, else four.
std::size_t PutAsciiUnits(const unsigned char* bytes, std::size_t count, char* at) {
    std::size_t done = 0;
#ifdef __SSE2__
    for (; count - done >= 8; done += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 2 * done));
        const __m128i notAscii = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(notAscii, _mm_setzero_si128())) != 0xFFFF) {
            break;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(at + done), _mm_packus_epi16(units, units));
    }
#endif
    constexpr std::uint64_t kNotAscii = 0xFF80FF80FF80FF80u;
    for (; count - done >= 4; done += 4) {
        std::uint64_t units = 0;
        std::memcpy(&units, bytes + 2 * done, sizeof units);
        if ((units & kNotAscii) != 0) {
            break;
        }
        at[done] = static_cast<char>(bytes[2 * done]);
        at[done + 1] = static_cast<char>(bytes[2 * done + 2]);
        at[done + 2] = static_cast<char>(bytes[2 * done + 4]);
        at[done + 3] = static_cast<char>(bytes[2 * done + 6]);
    }
    return done;
}

// Writes the UTF-8 form of count units at bytes into to, which holds 3 * count bytes,
// and returns its end; paired becomes false when an unpaired surrogate became U+FFFD.
char* PutUtf16(const unsigned char* bytes, std::size_t count, char* at, bool& paired) {
    const std::size_t ascii = PutAsciiUnits(bytes, count, at);
    at += ascii;
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

std::string Utf16ToUtf8(const unsigned char* bytes, std::size_t count, bool& paired) {
    constexpr std::size_t kPiece = 256;
    char local[3 * kPiece];
    if (count <= kPiece) {  // most texts: through the stack into a string of their size
        return std::string(local, static_cast<std::size_t>(PutUtf16(bytes, count, local, paired) - local));
    }
    // A long text is measured first, so that the string takes exactly its UTF-8 form: a
    // multi-megabyte text costs its own size, never three times that.
    std::string out;
    out.reserve(Utf8Length(bytes, count));
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
    return out;
}

}  // namespace shell_link::detail
