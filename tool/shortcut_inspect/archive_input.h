// SPDX-License-Identifier: MIT
// Links inside archives (ZIP, 7z, RAR, ISO 9660, cabinets, tar, compressed or not), read
// by libarchive from the file or, for an archive inside one, from memory: never
// extracted. A member gives records when its content is a link or a Jump List, whatever
// its name; the records' container names the archive and the member, so a record's file
// reads "x.zip#dir/a.lnk". A member of an archive inside an archive is named by both
// members, joined by "#": "x.zip#inner.zip#a.lnk"; an archive one more level down is
// not opened. A build without libarchive reads no archive.
#ifndef SHORTCUT_INSPECT_ARCHIVE_INPUT_H
#define SHORTCUT_INSPECT_ARCHIVE_INPUT_H

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_containers.h>

#include <cstddef>
#include <optional>
#include <string>

#include "options.h"

namespace inspect {

// How many first bytes LooksLikeArchive needs to know every format it knows: an ISO 9660
// image names itself in its second or later volume descriptor.
constexpr std::size_t kArchiveProbeBytes = 0x9006;
// The members an archive may have; past them one record says the rest were not read.
constexpr unsigned long kMaxArchiveMembers = 100000;

// Whether this build reads archives (it was built with libarchive).
bool ArchivesAvailable();

// Whether a file name looks like an archive (.zip .7z .rar .iso .cab .tar .tgz .tar.gz
// .tar.bz2 .tar.xz .tbz2 .txz, any case).
bool IsArchiveName(const std::string& name);

// Whether the first bytes are those of an archive libarchive reads: ZIP, 7z, RAR, a
// cabinet, tar, ISO 9660, or xz, gzip or bzip2 data (a compressed tar, maybe).
bool LooksLikeArchive(const unsigned char* bytes, std::size_t size);

// Reads the archive at path and gives sink the records of the members that are links or
// Jump Lists, nothing for the others. A member is read up to shell_link::kMaxInputBytes.
// An encrypted member, a damaged one and a damaged archive give a record of status
// kFileError with libarchive's reason; the reading goes on with the next member where
// libarchive can. Returns false when sink stopped the reading.
bool ReadArchive(const std::string& path, shell_link::CodePage& codePage, const shell_link::LinkSink& sink);

// A path given as it is: read as an archive when it is a regular file whose first bytes
// are an archive's and not a link's or a Jump List's, archives are read and the options
// do not say --no-archives. Returns nothing when the path is not read so (the caller
// reads it as a link), else false when sink stopped the reading.
std::optional<bool> VisitArchive(const std::string& path, const Options& options, shell_link::CodePage& codePage,
                                 const shell_link::LinkSink& sink);

}  // namespace inspect

#endif
