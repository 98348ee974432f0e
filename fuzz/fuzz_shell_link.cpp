// SPDX-License-Identifier: MIT
// libFuzzer target: the complete reader and its JSON record over arbitrary link bytes.
//
// Every input gives one line that a JSON parser of its own (nlohmann::json, strict about
// UTF-8) accepts as one object, whose offsets stay inside the input, with at most
// kMaxWarnings warnings. Inputs are read in two code pages, a single-byte and a multibyte
// one, and every other record is written through a flush, as the command writes them.
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const shell_link::CodePage kWestern("CP1252");
    static const shell_link::CodePage kJapanese("CP932");
    const shell_link::Link link = shell_link::ReadLink(data, size, size % 2 == 0 ? kWestern : kJapanese);
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
    if (!record.is_object() || !StaysInsideTheInput(record, size) || record["warnings"].size() > shell_link::kMaxWarnings) {
        std::abort();
    }
    return 0;
}
