// SPDX-License-Identifier: MIT
// The hashes of a link file, by OpenSSL's libcrypto where the build has it.
#ifndef SHORTCUT_READER_SHELL_LINK_FILE_HASHES_H
#define SHORTCUT_READER_SHELL_LINK_FILE_HASHES_H

#include <shortcut_reader/shell_link.h>

#include <cstddef>
#include <cstdint>

namespace shell_link::detail {

// Sets the hashes asked for (FileHash bits) in file: of the size bytes at bytes, then,
// when rest is true, of what fd holds from offset size to its end (fd must be a regular
// file then). A hash that cannot be taken stays absent.
void HashFile(const unsigned char* bytes, std::size_t size, int fd, bool rest, unsigned hashes, LinkFile& file);

}  // namespace shell_link::detail

#endif
