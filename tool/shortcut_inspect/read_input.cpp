// SPDX-License-Identifier: MIT
#include "read_input.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "archive_input.h"

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

// The bytes of a file, at most kMaxInputBytes of them; 0 or the errno. A regular file's
// size sizes the buffer at once.
int ReadWhole(const std::string& path, std::vector<unsigned char>& bytes) {
    const int fd = OpenToRead(path);
    if (fd < 0) {
        return errno;
    }
    struct stat status {};
    const auto cap = static_cast<std::size_t>(sl::kMaxInputBytes);
    std::size_t step = std::size_t{1} << 16;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0) {
        step = static_cast<std::uint64_t>(status.st_size) < cap ? static_cast<std::size_t>(status.st_size) + 1 : cap;
    }
    int error = 0;
    while (bytes.size() < cap) {
        const std::size_t had = bytes.size();
        const std::size_t want = std::min(step, cap - had);
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
        step = std::min(step * 2, cap);
    }
    static_cast<void>(close(fd));
    return error;
}

// The links of a Jump List, its AppID from its name.
bool ReadJumpListFile(const std::string& path, const std::vector<unsigned char>& bytes, sl::CodePage& codePage,
                      const sl::LinkSink& sink) {
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
        bool going = true;
        int error = 0;
        try {
            error = sl::ScanFile(path.c_str(), codePage, [&](sl::Link& found) { return going = sink(found); });
        } catch (const std::bad_alloc&) {
            error = ENOMEM;
        }
        if (going && error != 0) {
            sl::Link link = sl::UnreadableFile(path.c_str(), error);
            return sink(link);
        }
        return going;
    }
    // A file named as a Jump List is read once, as what it holds; any other is read as a
    // link at once, and only what is not one is looked at again.
    if (sl::AppIdOf(path)) {
        std::vector<unsigned char> bytes;
        if (ReadWhole(path, bytes) == 0 && IsJumpList(sl::ContentOf(bytes.data(), bytes.size()))) {
            return ReadJumpListFile(path, bytes, codePage, sink);
        }
    }
    sl::Link link = ReadLinkRecord(path, codePage, options.hashes);
    if (link.status == sl::Status::kNotAShortcut && !sl::AppIdOf(path)) {
        std::vector<unsigned char> bytes;
        if (ReadWhole(path, bytes) == 0 && IsJumpList(sl::ContentOf(bytes.data(), bytes.size()))) {
            return ReadJumpListFile(path, bytes, codePage, sink);
        }
    }
    // Neither a link nor a Jump List: an archive, by its first bytes, where archives are read.
    if (link.status == sl::Status::kNotAShortcut) {
        if (const std::optional<bool> going = VisitArchive(path, options, codePage, sink)) {
            return *going;
        }
    }
    return sink(link);
}

}  // namespace inspect
