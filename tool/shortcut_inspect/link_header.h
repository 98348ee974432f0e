// SPDX-License-Identifier: MIT
// Whether a file starts as a link does (its first 20 bytes are the header's size, 4C 00
// 00 00, and the LinkCLSID) or as a Jump List does. --any-name asks it of every file the
// walk finds.
#ifndef SHORTCUT_INSPECT_LINK_HEADER_H
#define SHORTCUT_INSPECT_LINK_HEADER_H

#include <string>

namespace inspect {

struct HeaderCheck {
    bool link = false;  // a link or a Jump List
    int error = 0;  // the errno of an open or read that failed, else 0
};

// Opens the file, reads its first 20 bytes in one read, and closes it. A symbolic link or
// FIFO put in the file's place since the walk saw it is neither followed nor waited for.
HeaderCheck CheckLinkHeader(const std::string& path);

}  // namespace inspect

#endif
