// SPDX-License-Identifier: MIT
// Bounded access to a run of bytes read from a link file. Every offset and width is
// checked against the span's size before a byte is touched, in a form that cannot wrap
// (width <= size && offset <= size - width), on 32-bit builds included.
#ifndef SHORTCUT_READER_BYTES_BYTE_SPAN_H
#define SHORTCUT_READER_BYTES_BYTE_SPAN_H

#include <cstddef>
#include <cstdint>

namespace link_format {

struct ByteSpan {
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    // True when [offset, offset + width) lies inside the span.
    bool Holds(std::uint64_t offset, std::uint64_t width) const {
        const std::uint64_t size64 = size;
        return width <= size64 && offset <= size64 - width;
    }

    // The part of [offset, offset + width) that lies inside the span: empty when offset
    // is past its end, cut at its end when width runs past it.
    ByteSpan Sub(std::uint64_t offset, std::uint64_t width) const {
        if (!Holds(offset, 0)) {
            return ByteSpan{data + size, 0};
        }
        const std::size_t start = static_cast<std::size_t>(offset);
        const std::size_t left = size - start;
        return ByteSpan{data + start, width < left ? static_cast<std::size_t>(width) : left};
    }
};

// Reads the little-endian unsigned integer of sizeof(T) bytes at offset into value.
// Returns false, and leaves value untouched, when it does not lie wholly inside the span.
template <typename T>
bool ReadLittleEndian(ByteSpan bytes, std::uint64_t offset, T& value) {
    if (!bytes.Holds(offset, sizeof(T))) {
        return false;
    }
    const unsigned char* const field = bytes.data + static_cast<std::size_t>(offset);
    std::uint64_t result = 0;
    for (std::size_t i = sizeof(T); i > 0; --i) {
        result = result << 8 | field[i - 1];
    }
    value = static_cast<T>(result);
    return true;
}

// Reads a little-endian unsigned field of 1 to 4 bytes at offset. Returns false, and
// leaves value untouched, when the field does not lie wholly inside the span.
bool ReadLittleEndian(ByteSpan bytes, std::uint64_t offset, unsigned width, std::uint32_t& value);

// Length of the zero-terminated text that starts at offset, counting only bytes inside
// the span and at most limit of them: a text with no zero byte before the end of the
// span ends there, and one that starts at or past the end is empty.
std::size_t BoundedTextLength(ByteSpan bytes, std::uint64_t offset, std::size_t limit);

}  // namespace link_format

#endif
