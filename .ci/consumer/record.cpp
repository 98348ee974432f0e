// SPDX-License-Identifier: MIT
// Prints where each link named on the command line points (by its ID list, else by its
// LinkInfo), its arguments, whether it runs minimised and the machine that made it, with
// the complete reader; goes on past any file that is missing or is not a link.
#include <shortcut_reader/shell_link.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    shell_link::CodePage codePage("CP1252");  // that of the machine that wrote the links; one per thread
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
        std::string arguments;
        if ((link.header.link_flags & shell_link::kHasArguments) != 0 && link.string_data.command_line_arguments) {
            arguments = " " + link.string_data.command_line_arguments->text;
        }
        const bool hidden = link.header.show_command == shell_link::kSwShowMinNoActive;
        const auto* tracker = shell_link::FindBlock<shell_link::TrackerBlock>(link);
        std::printf("%s -> %s%s%s, made on %s (%zu warnings)\n", argv[i], target.c_str(), arguments.c_str(),
                    hidden ? " [minimised]" : "", tracker && tracker->machine_id ? tracker->machine_id->c_str() : "?",
                    link.warnings.size());
    }
    return unread == 0 ? 0 : 1;
}
