// SPDX-License-Identifier: MIT
// Links inside other files: the Jump Lists Windows keeps per application, and links found
// by their header bytes in any input (a disk image, a memory dump, unallocated space).
// Each link found gives a record as the complete reader (shell_link.h) makes it, with its
// container, in the order the file holds them; a record's file is the container's path,
// "#" and the stream or the offset. Nothing here prints, exits or throws but
// std::bad_alloc; damage to a container gives a record whose status is kFileError and
// whose error says what, and the reading goes on where it can.
#ifndef SHORTCUT_READER_SHELL_LINK_CONTAINERS_H
#define SHORTCUT_READER_SHELL_LINK_CONTAINERS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "export.h"
#include "shell_link.h"

namespace shell_link {

// The 20 bytes every link starts with: its HeaderSize (0x4C) and the LinkCLSID.
inline constexpr unsigned char kLinkHeaderBytes[20] = {0x4C, 0x00, 0x00, 0x00, 0x01, 0x14, 0x02, 0x00, 0x00, 0x00,
                                                       0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// What the first bytes of a file say it holds.
enum class Content {
    kLink,                   // 4C 00 00 00 and the LinkCLSID
    kAutomaticDestinations,  // a compound file (an automatic destinations Jump List holds one)
    kCustomDestinations,     // the header of a custom destinations Jump List and a whole first category
    kOther,
};
SHORTCUT_READER_API Content ContentOf(const void* bytes, std::size_t size);

// Whether size bytes at bytes are a Jump List by more than their first bytes: a compound
// file with a DestList stream, or a custom destinations header whose first category reads
// whole up to its first entry's class identifier or its footer. For a file whose name
// does not say it is one (ContentOf alone would take any compound file, a Word document
// or an installer, for one).
SHORTCUT_READER_API bool IsJumpList(const void* bytes, std::size_t size);

// Takes each record found, in order; returns false to stop the reading.
using LinkSink = std::function<bool(Link& link)>;

// Reads a link that other bytes may follow (in a Jump List, in carved data): as ReadLink
// does, but the link ends where its own structures end. The record's size is that length,
// and what follows is not trailing data: it is not the link's.
SHORTCUT_READER_API Link ReadEmbeddedLink(const void* bytes, std::size_t size, CodePage& codePage);

// The AppID a Jump List's name holds: 1 to 16 hex digits before ".automaticDestinations-ms"
// or ".customDestinations-ms" (any case), after the last slash; in lowercase. Absent for
// any other name.
SHORTCUT_READER_API std::optional<std::string> AppIdOf(const std::string& name);

// Reads the Jump List of size bytes at bytes (automatic or custom destinations, by their
// content) and gives sink one record for each link it holds, in file order, with the
// container where: its path and member (and AppID) as the caller sets them; the kind,
// stream or offset, category and DestList entry are set here. Every DestList entry that
// names no stream gives a record of its own (kFileError, warning kUnmatchedEntry). A
// file that is neither kind of Jump List gives one kNotAShortcut record. Returns false
// when sink stopped the reading.
SHORTCUT_READER_API bool ReadJumpList(const void* bytes, std::size_t size, const Container& where, CodePage& codePage,
                                      const LinkSink& sink);

// The file a record of a link in where names: its path, "#" and the member, the stream
// or the offset, as those are set.
SHORTCUT_READER_API std::string ContainedFileName(const Container& where);

// Reads every link whose 20 header bytes occur in size bytes at bytes, at every offset
// they occur (inside an earlier link's bytes too), each up to the next occurrence at the
// most; where.kind is set to kScan and each record's offset to base plus the link's place.
// Returns false when sink stopped the reading.
SHORTCUT_READER_API bool ScanBytes(const void* bytes, std::size_t size, std::uint64_t base, const Container& where,
                                   CodePage& codePage, const LinkSink& sink);
// The same over the file at path, of any size, read in windows: memory stays within a few
// times kMaxInputBytes, the longest link a scan keeps. Returns 0, or the errno that ended
// the reading (the records given until then stand).
SHORTCUT_READER_API int ScanFile(const char* path, CodePage& codePage, const LinkSink& sink);

}  // namespace shell_link

#endif
