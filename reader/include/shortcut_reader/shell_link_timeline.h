// SPDX-License-Identifier: MIT
// A link's record in the forms timeline tools load: a CSV row with the 27 columns by
// whose exact header Timeline Explorer recognises a CSV of link files, Sleuth
// Kit body file (3.x) lines for mactime, and Timesketch JSON Lines. Each writes the times
// of the same sources: the link file's own (LinkFile), the header's target times, the
// times of the ID list's file entry and delegate items, and the tracker's droid times.
#ifndef SHORTCUT_READER_SHELL_LINK_TIMELINE_H
#define SHORTCUT_READER_SHELL_LINK_TIMELINE_H

#include <string>

#include "export.h"
#include "shell_link.h"

namespace shell_link {

// The header line: the 27 column names, comma-separated, CRLF.
SHORTCUT_READER_API void AppendCsvHeader(std::string& out);
// One row for any record, CRLF: RFC 4180 quoting, UTF-8, times as "2008-09-12 20:27:17"
// UTC (with precise, seven fractional digits), an empty field where a value is absent.
SHORTCUT_READER_API void AppendCsvRow(const Link& link, std::string& out, bool precise = false);
// One body file line for each source of times that has any (none for a file that could
// not be read): MD5|name|inode|mode|UID|GID|size|atime|mtime|ctime|crtime, UNIX seconds.
SHORTCUT_READER_API void AppendBodyLines(const Link& link, std::string& out);
// One JSON line for each time of the same sources, with message, datetime and
// timestamp_desc, which Timesketch requires, and the link's main fields.
SHORTCUT_READER_API void AppendTimesketchLines(const Link& link, std::string& out);

}  // namespace shell_link

#endif
