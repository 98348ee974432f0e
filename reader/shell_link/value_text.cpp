// SPDX-License-Identifier: MIT
// The text forms of the record's values, shared by the JSON record and the library's users.
#include <shortcut_reader/shell_link.h>

#include "format/values.h"

namespace shell_link {

namespace sr = link_format;

const char* WarningCodeName(WarningCode code) {
    switch (code) {
        case WarningCode::kTruncated: return "truncated";
        case WarningCode::kBadOffset: return "bad_offset";
        case WarningCode::kUnpairedSurrogate: return "unpaired_surrogate";
        case WarningCode::kUndecodableText: return "undecodable_text";
        case WarningCode::kInvalidTime: return "invalid_time";
        case WarningCode::kHiddenArguments: return "hidden_arguments";
        case WarningCode::kDeceptiveCharacters: return "deceptive_characters";
        case WarningCode::kLongString: return "long_string";
        case WarningCode::kEnvironmentTargetMismatch: return "environment_target_mismatch";
        case WarningCode::kTargetMismatch: return "target_mismatch";
        case WarningCode::kRemoteIcon: return "remote_icon";
        case WarningCode::kTrailingData: return "trailing_data";
        case WarningCode::kUnknownBlock: return "unknown_block";
        case WarningCode::kDuplicateBlock: return "duplicate_block";
        case WarningCode::kFlagMismatch: return "flag_mismatch";
        case WarningCode::kMinimizedWindow: return "minimized_window";
        case WarningCode::kLimitReached: return "limit_reached";
        case WarningCode::kNonCanonicalTarget: return "non_canonical_target";
        case WarningCode::kControlPanelFile: return "control_panel_file";
        case WarningCode::kUnmatchedEntry: return "unmatched_entry";
        case WarningCode::kTooManyWarnings: return "too_many_warnings";
    }
    return "";
}

WarningCategory CategoryOf(WarningCode code) {
    switch (code) {
        case WarningCode::kTruncated:
        case WarningCode::kBadOffset:
        case WarningCode::kUnpairedSurrogate:
        case WarningCode::kUndecodableText:
        case WarningCode::kInvalidTime:
        case WarningCode::kUnmatchedEntry:
        case WarningCode::kTooManyWarnings:
            return WarningCategory::kDamage;
        default:
            return WarningCategory::kSuspicious;
    }
}

const char* WarningCategoryName(WarningCategory category) {
    return category == WarningCategory::kDamage ? "damage" : "suspicious";
}

const char* StatusName(Status status) {
    switch (status) {
        case Status::kRead: return "read";
        case Status::kFileError: return "file_error";
        case Status::kNotAShortcut: return "not_a_shortcut";
    }
    return "";
}

const char* ContainerKindName(ContainerKind kind) {
    switch (kind) {
        case ContainerKind::kAutomaticDestinations: return "automatic_destinations";
        case ContainerKind::kCustomDestinations: return "custom_destinations";
        case ContainerKind::kScan: return "scan";
        case ContainerKind::kArchive: return "archive";
    }
    return "";
}

const char* TargetSourceName(TargetSource source) {
    switch (source) {
        case TargetSource::kNone: return nullptr;
        case TargetSource::kEnvironmentVariableDataBlock: return "environment_variable_data_block";
        case TargetSource::kLinkTargetIdList: return "link_target_id_list";
        case TargetSource::kLinkInfo: return "link_info";
        case TargetSource::kRelativePath: return "relative_path";
    }
    return nullptr;
}

std::string GuidText(const Guid& guid) {
    char text[sr::kGuidTextLength];
    sr::GuidText(guid, text);
    return std::string(text, sizeof text);
}

std::optional<std::string> FileTimeText(FileTime time) {
    char text[sr::kFileTimeTextLength];
    return sr::FileTimeText(time.value, text) ? std::optional<std::string>(std::string(text, sizeof text)) : std::nullopt;
}

std::optional<std::string> DosDateTimeText(DosDateTime time) {
    char text[sr::kDosDateTimeTextLength];
    return sr::DosDateTimeText(time.value, text) ? std::optional<std::string>(std::string(text, sizeof text))
                                                 : std::nullopt;
}

}  // namespace shell_link
