// SPDX-License-Identifier: MIT
// Unformatted reads from the stream of a link's bytes, a file or memory alike. What the
// input does not supply stays zero; once a read comes up short, every later read
// delivers nothing.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_STREAM_READ_H
#define SHORTCUT_READER_SHORTCUT_FILE_STREAM_READ_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

namespace shortcut_file {

// Reads count bytes into dst, which the caller has zero-filled.
void ReadBytes(std::istream& stream, unsigned char* dst, std::size_t count);

// Reads a little-endian count of width (1 to 4) bytes; missing bytes read as zero, so
// a count the input supplies only in part keeps the bytes that were read.
std::uint32_t ReadCount(std::istream& stream, unsigned width);

// Steps over count bytes without storing them, in bounded chunks, so that a claimed
// size of gigabytes costs nothing beyond what the input really holds.
void SkipBytes(std::istream& stream, std::uint64_t count);

// A read-only stream buffer over bytes in memory, which it never writes and which must
// outlive it. It hands them out in windows of at most 1 GiB, so that no distance it
// computes outgrows std::streamsize on 32-bit builds.
class MemoryStreamBuffer final : public std::streambuf {
public:
    MemoryStreamBuffer(const void* bytes, std::size_t size);

protected:
    int_type underflow() override;

private:
    char* next_;
    std::size_t left_;
};

}  // namespace shortcut_file

#endif
