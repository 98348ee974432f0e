// SPDX-License-Identifier: MIT
// The JSON record of a link read by the complete reader (shell_link.h): one object on one
// line, UTF-8, keys always present and in a fixed order, null for what is absent.
// doc/shortcut_inspect.schema.json describes it.
#ifndef SHORTCUT_READER_SHELL_LINK_JSON_H
#define SHORTCUT_READER_SHELL_LINK_JSON_H

#include <functional>
#include <string>

#include "export.h"
#include "shell_link.h"

namespace shell_link {

// Writes out's bytes somewhere and clears out.
using JsonFlush = std::function<void(std::string& out)>;
// How much out may hold before flush is called.
constexpr std::size_t kJsonFlushBytes = std::size_t{64} << 10;

// Appends link to out as one line of JSON and a newline. When flush is given, it is called
// whenever out holds kJsonFlushBytes or more, so that a record of any size needs no more
// memory than that beyond the link's own texts.
SHORTCUT_READER_API void AppendJsonLine(const Link& link, std::string& out, const JsonFlush& flush = {});

}  // namespace shell_link

#endif
