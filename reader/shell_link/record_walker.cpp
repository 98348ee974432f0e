// SPDX-License-Identifier: MIT
#include "shell_link/record_walker.h"

namespace shell_link::detail {

std::optional<std::uint32_t> RecordSize(ByteSpan list, std::uint64_t at, unsigned sizeBytes) {
    if (sizeBytes == 2) {
        const std::optional<std::uint16_t> size = Field<std::uint16_t>(list, at);
        return size ? std::optional<std::uint32_t>(*size) : std::nullopt;
    }
    return Field<std::uint32_t>(list, at);
}

void WarnMissingSize(Reading& reading, ByteSpan list, std::uint64_t at, const RecordList& rules) {
    const ByteSpan rest = list.Sub(at, rules.sizeBytes);
    if (rest.size > 0) {
        reading.Warn(WarningCode::kTruncated, rest,
                     std::string(rules.container) + " ends inside the size of " + rules.record);
    } else if (rules.needsTerminator) {
        reading.Warn(WarningCode::kTruncated, rest, std::string(rules.container) + " ends without its terminator");
    }
}

void WarnTooSmall(Reading& reading, ByteSpan record, std::uint32_t size, const RecordList& rules) {
    reading.Warn(WarningCode::kTruncated, record,
                 std::string(rules.record) + " of " + ByteCount(size) + " cannot hold its " +
                     std::to_string(rules.minimum) + "-byte header; " + rules.container + " ends there");
}

void WarnRunsPast(Reading& reading, ByteSpan record, std::uint32_t size, const RecordList& rules) {
    reading.Warn(WarningCode::kTruncated, record,
                 std::string(rules.record) + " of " + ByteCount(size) + " runs past the end of " + rules.container +
                     ", " + ByteCount(record.size) + " are there");
}

void WarnUnlisted(Reading& reading, ByteSpan list, const RecordList& rules, std::uint64_t unlisted, std::size_t cap) {
    if (unlisted > 0) {
        reading.Warn(WarningCode::kLimitReached, list,
                     std::to_string(unlisted) + " more " + rules.records + " are not listed: a record lists " +
                         std::to_string(cap) + " in all");
    }
}

}  // namespace shell_link::detail
