// SPDX-License-Identifier: MIT
// What a link runs, from the first of its sources that has a path (shell_link.h says the
// order). Windows does not publish which source wins where they disagree; the analysis
// says when they do. A LinkInfo that ForceNoLinkInfo tells Windows to ignore is no source.
#include <shortcut_reader/shell_link.h>

namespace shell_link {

namespace {

// The EnvironmentVariableDataBlock's target, where HasExpString announces the block: its
// Unicode form unless that is empty, else its ANSI form.
std::optional<std::string> EnvironmentTarget(const Link& link) {
    const EnvironmentBlock* environment = FindBlock<EnvironmentBlock>(link);
    if (environment == nullptr || (link.header.link_flags & kHasExpString) == 0) {
        return std::nullopt;
    }
    if (environment->target_unicode && !environment->target_unicode->empty()) {
        return environment->target_unicode;
    }
    if (environment->target_ansi && !environment->target_ansi->empty()) {
        return environment->target_ansi;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> LinkInfoTarget(const LinkInfo& info) {
    const std::string suffix = info.common_path_suffix.value_or("");
    if (info.local_base_path && !info.local_base_path->empty()) {
        std::string target = *info.local_base_path;
        if (!suffix.empty() && target.back() != '\\' && suffix.front() != '\\') {
            target.push_back('\\');
        }
        return target + suffix;
    }
    const auto& network = info.common_network_relative_link;
    if (network && network->net_name && !network->net_name->empty()) {
        return suffix.empty() ? *network->net_name : *network->net_name + "\\" + suffix;
    }
    return std::nullopt;
}

Target TargetOf(const Link& link) {
    Target target;
    if (link.status != Status::kRead) {
        return target;
    }
    if (link.string_data.command_line_arguments) {
        target.arguments = link.string_data.command_line_arguments->text;
    }
    const IdList* list = link.link_target_id_list ? &*link.link_target_id_list : nullptr;
    const bool listPath = list != nullptr && list->path && !list->path->empty();
    const auto take = [&target](std::optional<std::string> path, TargetSource source) {
        if (path) {
            target.path = std::move(path);
            target.source = source;
        }
        return target.path.has_value();
    };
    if (take(EnvironmentTarget(link), TargetSource::kEnvironmentVariableDataBlock) ||
        (listPath && list->path_is_file_system && take(list->path, TargetSource::kLinkTargetIdList)) ||
        (link.link_info && (link.header.link_flags & kForceNoLinkInfo) == 0 &&
         take(LinkInfoTarget(*link.link_info), TargetSource::kLinkInfo)) ||
        (listPath && take(list->path, TargetSource::kLinkTargetIdList))) {
        return target;
    }
    if (const auto& relative = link.string_data.relative_path; relative && !relative->text.empty()) {
        take(relative->text, TargetSource::kRelativePath);
    }
    return target;
}

}  // namespace shell_link
