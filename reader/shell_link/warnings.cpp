// SPDX-License-Identifier: MIT
#include "shell_link/reading.h"

namespace shell_link::detail {

void Warnings::Add(WarningCode code, std::optional<std::uint64_t> offset, std::string message) {
    if (kept_.size() + 1 < kMaxWarnings) {
        kept_.push_back({code, offset, std::move(message)});
    } else if (!last_) {
        last_ = Warning{code, offset, std::move(message)};
    } else {
        ++dropped_;
    }
}

std::vector<Warning> Warnings::Finish() {
    if (dropped_ > 0) {
        const std::size_t more = dropped_ + 1;  // the one that would have been last, too
        kept_.push_back({WarningCode::kTooManyWarnings, std::nullopt,
                         std::to_string(more) + " more warnings were dropped: a record keeps " +
                             std::to_string(kMaxWarnings)});
    } else if (last_) {
        kept_.push_back(std::move(*last_));
    }
    last_.reset();
    dropped_ = 0;
    return std::move(kept_);
}

}  // namespace shell_link::detail
