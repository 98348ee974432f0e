// SPDX-License-Identifier: MIT
// The DestList stream of an automatic destinations Jump List: a 32-byte header, then one
// entry for each link stream, back to back, newest first.
#ifndef SHORTCUT_READER_CONTAINERS_DEST_LIST_H
#define SHORTCUT_READER_CONTAINERS_DEST_LIST_H

#include <shortcut_reader/shell_link.h>

#include <vector>

#include "bytes/byte_span.h"

namespace shell_link::detail {

struct DestListEntryRead {
    DestListEntry entry;
    std::vector<Warning> warnings;  // of its texts, offsets in the DestList stream
};
struct DestListRead {
    std::uint32_t version = 0;
    std::vector<DestListEntryRead> entries;
    std::vector<Warning> damage;  // where the stream is cut short or holds what is no entry
};

// Version 1 entries (Windows 7 to 8.1) have the short layout, every later version the long
// one; a version not seen in real lists (0, or past 4) is read with the long layout too.
// An entry that runs past the stream ends the reading.
DestListRead ReadDestList(link_format::ByteSpan stream, CodePage& codePage);

}  // namespace shell_link::detail

#endif
