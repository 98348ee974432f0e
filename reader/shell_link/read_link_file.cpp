// SPDX-License-Identifier: MIT
// A link file read whole into memory, then read as a link. At most kMaxInputBytes are
// read, so that no file (nor /dev/zero) takes memory without bound; a FIFO without a
// writer reads as empty rather than waiting for one.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "shell_link/reading.h"
#include "text/utf8.h"

namespace shell_link {

namespace {

constexpr std::size_t kFirstRead = std::size_t{64} << 10;

std::string Reason(int error) {
    if (error == ENOMEM) {
        return "out of memory";  // the words a record of any reading that ran out of memory gives
    }
    char text[256];
    // The GNU strerror_r, which returns the text (in text, or a static one).
    return strerror_r(error, text, sizeof text);
}

// The bytes of a file, in storage that is not cleared first: every byte is read before
// it is used. Links mostly take a few KiB: those stay on the stack, and a larger file
// moves to the heap.
struct FileBytes {
    static constexpr std::size_t kOnStack = std::size_t{8} << 10;

    unsigned char stack[kOnStack];
    std::unique_ptr<unsigned char[]> heap;
    unsigned char* data = stack;
    std::size_t capacity = kOnStack;
    std::size_t size = 0;

    // cppcheck-suppress uninitMemberVar
    FileBytes() = default;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Room for count bytes in all.
    void Reserve(std::size_t count) {
        if (count <= capacity) {
            return;
        }
        std::unique_ptr<unsigned char[]> larger(new unsigned char[count]);
        if (size > 0) {
            std::memcpy(larger.get(), data, size);
        }
        heap = std::move(larger);
        data = heap.get();
        capacity = count;
    }
};

// Reads fd to its end, or to kMaxInputBytes; sets more when bytes lie beyond that. A
// regular file's expected size saves the buffer's regrowth.
int ReadAll(int fd, std::uint64_t expected, FileBytes& bytes, bool& more) {
    const auto cap = static_cast<std::size_t>(kMaxInputBytes);
    bytes.Reserve(expected > 0 && expected < cap ? static_cast<std::size_t>(expected) + 1 : kFirstRead);
    for (;;) {
        if (bytes.size == bytes.capacity) {
            if (bytes.size == cap) {
                unsigned char probe = 0;
                ssize_t got = 0;
                do {
                    got = read(fd, &probe, 1);
                } while (got < 0 && errno == EINTR);
                more = got > 0;
                return 0;
            }
            bytes.Reserve(bytes.capacity < cap / 2 ? bytes.capacity * 2 : cap);
        }
        const ssize_t got = read(fd, bytes.data + bytes.size, bytes.capacity - bytes.size);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        bytes.size += static_cast<std::size_t>(got);
    }
}

}  // namespace

Link UnreadableFile(const char* path, int error) {
    Link link;
    link.file = path == nullptr ? "" : detail::ValidUtf8(path);
    link.status = Status::kFileError;
    link.error = Reason(error);
    return link;
}

Link ReadLinkFile(const char* path, CodePage& codePage) {
    if (path == nullptr) {
        return UnreadableFile(path, EINVAL);
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return UnreadableFile(path, errno);
    }
    // Opened without blocking, so that a FIFO with no writer does not wait; read blocking.
    const int flags = fcntl(fd, F_GETFL);
    struct stat status {};
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 || fstat(fd, &status) < 0) {
        const int error = errno;
        close(fd);
        return UnreadableFile(path, error);
    }
    const bool regular = S_ISREG(status.st_mode);
    const std::uint64_t fileSize = regular && status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    FileBytes bytes;
    bool more = false;
    const int error = ReadAll(fd, fileSize, bytes, more);
    close(fd);
    if (error != 0) {
        return UnreadableFile(path, error);
    }
    // Only a regular file tells how much more there is.
    const std::uint64_t wholeSize = more && fileSize > bytes.size ? fileSize : bytes.size;
    Link link = detail::ReadAndAnalyze(detail::ByteSpan{bytes.data, bytes.size}, wholeSize, more, codePage);
    link.file = detail::ValidUtf8(path);
    return link;
}

}  // namespace shell_link
