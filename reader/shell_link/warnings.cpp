// SPDX-License-Identifier: MIT
#include <cstdint>

#include "shell_link/reading.h"

namespace shell_link::detail {

void WarningBudget::Add(WarningCode code, std::optional<std::uint64_t> offset, std::string message) {
    const std::uint32_t seen = count_[Index(code)];
    if (seen == UINT32_MAX) {
        return;  // counted as far as a count goes
    }
    ++count_[Index(code)];
    if (seen < kMaxWarningsOfACode) {
        kept_.push_back({code, offset, std::move(message)});
    } else if (seen == kMaxWarningsOfACode) {
        // Where the first dropped one would stand; Finish() writes its message.
        droppedAt_[Index(code)] = static_cast<std::uint32_t>(kept_.size());
        dropped_ = true;
        kept_.push_back({WarningCode::kTooManyWarnings, offset, {}});
    }
}

std::vector<Warning> WarningBudget::Finish() {
    for (std::size_t code = 0; dropped_ && code < kWarningCodeCount; ++code) {
        if (count_[code] > kMaxWarningsOfACode) {
            kept_[droppedAt_[code]].message = std::to_string(count_[code] - kMaxWarningsOfACode) + " more " +
                                              WarningCodeName(static_cast<WarningCode>(code)) +
                                              " warnings were dropped: a record keeps " +
                                              std::to_string(kMaxWarningsOfACode) + " of one code";
        }
    }
    count_ = {};
    dropped_ = false;
    return std::move(kept_);
}

}  // namespace shell_link::detail
