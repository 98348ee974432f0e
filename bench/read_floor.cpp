// SPDX-License-Identifier: MIT
// The floor for shortcut_inspect's wall time: opens, reads and closes each file of a
// NUL-separated list, and does nothing else.
//
//   read_floor LIST
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: read_floor LIST\n", stderr);
        return 2;
    }
    std::ifstream list(argv[1], std::ios::binary);
    std::string path;
    static char buffer[1 << 16];
    unsigned long long bytes = 0;
    while (std::getline(list, path, '\0')) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ssize_t got = 0;
        while ((got = read(fd, buffer, sizeof buffer)) > 0) {
            bytes += static_cast<unsigned long long>(got);
        }
        close(fd);
    }
    return bytes == 0 ? 1 : 0;
}
