// SPDX-License-Identifier: MIT
// The header of a shell link and the LinkFlags bits the reader consults, in the order
// in which their sections follow the header.
#ifndef SHORTCUT_READER_LINK_FLAGS_H
#define SHORTCUT_READER_LINK_FLAGS_H

#include <cstdint>

namespace shortcut_reader {

constexpr unsigned kHeaderBytes = 76;
constexpr std::uint32_t kShellLinkHeaderSize = 76;
constexpr unsigned kHeaderSizeOffset = 0;
constexpr unsigned kLinkFlagsOffset = 20;

enum LinkFlag : std::uint32_t {
    kHasLinkTargetIdList = 0x01,
    kHasLinkInfo = 0x02,
    kHasName = 0x04,
    kHasRelativePath = 0x08,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
};

}  // namespace shortcut_reader

#endif
