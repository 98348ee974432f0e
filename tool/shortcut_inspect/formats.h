// SPDX-License-Identifier: MIT
// The records in the format --format names: the whole record as JSON Lines, a CSV row,
// body file lines or Timesketch's JSON lines, each from the reader's writers.
#ifndef SHORTCUT_INSPECT_FORMATS_H
#define SHORTCUT_INSPECT_FORMATS_H

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <string>

#include "options.h"

namespace inspect {

// What comes before the first record, once: the CSV header; nothing for the others.
void AppendPreamble(Format format, std::string& out);

// A link's record. flush is called whenever out holds kJsonFlushBytes or more, so that
// standard output is written in large pieces and the buffer stays small.
void AppendRecord(const shell_link::Link& link, const Options& options, std::string& out,
                  const shell_link::JsonFlush& flush);

}  // namespace inspect

#endif
