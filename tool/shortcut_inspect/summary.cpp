// SPDX-License-Identifier: MIT
#include "summary.h"

#include <algorithm>

namespace inspect {

void Summary::Count(const shell_link::Link& link) {
    switch (link.status) {
        case shell_link::Status::kRead: ++read_; break;
        case shell_link::Status::kNotAShortcut: ++notLinks_; break;
        case shell_link::Status::kFileError: ++unreadable_; break;
    }
    warnings_ += link.warnings.size();
    const auto suspicious = [](const shell_link::Warning& warning) {
        return shell_link::CategoryOf(warning.code) == shell_link::WarningCategory::kSuspicious;
    };
    suspicious_ += static_cast<std::uint64_t>(std::count_if(link.warnings.begin(), link.warnings.end(), suspicious));
}

std::string Summary::Line() const {
    return "shortcut_inspect: " + std::to_string(read_) + " links read, " + std::to_string(notLinks_) + " not links, " +
           std::to_string(unreadable_) + " unreadable, " + std::to_string(skipped_) + " skipped; " +
           std::to_string(warnings_) + " warnings, of them " + std::to_string(suspicious_) + " suspicious\n";
}

}  // namespace inspect
