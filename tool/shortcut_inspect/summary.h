// SPDX-License-Identifier: MIT
// The figures of a run, for the line that ends it on standard error: records by status,
// the files a walk passed over, and the warnings of all records.
#ifndef SHORTCUT_INSPECT_SUMMARY_H
#define SHORTCUT_INSPECT_SUMMARY_H

#include <shortcut_reader/shell_link.h>

#include <cstdint>
#include <string>

namespace inspect {

class Summary {
public:
    void Count(const shell_link::Link& link);
    void Skip(std::uint64_t count) { skipped_ += count; }
    // Whether every record so far is of a link that was read.
    bool AllRead() const { return notLinks_ == 0 && unreadable_ == 0; }
    // "shortcut_inspect: N links read, M not links, K unreadable, S skipped; W warnings,
    // of them U suspicious" and a newline.
    std::string Line() const;

private:
    std::uint64_t read_ = 0;
    std::uint64_t notLinks_ = 0;
    std::uint64_t unreadable_ = 0;
    std::uint64_t skipped_ = 0;
    std::uint64_t warnings_ = 0;
    std::uint64_t suspicious_ = 0;
};

}  // namespace inspect

#endif
