// SPDX-License-Identifier: MIT
// A link file read whole into memory, then read as a link. At most kMaxInputBytes are
// read, so that no file (nor /dev/zero) takes memory without bound; a FIFO without a
// writer reads as empty rather than waiting for one.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "shell_link/descriptor.h"
#include "shell_link/file_hashes.h"
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

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochIntervals = 116444736000000000;

// A time of the file system as a FILETIME; absent before 1601, and for the UNIX epoch
// itself, which file systems made from images commonly give for a time they do not have.
std::optional<FileTime> FileTimeOf(std::int64_t seconds, std::uint32_t nanoseconds) {
    if (seconds == 0 && nanoseconds == 0) {
        return std::nullopt;
    }
    constexpr std::int64_t kIntervalsPerSecond = 10000000;
    constexpr std::int64_t kLowest = -kUnixEpochIntervals / kIntervalsPerSecond;
    constexpr std::int64_t kHighest = (INT64_MAX - kUnixEpochIntervals) / kIntervalsPerSecond - 1;
    if (seconds < kLowest || seconds > kHighest || nanoseconds >= 1000000000) {
        return std::nullopt;
    }
    const std::int64_t intervals = kUnixEpochIntervals + seconds * kIntervalsPerSecond + nanoseconds / 100;
    if (intervals <= 0) {
        return std::nullopt;
    }
    return FileTime{static_cast<std::uint64_t>(intervals)};
}

// What a file's status tells the reading: its kind, size and times.
struct FileStatus {
    bool regular = false;
    std::uint64_t size = 0;
    LinkFile times;
};

// One call, taken before the file is read: statx, which gives the birth time where the
// file system keeps it; where statx is missing (an old kernel, some emulators), fstat's
// three times. Returns 0 or the errno.
int StatusOf(int fd, FileStatus& status) {
    struct statx extended {};
    if (statx(fd, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &extended) == 0 &&
        (extended.stx_mask & STATX_BASIC_STATS) == STATX_BASIC_STATS) {
        status.regular = S_ISREG(extended.stx_mode);
        status.size = extended.stx_size;
        status.times.modified = FileTimeOf(extended.stx_mtime.tv_sec, extended.stx_mtime.tv_nsec);
        status.times.accessed = FileTimeOf(extended.stx_atime.tv_sec, extended.stx_atime.tv_nsec);
        status.times.changed = FileTimeOf(extended.stx_ctime.tv_sec, extended.stx_ctime.tv_nsec);
        if ((extended.stx_mask & STATX_BTIME) != 0) {
            status.times.born = FileTimeOf(extended.stx_btime.tv_sec, extended.stx_btime.tv_nsec);
        }
        return 0;
    }
    struct stat plain {};
    if (fstat(fd, &plain) != 0) {
        return errno;
    }
    status.regular = S_ISREG(plain.st_mode);
    status.size = plain.st_size > 0 ? static_cast<std::uint64_t>(plain.st_size) : 0;
    status.times.modified = FileTimeOf(plain.st_mtim.tv_sec, static_cast<std::uint32_t>(plain.st_mtim.tv_nsec));
    status.times.accessed = FileTimeOf(plain.st_atim.tv_sec, static_cast<std::uint32_t>(plain.st_atim.tv_nsec));
    status.times.changed = FileTimeOf(plain.st_ctim.tv_sec, static_cast<std::uint32_t>(plain.st_ctim.tv_nsec));
    return 0;
}

}  // namespace

Link UnreadableFile(const char* path, int error) {
    Link link;
    link.file = path == nullptr ? "" : detail::ValidUtf8(path);
    link.status = Status::kFileError;
    link.error = Reason(error);
    return link;
}

Link ReadLinkFile(const char* path, CodePage& codePage) { return ReadLinkFile(path, codePage, 0); }

Link ReadLinkFile(const char* path, CodePage& codePage, unsigned hashes) {
    if (path == nullptr) {
        return UnreadableFile(path, EINVAL);
    }
    const int fd = detail::OpenLeavingAccessTime(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return UnreadableFile(path, errno);
    }
    // Closed however the reading ends, std::bad_alloc included.
    const detail::Descriptor closer(fd);
    // Opened without blocking, so that a FIFO with no writer does not wait; read blocking.
    const int flags = fcntl(fd, F_GETFL);
    FileStatus status;
    const int statusError = flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0 ? errno : StatusOf(fd, status);
    if (statusError != 0) {
        return UnreadableFile(path, statusError);
    }
    const bool regular = status.regular;
    const std::uint64_t fileSize = regular ? status.size : 0;
    // A pipe's or a device's times say nothing of a link.
    std::optional<LinkFile> file;
    if (regular) {
        file = std::move(status.times);
    }
    FileBytes bytes;
    bool more = false;
    const int error = ReadAll(fd, fileSize, bytes, more);
    if (error == 0 && file && hashes != 0) {
        detail::HashFile(bytes.data, bytes.size, fd, more, hashes, *file);
    }
    if (error != 0) {
        return UnreadableFile(path, error);
    }
    // Only a regular file tells how much more there is.
    const std::uint64_t wholeSize = more && fileSize > bytes.size ? fileSize : bytes.size;
    Link link = detail::ReadAndAnalyze(detail::ByteSpan{bytes.data, bytes.size}, wholeSize, more, codePage);
    link.file = detail::ValidUtf8(path);
    link.link_file = std::move(file);
    return link;
}

}  // namespace shell_link
