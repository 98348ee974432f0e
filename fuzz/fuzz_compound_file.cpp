// SPDX-License-Identifier: MIT
// libFuzzer target: a compound file opened, listed and every stream read, twice. The
// bytes are copied into storage of exactly their size, so AddressSanitizer sees any read
// past the file. A stream read must be all or nothing, and never larger than the file.
// Then the same bytes as a Jump List of either kind, every record written as JSON.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <shortcut_reader/shell_link_containers.h>
#include <shortcut_reader/shell_link_json.h>

#include "compound/compound_file.h"

namespace cf = compound_file;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<unsigned char[]> file(new unsigned char[size]);
    if (size > 0) {
        std::memcpy(file.get(), data, size);
    }
    cf::CompoundFile compound({file.get(), size});
    if (!compound.ok() && (compound.error().empty() || !compound.streams().empty())) {
        std::abort();
    }
    if (compound.reports().size() > cf::CompoundFile::kMaxReports) {
        std::abort();
    }
    std::vector<unsigned char> out;
    std::uint64_t total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (const cf::Entry& entry : compound.streams()) {
            const std::optional<std::string> failure = compound.Read(entry, out);
            if (failure ? !out.empty() || failure->empty() : out.size() != entry.size) {
                std::abort();
            }
            if (pass == 0) {
                total += out.size();
            }
        }
    }
    if (total > size) {
        std::abort();  // each sector goes to one stream only
    }
    static shell_link::CodePage codePage;
    shell_link::Container where;
    where.path = "fuzz.automaticDestinations-ms";
    std::string line;
    shell_link::ReadJumpList(file.get(), size, where, codePage, [&line](shell_link::Link& link) {
        if (!link.container && link.status != shell_link::Status::kNotAShortcut) {
            std::abort();
        }
        line.clear();
        shell_link::AppendJsonLine(link, line);
        return true;
    });
    return 0;
}
