// SPDX-License-Identifier: MIT
// Prints where each link named on the command line points (by its ID list, else by its
// LinkInfo) and its arguments, with the complete reader; goes on past any file that is
// missing or is not a link.
#include <shortcut_reader/shell_link.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const shell_link::CodePage codePage("CP1252");  // that of the machine that wrote the links
    int unread = 0;
    for (int i = 1; i < argc; ++i) {
        const shell_link::Link link = shell_link::ReadLinkFile(argv[i], codePage);  // never prints, never throws
        if (link.status != shell_link::Status::kRead) {
            std::printf("%s: %s\n", argv[i], link.error ? link.error->c_str() : shell_link::StatusName(link.status));
            ++unread;
            continue;
        }
        std::string target = "?";
        if (link.link_target_id_list && link.link_target_id_list->path) {
            target = *link.link_target_id_list->path;
        } else if (link.link_info && link.link_info->local_base_path) {
            target = *link.link_info->local_base_path;
        }
        const auto& arguments = link.string_data->command_line_arguments;
        std::printf("%s -> %s%s%s (%zu warnings)\n", argv[i], target.c_str(), arguments ? " " : "",
                    arguments ? arguments->text.c_str() : "", link.warnings.size());
    }
    return unread == 0 ? 0 : 1;
}
