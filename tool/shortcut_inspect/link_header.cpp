// SPDX-License-Identifier: MIT
#include "link_header.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>

namespace inspect {

namespace {

constexpr unsigned char kLinkStart[20] = {
    0x4C, 0x00, 0x00, 0x00,                                                                          // HeaderSize
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46,  // LinkCLSID
};

}  // namespace

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
    unsigned char start[sizeof kLinkStart];
    ssize_t got = 0;
    do {
        got = read(file, start, sizeof start);
    } while (got < 0 && errno == EINTR);
    const int error = got < 0 ? errno : 0;
    static_cast<void>(close(file));
    const bool whole = got == static_cast<ssize_t>(sizeof start);
    return {whole && std::equal(std::begin(start), std::end(start), kLinkStart), error};
}

}  // namespace inspect
