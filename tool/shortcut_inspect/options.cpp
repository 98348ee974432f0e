// SPDX-License-Identifier: MIT
#include "options.h"

#include <shortcut_reader/shell_link.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace inspect {

const char kUsage[] =
    "Usage: shortcut_inspect [--codepage NAME] [--files-from FILE] [-0] [-r [--any-name]] [--scan]\n"
    "                        [--no-archives] [--format FORMAT] [--precise] [--hash ALGORITHM]...\n"
    "                        [--summary] PATH...\n"
    "Reads Windows shell link (.lnk) files, and the links inside Jump Lists, and writes a\n"
    "record per link, in input order, on standard output: by default a JSON object a line.\n"
    "In an archive (ZIP, 7z, RAR, ISO 9660, cabinet, tar), every member that is a link or\n"
    "a Jump List gives records, named ARCHIVE#MEMBER (inside an inner archive:\n"
    "ARCHIVE#INNER#MEMBER).\n"
    "\n"
    "  --codepage NAME     the ANSI code page of the machine that wrote the links, as\n"
    "                      iconv names it (default CP1252; CP932, CP1251, ...) or as\n"
    "                      Windows numbers it (1252, 932, 65001, ...)\n"
    "  --files-from FILE   also read the paths listed in FILE, one a line ('-': standard\n"
    "                      input), after those on the command line; a CR that ends a\n"
    "                      line is dropped\n"
    "  -0                  the paths of --files-from end with NUL (find -print0)\n"
    "  -r, --recursive     read every regular file named *.lnk, *.automaticDestinations-ms\n"
    "                      or *.customDestinations-ms (in any case) below the directories\n"
    "                      given, without following symbolic links\n"
    "  --any-name          with -r, read every other regular file below them too whose\n"
    "                      first bytes are a link's or a Jump List's (or an archive's),\n"
    "                      whatever its name\n"
    "  --no-archives       read archives as any other file: -r passes over them, and one\n"
    "                      named is read as a link\n"
    "  --scan              read each input as bytes (a disk image, a memory dump, ...) and\n"
    "                      a link at every offset where a link's 20 header bytes occur:\n"
    "                      a record each, its file PATH#OFFSET\n"
    "  --format FORMAT     jsonl (the default: the whole record), csv (a row a link),\n"
    "                      bodyfile (a timeline body file) or timesketch (JSON lines)\n"
    "  --precise           csv: times with seven fractional digits\n"
    "  --hash ALGORITHM    digest each file with md5, sha1 or sha256; repeatable\n"
    "  --summary           write the summary even where standard error is not a terminal\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n"
    "Short options combine: -r0 is -r -0.\n"
    "\n"
    "At the end, where standard error is a terminal or with --summary, one line there:\n"
    "  shortcut_inspect: N links read, M not links, K unreadable, S skipped; W warnings, of them U suspicious\n"
    "S counts the files below the directories walked that have no record: those not\n"
    "named *.lnk nor as an archive (with --any-name: nor with a link's or an archive's\n"
    "first bytes), and every file that is not regular (FIFOs, sockets, devices,\n"
    "symbolic links), which is never opened.\n"
    "\n"
    "Exit status: 0 when every input was read as a link, 1 when any was not (its record\n"
    "says why), 2 on a usage error or when standard output cannot be written.\n";

namespace {

std::string UsageError(const std::string& message) { return "shortcut_inspect: " + message + " (see --help)"; }

// A word of the command line and what it stands for.
template <typename Value>
struct Choice {
    const char* name;
    Value value;
};

// The value of the entry of a table that has this name, or null.
template <typename Value, std::size_t kSize>
const Value* Named(const Choice<Value> (&table)[kSize], const std::string& name) {
    const auto named = [&name](const Choice<Value>& entry) { return name == entry.name; };
    const Choice<Value>* found = std::find_if(std::begin(table), std::end(table), named);
    return found != std::end(table) ? &found->value : nullptr;
}

// The options without a value, by their long names.
bool TakeLongFlag(const std::string& argument, Options& options) {
    static const Choice<bool Options::*> kFlags[] = {
        {"--recursive", &Options::recursive}, {"--any-name", &Options::anyName}, {"--summary", &Options::summary},
        {"--precise", &Options::precise},     {"--help", &Options::help},        {"--version", &Options::version},
        {"--no-archives", &Options::noArchives},
        {"--scan", &Options::scan},
    };
    const auto* flag = Named(kFlags, argument);
    if (flag != nullptr) {
        options.**flag = true;
    }
    return flag != nullptr;
}

// "-r0h": each letter a flag of its own.
std::optional<std::string> TakeShortFlags(const std::string& argument, Options& options) {
    for (std::size_t i = 1; i < argument.size(); ++i) {
        switch (argument[i]) {
            case 'r': options.recursive = true; break;
            case '0': options.nulSeparated = true; break;
            case 'h': options.help = true; break;
            default: {
                const std::string letter = std::string("'-") + argument[i] + "'";
                return UsageError("unknown option " + letter + (argument.size() > 2 ? " in '" + argument + "'" : ""));
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> SetCodePage(const std::string& value, Options& options) {
    options.codePage = value;
    return std::nullopt;
}

std::optional<std::string> SetFilesFrom(const std::string& value, Options& options) {
    if (options.filesFrom) {
        return UsageError("--files-from is given twice");
    }
    options.filesFrom = value;
    return std::nullopt;
}

std::optional<std::string> SetFormat(const std::string& value, Options& options) {
    static const Choice<Format> kFormats[] = {
        {"jsonl", Format::kJsonl},
        {"csv", Format::kCsv},
        {"bodyfile", Format::kBodyfile},
        {"timesketch", Format::kTimesketch},
    };
    if (const auto* format = Named(kFormats, value)) {
        options.format = *format;
        return std::nullopt;
    }
    return UsageError("unknown format '" + value + "': jsonl, csv, bodyfile or timesketch");
}

std::optional<std::string> AddHash(const std::string& value, Options& options) {
    static const Choice<shell_link::FileHash> kHashes[] = {
        {"md5", shell_link::kHashMd5}, {"sha1", shell_link::kHashSha1}, {"sha256", shell_link::kHashSha256},
    };
    if (const auto* hash = Named(kHashes, value)) {
        options.hashes |= *hash;
        return std::nullopt;
    }
    return UsageError("unknown hash '" + value + "': md5, sha1 or sha256");
}

using Setter = std::optional<std::string> (*)(const std::string& value, Options& options);

// An option given as "--name VALUE" or "--name=VALUE": its value set (or error), i moved
// past it. False when argv[i] is none of them.
bool TakeValueOption(int argc, char** argv, int& i, Options& options, std::optional<std::string>& error) {
    static const struct {
        const char* name;
        Setter set;
    } kValueOptions[] = {
        {"--codepage", SetCodePage}, {"--files-from", SetFilesFrom}, {"--format", SetFormat}, {"--hash", AddHash},
    };
    const char* argument = argv[i];
    for (const auto& option : kValueOptions) {
        const std::size_t length = std::strlen(option.name);
        if (std::strncmp(argument, option.name, length) != 0 || (argument[length] != '\0' && argument[length] != '=')) {
            continue;
        }
        if (argument[length] == '=') {
            error = option.set(argument + length + 1, options);
        } else if (i + 1 < argc) {
            error = option.set(argv[++i], options);
        } else {
            error = UsageError(std::string(option.name) + " needs a value");
        }
        return true;
    }
    return false;
}

// The checks of the options together, once all are read.
std::optional<std::string> CheckTogether(const Options& options) {
    if (options.help || options.version) {
        return std::nullopt;
    }
    if (options.anyName && !options.recursive) {
        return UsageError("--any-name works with --recursive");
    }
    if (options.hashes != 0 && !shell_link::HashesAvailable()) {
        return std::string("shortcut_inspect: this build has no hashes (built without libcrypto)");
    }
    if (options.paths.empty() && !options.filesFrom) {
        return UsageError("no links given: name files or directories, or use --files-from");
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ParseOptions(int argc, char** argv, Options& options) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnd || argument.empty() || argument[0] != '-' || argument == "-") {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
            continue;
        }
        std::optional<std::string> error;
        if (!TakeLongFlag(argument, options) && !TakeValueOption(argc, argv, i, options, error)) {
            error = argument[1] != '-' ? TakeShortFlags(argument, options)
                                       : UsageError("unknown option '" + argument + "'");
        }
        if (error) {
            return error;
        }
    }
    return CheckTogether(options);
}

}  // namespace inspect
