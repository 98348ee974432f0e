// SPDX-License-Identifier: MIT
// One input, read as what it holds: a link, a Jump List (the links in it), or, with
// --scan, any bytes (the links found in them).
#ifndef SHORTCUT_INSPECT_READ_INPUT_H
#define SHORTCUT_INSPECT_READ_INPUT_H

#include <shortcut_reader/shell_link_containers.h>

#include <functional>
#include <string>

#include "options.h"

namespace inspect {

// Gives sink every record of the input at path, in order; false when sink stopped. With
// notRead, the file is one a walk found by its first bytes (--any-name): when it turns out
// to be neither a link nor a Jump List, notRead is called and it has no record.
bool ReadInput(const std::string& path, const Options& options, shell_link::CodePage& codePage,
               const shell_link::LinkSink& sink, const std::function<void()>& notRead = {});

}  // namespace inspect

#endif
