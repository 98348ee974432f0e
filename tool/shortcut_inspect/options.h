// SPDX-License-Identifier: MIT
// The command line of shortcut_inspect.
#ifndef SHORTCUT_INSPECT_OPTIONS_H
#define SHORTCUT_INSPECT_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

namespace inspect {

enum class Format {
    kJsonl,       // the whole record, a JSON object a line
    kCsv,         // a row a link, after a header
    kBodyfile,    // lines of a timeline's body file
    kTimesketch,  // a JSON object a time
};

struct Options {
    std::string codePage = "CP1252";       // an iconv name, or a Windows code page number
    std::optional<std::string> filesFrom;  // "-" for standard input
    bool nulSeparated = false;             // -0: the list's paths end with NUL, not newline
    bool recursive = false;
    bool anyName = false;  // the walk reads every file with a link's header, whatever its name
    bool noArchives = false;  // archives are read as any other file, not as the links inside them
    bool summary = false;  // the summary on standard error even where it is not a terminal
    bool scan = false;     // each input read as bytes, a link at every place its header occurs
    Format format = Format::kJsonl;
    bool precise = false;  // CSV times with seven fractional digits
    unsigned hashes = 0;   // shell_link::FileHash bits
    bool help = false;
    bool version = false;
    std::vector<std::string> paths;
};

// Reads argv into options; on a usage error returns its one-line message instead.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& options);

extern const char kUsage[];

}  // namespace inspect

#endif
