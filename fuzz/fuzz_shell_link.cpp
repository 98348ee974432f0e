// SPDX-License-Identifier: MIT
// libFuzzer target: the complete reader and its JSON record over arbitrary link bytes.
//
// Every input gives one line that a JSON parser of its own (nlohmann::json, strict about
// UTF-8) accepts as one object, whose offsets stay inside the input, with at most
// kMaxWarningsOfACode warnings of one code (and one too_many_warnings each). The input's
// first byte picks the code page (single-byte, multibyte, and those that iconv passes
// code points past U+10FFFF through) and the link is the rest (fuzz/run.sh gives the seeds
// that byte); every other record is written through a flush, as the command writes them.
// The timeline forms of every record are written too: a CSV row of 27 fields, body file
// lines of 11, and Timesketch lines that parse as objects.
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>
#include <shortcut_reader/shell_link_timeline.h>

#include <algorithm>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "records.h"

namespace {

shell_link::CodePage& CodePageFor(std::uint8_t pick) {
    static shell_link::CodePage pages[] = {shell_link::CodePage("CP1252"), shell_link::CodePage("CP932"),
                                           shell_link::CodePage("CP936"),  shell_link::CodePage("UTF-8"),
                                           shell_link::CodePage("UCS-4LE"), shell_link::CodePage("UTF-16LE")};
    return pages[pick % (sizeof pages / sizeof pages[0])];
}

bool WithinTheBudget(const nlohmann::json& warnings) {
    std::map<std::string, std::size_t> counts;
    for (const nlohmann::json& warning : warnings) {
        ++counts[warning.value("code", "")];
    }
    for (const auto& [code, count] : counts) {
        if (code != "too_many_warnings" && count > shell_link::kMaxWarningsOfACode) {
            return false;
        }
    }
    return warnings.size() <= shell_link::kWarningCodeCount * (shell_link::kMaxWarningsOfACode + 1);
}

// Fields outside quotes of a CSV row: its commas, plus one.
std::size_t CsvFields(const std::string& row) {
    std::size_t fields = 1;
    bool quoted = false;
    for (const char c : row) {
        quoted = c == '"' ? !quoted : quoted;
        fields += !quoted && c == ',' ? 1 : 0;
    }
    return fields;
}

bool TimelineFormsHold(const shell_link::Link& link) {
    std::string row;
    shell_link::AppendCsvRow(link, row, link.header.file_size % 2 == 0);
    if (CsvFields(row) != 27 || row.size() < 2 || row.compare(row.size() - 2, 2, "\r\n") != 0) {
        return false;
    }
    std::string body;
    shell_link::AppendBodyLines(link, body);
    for (std::size_t start = 0; start < body.size();) {
        const std::size_t end = body.find('\n', start);
        if (end == std::string::npos || std::count(body.begin() + static_cast<std::ptrdiff_t>(start),
                                                   body.begin() + static_cast<std::ptrdiff_t>(end), '|') != 10) {
            return false;
        }
        start = end + 1;
    }
    std::string events;
    shell_link::AppendTimesketchLines(link, events);
    for (std::size_t start = 0; start < events.size();) {
        const std::size_t end = events.find('\n', start);
        if (end == std::string::npos || !ParseRecordLine(events.substr(start, end + 1 - start)).is_object()) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    shell_link::CodePage& codePage = CodePageFor(data[0]);
    ++data;
    --size;
    const shell_link::Link link = shell_link::ReadLink(data, size, codePage);
    std::string written;
    std::string line;
    if (size % 4 < 2) {
        shell_link::AppendJsonLine(link, line);
    } else {
        shell_link::AppendJsonLine(link, line, [&written](std::string& out) {
            written += out;
            out.clear();
        });
    }
    const nlohmann::json record = ParseRecordLine(written + line);
    if (!record.is_object() || !StaysInsideTheInput(record, size) || !WithinTheBudget(record["warnings"])) {
        std::abort();
    }
    if (!TimelineFormsHold(link)) {
        std::abort();
    }
    return 0;
}
