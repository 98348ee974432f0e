// SPDX-License-Identifier: MIT
#include "shortcut_file/stream_read.h"

#include "bytes/byte_span.h"

namespace shortcut_file {

using link_format::ByteSpan;
using link_format::ReadLittleEndian;

namespace {
// Fits std::streamsize on 32-bit builds too.
constexpr std::size_t kChunk = std::size_t{1} << 30;
}  // namespace

void ReadBytes(std::istream& stream, unsigned char* dst, std::size_t count) {
    while (count > 0 && stream) {
        const std::size_t part = count < kChunk ? count : kChunk;
        stream.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(part));
        dst += part;
        count -= part;
    }
}

std::uint32_t ReadCount(std::istream& stream, unsigned width) {
    unsigned char bytes[4] = {};
    const unsigned used = width < 4 ? width : 4;
    ReadBytes(stream, bytes, used);
    std::uint32_t value = 0;
    ReadLittleEndian(ByteSpan{bytes, used}, 0, used, value);
    return value;
}

void SkipBytes(std::istream& stream, std::uint64_t count) {
    while (count > 0 && stream) {
        const std::uint64_t part = count < kChunk ? count : kChunk;
        stream.ignore(static_cast<std::streamsize>(part));
        if (static_cast<std::uint64_t>(stream.gcount()) < part) {
            // The input ended inside the skip: leave the stream as a short read would,
            // so every later read delivers nothing.
            stream.setstate(std::ios::failbit);
            return;
        }
        count -= part;
    }
}

// The stream buffer interface takes char*, but nothing here or in std::istream's
// unformatted reads writes through the get area, so the bytes stay untouched.
MemoryStreamBuffer::MemoryStreamBuffer(const void* bytes, std::size_t size)
    : next_(const_cast<char*>(static_cast<const char*>(bytes))), left_(bytes == nullptr ? 0 : size) {}

MemoryStreamBuffer::int_type MemoryStreamBuffer::underflow() {
    if (left_ == 0) {
        return traits_type::eof();
    }
    const std::size_t window = left_ < kChunk ? left_ : kChunk;
    setg(next_, next_, next_ + window);
    next_ += window;
    left_ -= window;
    return traits_type::to_int_type(*gptr());
}

}  // namespace shortcut_file
