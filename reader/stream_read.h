// Unformatted reads from the link file's stream. What the file does not supply stays
// zero; once a read comes up short, every later read delivers nothing.
#ifndef SHORTCUT_READER_STREAM_READ_H
#define SHORTCUT_READER_STREAM_READ_H

#include <cstddef>
#include <cstdint>
#include <istream>

// Reads count bytes into dst, which the caller has zero-filled.
void ReadBytes(std::istream& stream, unsigned char* dst, std::size_t count);

// Reads a little-endian count of width (1 to 4) bytes; missing bytes read as zero, so
// a count the file supplies only in part keeps the bytes that were read.
std::uint32_t ReadCount(std::istream& stream, unsigned width);

// Steps over count bytes without storing them, in bounded chunks, so that a claimed
// size of gigabytes costs nothing beyond what the file really holds.
void SkipBytes(std::istream& stream, std::uint64_t count);

#endif
