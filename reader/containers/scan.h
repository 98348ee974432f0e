// SPDX-License-Identifier: MIT
// The scan's parts that the tests and the fuzz target reach: the span's reading with its
// link cap, and the reading of a descriptor in windows of a given size.
#ifndef SHORTCUT_READER_CONTAINERS_SCAN_H
#define SHORTCUT_READER_CONTAINERS_SCAN_H

#include <shortcut_reader/shell_link_containers.h>

#include <cstddef>
#include <cstdint>

namespace shell_link::detail {

// The window ScanFile reads in when no link needs more: small enough that the bytes
// read are still in the processor's caches when they are searched (a 16 MiB window
// scanned a third slower here).
constexpr std::size_t kScanChunk = std::size_t{256} << 10;

// The position of the first occurrence of the header bytes in [from, size), or size.
std::size_t FindLinkHeader(const unsigned char* bytes, std::size_t from, std::size_t size);

// ScanBytes with links of at most maxLink bytes.
bool ScanSpan(const unsigned char* bytes, std::size_t size, std::uint64_t base, const Container& where,
              CodePage& codePage, const LinkSink& sink, std::size_t maxLink);

// Reads fd to its end in windows of chunk bytes, growing one only while the link at its
// start needs more (up to maxLink bytes and the header's length), and gives sink the
// records ScanSpan gives over the whole input; offsets count from where fd stands.
// Returns 0, or the errno that ended the reading. Sets stopped when sink stopped it.
int ScanDescriptor(int fd, const Container& where, CodePage& codePage, const LinkSink& sink, std::size_t chunk,
                   std::size_t maxLink, bool& stopped);

}  // namespace shell_link::detail

#endif
