// SPDX-License-Identifier: MIT
// shortcut_inspect: every field of Windows shell links (loose, in Jump Lists, or carved
// from any bytes), as JSON Lines (or CSV, a body
// file or Timesketch's JSON lines).
//
//   shortcut_inspect [--codepage NAME] [--files-from FILE] [-0] [-r [--any-name]] [--scan] [--no-archives]
//                    [--format FORMAT] [--precise] [--hash ALGORITHM]... [--summary] PATH...
//
// One record per input, in input order, on standard output; a summary of the run on
// standard error where that is a terminal or with --summary. Status 0 when every input
// was read, 1 when any was not, 2 on a usage error or when standard output cannot be
// written.
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_containers.h>
#include <shortcut_reader/shell_link_json.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "archive_input.h"
#include "code_page_numbers.h"
#include "formats.h"
#include "inputs.h"
#include "options.h"
#include "output.h"
#include "progress.h"
#include "read_input.h"
#include "summary.h"

namespace {

constexpr int kUsageError = 2;

int Fail(const std::string& message) {
    static_cast<void>(std::fprintf(stderr, "%s\n", message.c_str()));
    return kUsageError;
}

std::string NoCodePage(const std::string& given, const std::string& name) {
    const std::string number = given == name ? std::string() : " for code page " + given;
    return "shortcut_inspect: iconv has no code page named '" + name + "'" + number + " (see iconv --list)";
}

// Without --recursive a directory is read as a file, which fails: its record says so, and
// a hint says what was likely meant. Asked only of inputs that failed, so a run of links
// costs no extra stat.
bool WantsRecursive(const shell_link::Link& link, const std::string& path, const inspect::Options& options) {
    struct stat status {};
    return link.status == shell_link::Status::kFileError && !options.recursive && stat(path.c_str(), &status) == 0 &&
           S_ISDIR(status.st_mode);
}

// Every input's record on standard output; the progress, hints and the summary on
// standard error.
int Inspect(const inspect::Options& options, shell_link::CodePage& codePage) {
    inspect::Output output;
    inspect::Progress progress(options.filesFrom.has_value() || options.recursive);
    inspect::Summary summary;
    std::string buffer;
    const shell_link::JsonFlush flush = [&output](std::string& out) { output.Write(out); };
    inspect::AppendPreamble(options.format, buffer);
    const auto record = [&](const shell_link::Link& link) {
        summary.Count(link);
        inspect::AppendRecord(link, options, buffer, flush);
        progress.FileDone();
        return output.error() == 0;
    };
    inspect::InputVisitor visit;
    const shell_link::LinkSink sink = [&record](shell_link::Link& link) { return record(link); };
    visit.archive = [&](const std::string& path) { return inspect::ReadArchive(path, codePage, sink); };
    visit.link = [&](const std::string& path) {
        return inspect::ReadInput(path, options, codePage, [&](shell_link::Link& link) {
            if (link.file == path && WantsRecursive(link, path, options)) {
                progress.Note("shortcut_inspect: " + path + ": is a directory: use --recursive\n");
            }
            return record(link);
        });
    };
    visit.candidate = [&](const std::string& path) {
        return inspect::ReadInput(path, options, codePage, sink, [&summary] { summary.Skip(1); });
    };
    visit.unreadable = [&](const std::string& path, int error) {
        return record(shell_link::UnreadableFile(path.c_str(), error));
    };
    visit.skipped = [&summary](std::uint64_t count) { summary.Skip(count); };
    const std::optional<std::string> listError = inspect::VisitInputs(options, visit);
    output.Write(buffer);
    progress.Finish();
    if (options.summary || isatty(STDERR_FILENO) == 1) {
        static_cast<void>(std::fputs(summary.Line().c_str(), stderr));
    }
    if (output.error() != 0) {
        return Fail(std::string("shortcut_inspect: cannot write standard output: ") + std::strerror(output.error()));
    }
    if (listError) {
        return Fail(*listError);
    }
    return summary.AllRead() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    inspect::Options options;
    if (const std::optional<std::string> error = inspect::ParseOptions(argc, argv, options)) {
        return Fail(*error);
    }
    if (options.help || options.version) {
        static_cast<void>(std::fputs(options.help ? inspect::kUsage : "shortcut_inspect " SHORTCUT_VERSION "\n", stdout));
        return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? 0 : Fail("shortcut_inspect: cannot write standard output");
    }
    const std::string codePageName = inspect::IconvCodePageName(options.codePage);
    shell_link::CodePage codePage(codePageName.c_str());
    if (!codePage.valid()) {
        return Fail(NoCodePage(options.codePage, codePageName));
    }
    return Inspect(options, codePage);
}
