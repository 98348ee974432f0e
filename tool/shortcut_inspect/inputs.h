// SPDX-License-Identifier: MIT
// The inputs of shortcut_inspect, in order: the paths of the command line, then those of
// --files-from; with --recursive, a directory stands for the links and archives below it
// (with --any-name, also the files below it that start as a link or an archive does).
#ifndef SHORTCUT_INSPECT_INPUTS_H
#define SHORTCUT_INSPECT_INPUTS_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "options.h"

namespace inspect {

// What becomes of each input: a path to read as a link, an archive a walk found (by its
// name, or with --any-name by its first bytes), or a directory that could not be walked or
// a file that could not be checked (with its errno), which is recorded as a file that
// could not be read; and how many files a walk passed over.
struct InputVisitor {
    std::function<bool(const std::string& path)> link;  // false: stop
    // A file --any-name found by its first bytes: read as a link or Jump List, or passed
    // over (and counted skipped) when it turns out to be neither.
    std::function<bool(const std::string& path)> candidate;
    std::function<bool(const std::string& path)> archive;
    std::function<bool(const std::string& path, int error)> unreadable;
    std::function<void(std::uint64_t count)> skipped;
};

// Visits every input. Returns an error message (the list could not be opened or read),
// or nothing.
std::optional<std::string> VisitInputs(const Options& options, const InputVisitor& visit);

}  // namespace inspect

#endif
