// SPDX-License-Identifier: MIT
// The one walker over the format's lists of size-prefixed records: ID list items,
// ExtraData blocks, property storages and property values. Each record starts with its
// own size, which counts the size field; the walker takes every record whole, in order, by
// one set of rules:
//   - a size below the list's terminator mark ends the list there;
//   - a list whose container ends before its terminator ends there, silently where the
//     format lets a list end with its container, else with kTruncated, as does a size
//     field the container cuts short;
//   - a record smaller than its own header ends the list, with kTruncated;
//   - a record that runs past its container is read as far as it goes (when that holds its
//     header), with kTruncated, and ends the list;
//   - records past the budget are only counted, for one kLimitReached at the end.
#ifndef SHORTCUT_READER_SHELL_LINK_RECORD_WALKER_H
#define SHORTCUT_READER_SHELL_LINK_RECORD_WALKER_H

#include <cstdint>
#include <optional>
#include <string>

#include "shell_link/reading.h"

namespace shell_link::detail {

struct RecordList {
    const char* record;       // one record, for messages: "an item"
    const char* records;      // more than one, for the limit's message: "items"
    const char* container;    // what holds the list, for messages: "the ID list"
    unsigned sizeBytes;       // the width of the size field: 2 or 4
    std::uint32_t endBelow;   // a size below this is the terminator
    std::uint32_t minimum;    // the least size of a record: its own header
    bool needsTerminator;     // a list that ends with its container is cut short
};

// Where a walk ended, in the list: after the terminator, or where the list stopped.
struct ListEnd {
    std::uint64_t at = 0;
    bool terminated = false;
};

std::optional<std::uint32_t> RecordSize(ByteSpan list, std::uint64_t at, unsigned sizeBytes);
// The warnings of the walk, made only when one is raised.
void WarnMissingSize(Reading& reading, ByteSpan list, std::uint64_t at, const RecordList& rules);
void WarnTooSmall(Reading& reading, ByteSpan record, std::uint32_t size, const RecordList& rules);
void WarnRunsPast(Reading& reading, ByteSpan record, std::uint32_t size, const RecordList& rules);
// One kLimitReached for the records of a list that a budget of cap did not keep, if any.
void WarnUnlisted(Reading& reading, ByteSpan list, const RecordList& rules, std::uint64_t unlisted, std::size_t cap);

// Calls visit(record, size) for each record the budget keeps, where record is the span of
// its bytes (cut at the container's end) and size its size field; visit returns whether it
// took the record (one it steps over costs the budget nothing).
template <typename Visit>
ListEnd WalkRecords(Reading& reading, ByteSpan list, const RecordList& rules, RecordBudget& budget, Visit visit) {
    std::uint64_t at = 0;
    for (;;) {
        const std::optional<std::uint32_t> size = RecordSize(list, at, rules.sizeBytes);
        if (!size) {
            WarnMissingSize(reading, list, at, rules);
            return {at, false};
        }
        if (*size < rules.endBelow) {
            return {at + rules.sizeBytes, true};
        }
        const ByteSpan record = list.Sub(at, *size);
        if (*size < rules.minimum) {
            WarnTooSmall(reading, record, *size, rules);
            return {at, false};
        }
        const bool cut = record.size < *size;
        if (cut) {
            WarnRunsPast(reading, record, *size, rules);
        }
        if (record.size >= rules.minimum) {
            if (budget.left == 0) {
                ++budget.unlisted;
            } else {
                // Taken before the visit, so that records inside this one, which may share
                // the budget, find it spent.
                --budget.left;
                if (!visit(record, *size)) {
                    ++budget.left;
                }
            }
        }
        if (cut) {
            return {at + record.size, false};
        }
        at += *size;
    }
}

}  // namespace shell_link::detail

#endif
