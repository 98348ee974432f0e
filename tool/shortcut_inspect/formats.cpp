// SPDX-License-Identifier: MIT
#include "formats.h"

#include <shortcut_reader/shell_link_timeline.h>

namespace inspect {

void AppendPreamble(Format format, std::string& out) {
    if (format == Format::kCsv) {
        shell_link::AppendCsvHeader(out);
    }
}

void AppendRecord(const shell_link::Link& link, const Options& options, std::string& out,
                  const shell_link::JsonFlush& flush) {
    switch (options.format) {
        case Format::kJsonl:
            shell_link::AppendJsonLine(link, out, flush);
            return;  // it flushes as it goes, a record of any size included
        case Format::kCsv: shell_link::AppendCsvRow(link, out, options.precise); break;
        case Format::kBodyfile: shell_link::AppendBodyLines(link, out); break;
        case Format::kTimesketch: shell_link::AppendTimesketchLines(link, out); break;
    }
    if (out.size() >= shell_link::kJsonFlushBytes) {
        flush(out);
    }
}

}  // namespace inspect
