// SPDX-License-Identifier: MIT
// One input, read as what it holds: a link, a Jump List (the links in it), or, with
// --scan, any bytes (the links found in them).
#ifndef SHORTCUT_INSPECT_READ_INPUT_H
#define SHORTCUT_INSPECT_READ_INPUT_H

#include <shortcut_reader/shell_link_containers.h>

#include <string>

#include "options.h"

namespace inspect {

// Gives sink every record of the input at path, in order; false when sink stopped.
bool ReadInput(const std::string& path, const Options& options, shell_link::CodePage& codePage,
               const shell_link::LinkSink& sink);

}  // namespace inspect

#endif
