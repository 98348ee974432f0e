// SPDX-License-Identifier: MIT
// Links found by their header bytes in any input. Carved data has no end of file: what
// follows a link without its terminal block is not its ExtraData forever, so each link is
// read up to the next occurrence of the header bytes at the most.
#include "containers/scan.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "shell_link/descriptor.h"
#include "text/utf8.h"

namespace shell_link::detail {

namespace {

constexpr std::size_t kHeaderLength = sizeof kLinkHeaderBytes;

bool Give(Link link, const Container& where, std::uint64_t offset, const LinkSink& sink) {
    Container container = where;
    container.kind = ContainerKind::kScan;
    container.offset = offset;
    link.file = ContainedFileName(container);
    link.container = std::move(container);
    return sink(link);
}

// The bytes of a descriptor from start on, in storage that is not cleared first: every
// byte is read before it is used. realloc moves a large block's pages rather than its
// bytes, so growing for a long link copies nothing.
struct Window {
    struct Free {
        void operator()(unsigned char* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<unsigned char, Free> data;
    std::size_t capacity = 0;
    std::size_t size = 0;
    std::uint64_t start = 0;  // the input's offset of data[0]
    bool end = false;         // the input has no more

    // Drops the bytes before from, then reads until the window holds want bytes or the
    // input ends. Storage grown for a long link goes back to want once it is not needed.
    int Fill(int fd, std::size_t from, std::size_t want) {
        start += from;
        size -= from;
        if (size > 0 && from > 0) {
            std::memmove(data.get(), data.get() + from, size);
        }
        if (want > capacity || (want < capacity && size <= want)) {
            void* const moved = std::realloc(data.get(), want);
            if (moved == nullptr) {
                throw std::bad_alloc();
            }
            static_cast<void>(data.release());
            data.reset(static_cast<unsigned char*>(moved));
            capacity = want;
        }
        while (size < want && !end) {
            const ssize_t got = read(fd, data.get() + size, want - size);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            end = got == 0;
            size += static_cast<std::size_t>(got);
        }
        return 0;
    }
};

}  // namespace

// memchr for the first byte, then the rest compared: glibc's memchr passes bytes many
// times faster than memmem, whose shift over runs of zeros (which the header bytes
// hold) is a single byte.
std::size_t FindLinkHeader(const unsigned char* bytes, std::size_t from, std::size_t size) {
    while (size - from >= kHeaderLength) {
        const void* found = std::memchr(bytes + from, kLinkHeaderBytes[0], size - from - (kHeaderLength - 1));
        if (found == nullptr) {
            break;
        }
        const auto at = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - bytes);
        if (std::memcmp(bytes + at + 1, kLinkHeaderBytes + 1, kHeaderLength - 1) == 0) {
            return at;
        }
        from = at + 1;
    }
    return size;
}

bool ScanSpan(const unsigned char* bytes, std::size_t size, std::uint64_t base, const Container& where,
              CodePage& codePage, const LinkSink& sink, std::size_t maxLink) {
    if (bytes == nullptr) {
        return true;
    }
    for (std::size_t at = FindLinkHeader(bytes, 0, size); at < size;) {
        const std::size_t next = FindLinkHeader(bytes, at + 1, size);
        const std::size_t length = std::min(next - at, maxLink);
        if (!Give(ReadEmbeddedLink(bytes + at, length, codePage), where, base + at, sink)) {
            return false;
        }
        at = next;
    }
    return true;
}

int ScanDescriptor(int fd, const Container& where, CodePage& codePage, const LinkSink& sink, std::size_t chunk,
                   std::size_t maxLink, bool& stopped) {
    stopped = false;
    chunk = std::max(chunk, kHeaderLength);
    maxLink = std::min(maxLink, SIZE_MAX / 4);  // whole and twice a window stay in range
    // A link is whole once the window holds the next occurrence, or the input's end, or
    // maxLink bytes and any occurrence that starts within them.
    const std::size_t whole = maxLink + (kHeaderLength - 1);
    Window window;
    int error = window.Fill(fd, 0, chunk);
    std::size_t from = 0;   // where the search goes on
    std::size_t clear = 0;  // after a window grew for the link at its start: no occurrence starts before
    while (error == 0) {
        unsigned char* const data = window.data.get();
        const std::size_t at = FindLinkHeader(data, from, window.size);
        if (at == window.size) {
            if (window.end) {
                break;
            }
            // An occurrence may begin in the last bytes and end in the next window.
            const std::size_t keep = window.size - std::max(from, window.size - std::min(window.size, kHeaderLength - 1));
            error = window.Fill(fd, window.size - keep, chunk);
            from = 0;
            clear = 0;
            continue;
        }
        const std::size_t next = FindLinkHeader(data, std::max(at + 1, clear), window.size);
        const std::size_t length = std::min(next - at, maxLink);
        Link link = ReadEmbeddedLink(data + at, length, codePage);
        // A link that ends at least a header's length before the window's end reads the
        // same whatever follows; one that does not is read again over more.
        const bool known = next < window.size || window.end || window.size - at >= whole ||
                           link.size.value_or(length) + (kHeaderLength - 1) <= length;
        if (!known) {
            const std::size_t have = window.size - at;
            error = window.Fill(fd, at, std::min(whole, std::max(chunk, 2 * have)));
            from = 0;
            clear = have - std::min(have, kHeaderLength - 1);
            continue;
        }
        if (!Give(std::move(link), where, window.start + at, sink)) {
            stopped = true;
            return 0;
        }
        from = at + 1;
        clear = 0;
    }
    return error;
}

}  // namespace shell_link::detail

namespace shell_link {

bool ScanBytes(const void* bytes, std::size_t size, std::uint64_t base, const Container& where, CodePage& codePage,
               const LinkSink& sink) {
    return detail::ScanSpan(static_cast<const unsigned char*>(bytes), size, base, where, codePage, sink,
                            static_cast<std::size_t>(kMaxInputBytes));
}

int ScanFile(const char* path, CodePage& codePage, const LinkSink& sink) {
    if (path == nullptr) {
        return EINVAL;
    }
    const int fd = detail::OpenLeavingAccessTime(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // Closed however the reading ends, std::bad_alloc included.
    const detail::Descriptor closer(fd);
    static_cast<void>(posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL));
    Container where;
    where.kind = ContainerKind::kScan;
    where.path = detail::ValidUtf8(path);
    bool stopped = false;
    return detail::ScanDescriptor(fd, where, codePage, sink, detail::kScanChunk,
                                  static_cast<std::size_t>(kMaxInputBytes), stopped);
}

}  // namespace shell_link
