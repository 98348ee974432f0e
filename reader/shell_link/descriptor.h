// SPDX-License-Identifier: MIT
// Opening the files the reader reads, and closing them however the reading ends.
#ifndef SHORTCUT_READER_SHELL_LINK_DESCRIPTOR_H
#define SHORTCUT_READER_SHELL_LINK_DESCRIPTOR_H

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace shell_link::detail {

// Reading a file must not change what a record says of it: O_NOATIME keeps its access
// time, where the process may ask for that (it owns the file, or has CAP_FOWNER).
inline int OpenLeavingAccessTime(const char* path, int flags) {
    const int fd = open(path, flags | O_NOATIME);
    return fd < 0 && errno == EPERM ? open(path, flags) : fd;
}

// Closes its descriptor when it goes, std::bad_alloc included.
struct Descriptor {
    int fd;
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor() { close(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

}  // namespace shell_link::detail

#endif
