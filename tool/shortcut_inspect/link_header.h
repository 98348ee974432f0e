// SPDX-License-Identifier: MIT
// Whether a file starts as a link does (its first 20 bytes are the header's size, 4C 00
// 00 00, and the LinkCLSID) or as a Jump List does; or, where archives are read, as an
// archive does. --any-name asks it of every file the walk finds.
#ifndef SHORTCUT_INSPECT_LINK_HEADER_H
#define SHORTCUT_INSPECT_LINK_HEADER_H

#include <cstddef>
#include <string>
#include <vector>

namespace inspect {

struct HeaderCheck {
    bool link = false;     // a link or a Jump List
    bool archive = false;  // asked for, and not a link: its first bytes are an archive's
    int error = 0;         // the errno of an open or read that failed, else 0
};

// Opens the file, reads its first 20 bytes in one read (with archives, its first 512
// bytes, which hold every archive's mark but an ISO 9660 image's), and closes it. A symbolic link or FIFO put in the file's place
// since the walk saw it is neither followed nor waited for.
// Opens path to read it, without waiting for a FIFO's writer (O_NONBLOCK, with flags), and
// without touching its access time where the process may (as ReadLinkFile does).
int OpenForHeader(const std::string& path, int flags);

HeaderCheck CheckLinkHeader(const std::string& path, bool archives = false);

// The first bytes of the regular file at path, at most most of them, into bytes: the
// errno of an open or read that failed, or 0. Symbolic links are followed; a file of any
// other kind (a FIFO, a terminal) is not read from, so that the caller still reads it
// whole, and gives no bytes.
int ReadFirstBytes(const std::string& path, std::size_t most, std::vector<unsigned char>& bytes);

}  // namespace inspect

#endif
