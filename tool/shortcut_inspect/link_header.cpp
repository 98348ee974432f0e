// SPDX-License-Identifier: MIT
#include "link_header.h"

#include <shortcut_reader/shell_link_containers.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive_input.h"

namespace inspect {

namespace {

// Reads up to most bytes into bytes, until the end of the file; the errno of a read that
// failed, or 0. A FIFO with no data gives EAGAIN, not a wait.
int ReadUpTo(int file, std::size_t most, std::vector<unsigned char>& bytes) {
    bytes.assign(most, 0);
    std::size_t have = 0;
    while (have < most) {
        const ssize_t got = read(file, bytes.data() + have, most - have);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            bytes.resize(have);
            return errno;
        }
        if (got == 0) {
            break;
        }
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);
    return 0;
}

}  // namespace

int OpenForHeader(const std::string& path, int flags) {
    flags |= O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int file = open(path.c_str(), flags | O_NOATIME);
    if (file < 0 && errno == EPERM) {
        file = open(path.c_str(), flags);
    }
    return file;
}

HeaderCheck CheckLinkHeader(const std::string& path, bool archives) {
    const int file = OpenForHeader(path, O_NOFOLLOW);
    if (file < 0) {
        return {false, false, errno};
    }
    HeaderCheck check;
    if (!archives) {
        unsigned char start[sizeof shell_link::kLinkHeaderBytes];
        ssize_t got = 0;
        do {
            got = read(file, start, sizeof start);
        } while (got < 0 && errno == EINTR);
        check.error = got < 0 ? errno : 0;
        const bool started = got > 0 && check.error == 0;
        check.link = started && shell_link::ContentOf(start, static_cast<std::size_t>(got)) != shell_link::Content::kOther;
    } else {
        // One read of the first block, which holds every archive's mark but ISO 9660's
        // (32 KiB in): an image is found by its name, so that a walk over many large files
        // reads no more of each than one block.
        constexpr std::size_t kFirstBlock = 512;
        std::vector<unsigned char> start;
        check.error = ReadUpTo(file, kFirstBlock, start);
        const bool started = !start.empty() && check.error == 0;
        check.link = started && shell_link::ContentOf(start.data(), start.size()) != shell_link::Content::kOther;
        check.archive = started && !check.link && LooksLikeArchive(start.data(), start.size());
    }
    static_cast<void>(close(file));
    return check;
}

int ReadFirstBytes(const std::string& path, std::size_t most, std::vector<unsigned char>& bytes) {
    bytes.clear();
    const int file = OpenForHeader(path, 0);
    if (file < 0) {
        return errno;
    }
    struct stat status {};
    int error = 0;
    if (fstat(file, &status) != 0) {
        error = errno;
    } else if (S_ISREG(status.st_mode)) {
        error = ReadUpTo(file, most, bytes);
    }
    static_cast<void>(close(file));
    return error;
}

}  // namespace inspect
