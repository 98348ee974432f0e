// SPDX-License-Identifier: MIT
#include "options.h"

#include <cstring>

namespace inspect {

const char kUsage[] =
    "Usage: shortcut_inspect [--codepage NAME] [--files-from FILE] [-0] [--recursive] PATH...\n"
    "Reads Windows shell link (.lnk) files and writes one JSON object per link, a line\n"
    "each, in input order, on standard output.\n"
    "\n"
    "  --codepage NAME     the ANSI code page of the machine that wrote the links, as\n"
    "                      iconv names it (default CP1252; CP932, CP1251, ...) or as\n"
    "                      Windows numbers it (1252, 932, 65001, ...)\n"
    "  --files-from FILE   also read the paths listed in FILE, one a line ('-': standard\n"
    "                      input), after those on the command line; a CR that ends a\n"
    "                      line is dropped\n"
    "  -0                  the paths of --files-from end with NUL (find -print0)\n"
    "  -r, --recursive     read every regular file named *.lnk (in any case) below the\n"
    "                      directories given, without following symbolic links\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n"
    "\n"
    "Exit status: 0 when every input was read as a link, 1 when any was not (its record\n"
    "says why), 2 on a usage error or when standard output cannot be written.\n";

namespace {

// The value of an option given as "--name VALUE" or "--name=VALUE"; i moves past it.
bool TakeValue(const char* name, int argc, char** argv, int& i, std::optional<std::string>& value,
               std::optional<std::string>& error) {
    const char* argument = argv[i];
    const std::size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0 || (argument[length] != '\0' && argument[length] != '=')) {
        return false;
    }
    if (argument[length] == '=') {
        value = argument + length + 1;
    } else if (i + 1 < argc) {
        value = argv[++i];
    } else {
        error = std::string("shortcut_inspect: ") + name + " needs a value (see --help)";
    }
    return true;
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
        std::optional<std::string> value;
        std::optional<std::string> error;
        if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "-0") {
            options.nulSeparated = true;
        } else if (argument == "-r" || argument == "--recursive") {
            options.recursive = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (TakeValue("--codepage", argc, argv, i, value, error)) {
            if (error) {
                return error;
            }
            options.codePage = *value;
        } else if (TakeValue("--files-from", argc, argv, i, value, error)) {
            if (error) {
                return error;
            }
            if (options.filesFrom) {
                return std::string("shortcut_inspect: --files-from is given twice (see --help)");
            }
            options.filesFrom = *value;
        } else {
            return "shortcut_inspect: unknown option '" + argument + "' (see --help)";
        }
    }
    if (!options.help && !options.version && options.paths.empty() && !options.filesFrom) {
        return std::string("shortcut_inspect: no links given: name files or directories, or use --files-from (see --help)");
    }
    return std::nullopt;
}

}  // namespace inspect
