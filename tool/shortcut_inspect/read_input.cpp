// SPDX-License-Identifier: MIT
#include "read_input.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <vector>

namespace inspect {

namespace {

namespace sl = shell_link;

// A link that takes more memory than there is costs its own record, not the batch. The
// record is made where the caller keeps it, neither moved nor copied.
sl::Link ReadLinkRecord(const std::string& path, sl::CodePage& codePage, unsigned hashes) {
    try {
        return sl::ReadLinkFile(path.c_str(), codePage, hashes);
    } catch (const std::bad_alloc&) {
        return sl::UnreadableFile(path.c_str(), ENOMEM);
    }
}

int OpenToRead(const std::string& path) {
    // Without touching the file's access time where the process may (see ReadLinkFile).
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOATIME);
    return fd < 0 && errno == EPERM ? open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY) : fd;
}

// What a file's first bytes say it holds (kOther where it cannot be read).
sl::Content ContentOfFile(const std::string& path) {
    const int fd = OpenToRead(path);
    if (fd < 0) {
        return sl::Content::kOther;
    }
    unsigned char start[sizeof sl::kLinkHeaderBytes];
    ssize_t got = 0;
    do {
        got = read(fd, start, sizeof start);
    } while (got < 0 && errno == EINTR);
    static_cast<void>(close(fd));
    return got > 0 ? sl::ContentOf(start, static_cast<std::size_t>(got)) : sl::Content::kOther;
}

// The bytes of a file, at most kMaxInputBytes of them; 0 or the errno.
int ReadWhole(const std::string& path, std::vector<unsigned char>& bytes) {
    const int fd = OpenToRead(path);
    if (fd < 0) {
        return errno;
    }
    constexpr std::size_t kStep = std::size_t{1} << 20;
    int error = 0;
    while (bytes.size() < sl::kMaxInputBytes) {
        const std::size_t had = bytes.size();
        const std::size_t want = std::min<std::size_t>(kStep, static_cast<std::size_t>(sl::kMaxInputBytes) - had);
        bytes.resize(had + want);
        const ssize_t got = read(fd, bytes.data() + had, want);
        bytes.resize(had + (got > 0 ? static_cast<std::size_t>(got) : 0));
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            error = errno;
            break;
        }
    }
    static_cast<void>(close(fd));
    return error;
}

// The links of a Jump List (read whole: Jump Lists are small), its AppID from its name.
bool ReadJumpListFile(const std::string& path, sl::CodePage& codePage, const sl::LinkSink& sink) {
    std::vector<unsigned char> bytes;
    if (const int error = ReadWhole(path, bytes)) {
        sl::Link link = sl::UnreadableFile(path.c_str(), error);
        return sink(link);
    }
    sl::Container where;
    where.path = path;
    where.app_id = sl::AppIdOf(path);
    try {
        return sl::ReadJumpList(bytes.data(), bytes.size(), where, codePage, sink);
    } catch (const std::bad_alloc&) {
        sl::Link link = sl::UnreadableFile(path.c_str(), ENOMEM);
        return sink(link);
    }
}

bool IsJumpList(sl::Content content) {
    return content == sl::Content::kAutomaticDestinations || content == sl::Content::kCustomDestinations;
}

}  // namespace

bool ReadInput(const std::string& path, const Options& options, sl::CodePage& codePage, const sl::LinkSink& sink) {
    if (options.scan) {
        const int error = sl::ScanFile(path.c_str(), codePage, sink);
        if (error != 0) {
            sl::Link link = sl::UnreadableFile(path.c_str(), error);
            return sink(link);
        }
        return true;
    }
    // A link is read at once; only what is not one is looked at again.
    sl::Link link = ReadLinkRecord(path, codePage, options.hashes);
    if (link.status == sl::Status::kNotAShortcut && IsJumpList(ContentOfFile(path))) {
        return ReadJumpListFile(path, codePage, sink);
    }
    return sink(link);
}

}  // namespace inspect
