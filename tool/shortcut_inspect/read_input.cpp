// SPDX-License-Identifier: MIT
#include "read_input.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "archive_input.h"
#include "link_header.h"

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

// As ReadLinkFile opens a file: without waiting for a FIFO's writer, then reading as usual.
int OpenToRead(const std::string& path) {
    const int fd = OpenForHeader(path, 0);
    const int flags = fd < 0 ? -1 : fcntl(fd, F_GETFL);
    if (flags >= 0) {
        static_cast<void>(fcntl(fd, F_SETFL, flags & ~O_NONBLOCK));
    }
    return fd;
}

// A file read whole, at most kMaxInputBytes of it; more when bytes lie beyond those.
struct WholeFile {
    std::vector<unsigned char> bytes;
    bool more = false;
    int error = 0;  // of an open or read that failed
};

// Reads fd to its end or to kMaxInputBytes, a regular file into a buffer of its size (so
// the end is found by a read that gives nothing, not by a larger buffer), anything else
// into one that doubles.
void ReadAll(int fd, WholeFile& file) {
    const auto cap = static_cast<std::size_t>(sl::kMaxInputBytes);
    struct stat status {};
    std::size_t room = std::size_t{1} << 16;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0) {
        room = static_cast<std::uint64_t>(status.st_size) < cap ? std::max<std::size_t>(static_cast<std::size_t>(status.st_size), 1) : cap;
    }
    std::vector<unsigned char>& bytes = file.bytes;
    bytes.resize(room);
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size()) {
            unsigned char probe[1];
            const ssize_t got = read(fd, probe, sizeof probe);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                file.error = got < 0 ? errno : 0;
                break;
            }
            if (size == cap) {
                file.more = true;
                break;
            }
            bytes.resize(std::min(cap, std::max(size * 2, size + 1)));
            bytes[size++] = probe[0];
            continue;
        }
        const ssize_t got = read(fd, bytes.data() + size, bytes.size() - size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            file.error = got < 0 ? errno : 0;
            break;
        }
        size += static_cast<std::size_t>(got);
    }
    bytes.resize(size);
}

WholeFile ReadWhole(const std::string& path) {
    WholeFile file;
    const int fd = OpenToRead(path);
    if (fd < 0) {
        file.error = errno;
        return file;
    }
    ReadAll(fd, file);
    static_cast<void>(close(fd));
    return file;
}

// What a file's first bytes say it holds (kOther where it cannot be read).
sl::Content ContentOfFile(const std::string& path) {
    std::vector<unsigned char> start;
    if (ReadFirstBytes(path, sizeof sl::kLinkHeaderBytes, start) != 0) {
        return sl::Content::kOther;
    }
    return sl::ContentOf(start.data(), start.size());
}

bool IsJumpListContent(sl::Content content) {
    return content == sl::Content::kAutomaticDestinations || content == sl::Content::kCustomDestinations;
}

bool NamedAsJumpList(const std::string& path) {
    const auto endsWith = [&path](const char* suffix) {
        const std::size_t length = std::strlen(suffix);
        return path.size() >= length && strcasecmp(path.c_str() + path.size() - length, suffix) == 0;
    };
    return endsWith(".automaticDestinations-ms") || endsWith(".customDestinations-ms");
}

// The links of a Jump List, its AppID from its name. A list cut at kMaxInputBytes (no
// Jump List Windows writes comes near) says so in a record of its own first.
bool ReadJumpListFile(const std::string& path, const WholeFile& file, sl::CodePage& codePage,
                      const sl::LinkSink& sink) {
    if (file.more) {
        sl::Link cut = sl::UnreadableFile(path.c_str(), 0);
        cut.error = "larger than 256 MiB: only the links in its first 256 MiB are read";
        if (!sink(cut)) {
            return false;
        }
    }
    sl::Container where;
    where.path = path;
    where.app_id = sl::AppIdOf(path);
    try {
        return sl::ReadJumpList(file.bytes.data(), file.bytes.size(), where, codePage, sink);
    } catch (const std::bad_alloc&) {
        sl::Link link = sl::UnreadableFile(path.c_str(), ENOMEM);
        return sink(link);
    }
}

bool Scan(const std::string& path, sl::CodePage& codePage, const sl::LinkSink& sink) {
    bool going = true;
    int error = 0;
    try {
        error = sl::ScanFile(path.c_str(), codePage, [&](sl::Link& found) { return going = sink(found); });
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    // going is set by the sink above, which cppcheck does not follow into the lambda.
    // cppcheck-suppress knownConditionTrueFalse
    if (going && error != 0) {
        sl::Link link = sl::UnreadableFile(path.c_str(), error);
        return sink(link);
    }
    return going;
}

// A file named as a Jump List, or whose first bytes are a Jump List's, read whole: read as
// one when its name says it is one or its content does more than its first bytes can
// (IsJumpList). Returns nothing for a file that is none.
std::optional<bool> ReadIfJumpList(const std::string& path, bool named, sl::CodePage& codePage,
                                   const sl::LinkSink& sink) {
    const WholeFile file = ReadWhole(path);
    if (file.error != 0) {
        if (!named) {
            sl::Link link = sl::UnreadableFile(path.c_str(), file.error);
            return sink(link);
        }
        return std::nullopt;  // read as a link, whose record says why it cannot be
    }
    if (named ? !IsJumpListContent(sl::ContentOf(file.bytes.data(), file.bytes.size()))
              : !sl::IsJumpList(file.bytes.data(), file.bytes.size())) {
        return std::nullopt;
    }
    return ReadJumpListFile(path, file, codePage, sink);
}

}  // namespace

bool ReadInput(const std::string& path, const Options& options, sl::CodePage& codePage, const sl::LinkSink& sink,
               const std::function<void()>& notRead) {
    if (options.scan) {
        return Scan(path, codePage, sink);
    }
    // A file named as a Jump List, or one a walk found by its first bytes, is looked at
    // first; any other is read as a link at once, and only what is not one is looked at
    // again.
    const bool named = NamedAsJumpList(path);
    if (named || notRead) {
        // A file named as a Jump List mostly is one: it is read whole at once.
        const sl::Content content = named ? sl::Content::kOther : ContentOfFile(path);
        if (named || IsJumpListContent(content)) {
            if (const std::optional<bool> going = ReadIfJumpList(path, named, codePage, sink)) {
                return *going;
            }
        }
        if (notRead && content != sl::Content::kLink) {
            notRead();  // a compound file that is no Jump List, say
            return true;
        }
    }
    sl::Link link = ReadLinkRecord(path, codePage, options.hashes);
    if (link.status == sl::Status::kNotAShortcut && !named && IsJumpListContent(ContentOfFile(path))) {
        if (const std::optional<bool> going = ReadIfJumpList(path, false, codePage, sink)) {
            return *going;
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
