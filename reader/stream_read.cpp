#include "stream_read.h"

#include "byte_span.h"

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
            // The file ended inside the skip: leave the stream as a short read would,
            // so every later read delivers nothing.
            stream.setstate(std::ios::failbit);
            return;
        }
        count -= part;
    }
}
