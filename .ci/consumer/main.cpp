// SPDX-License-Identifier: MIT
// Prints the target path and the description of each link named on the command line,
// and goes on past any file that is missing or is not a link.
#include <shortcut_reader/shortcut_file.h>

#include <cstdio>

int main(int argc, char** argv) {
    int unread = 0;
    for (int i = 1; i < argc; ++i) {
        ShortcutStatus status = ShortcutStatus::kRead;
        const ShortcutFile link(argv[i], status);  // never prints, never exits
        if (status != ShortcutStatus::kRead) {
            std::printf("%s: %s\n", argv[i], ShortcutStatusText(status));
            ++unread;
            continue;
        }
        char path[260];
        char desc[80];
        link.GetPath(path, sizeof path);  // at most sizeof path bytes, always terminated
        const int length = link.GetDesc(desc, sizeof desc);
        const char* cut = length >= static_cast<int>(sizeof desc) ? "..." : "";  // as snprintf
        std::printf("%s -> %s (%s%s)\n", argv[i], path, desc, cut);
    }
    return unread == 0 ? 0 : 1;
}
