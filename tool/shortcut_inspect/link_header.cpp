// SPDX-License-Identifier: MIT
#include "link_header.h"

#include <shortcut_reader/shell_link_containers.h>

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace inspect {

HeaderCheck CheckLinkHeader(const std::string& path) {
    // Without touching the file's access time where the process may (see ReadLinkFile).
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int file = open(path.c_str(), kFlags | O_NOATIME);
    if (file < 0 && errno == EPERM) {
        file = open(path.c_str(), kFlags);
    }
    if (file < 0) {
        return {false, errno};
    }
    unsigned char start[sizeof shell_link::kLinkHeaderBytes];
    ssize_t got = 0;
    do {
        got = read(file, start, sizeof start);
    } while (got < 0 && errno == EINTR);
    const int error = got < 0 ? errno : 0;
    static_cast<void>(close(file));
    const bool started = got > 0 && error == 0;
    return {started && shell_link::ContentOf(start, static_cast<std::size_t>(got)) != shell_link::Content::kOther, error};
}

}  // namespace inspect
