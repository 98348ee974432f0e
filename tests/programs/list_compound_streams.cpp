// SPDX-License-Identifier: MIT
// Lists the streams of compound files, for .ci/check_compound.py to compare with another
// reader:
//
//   list_compound_streams FILE...
//
// For each file a line "file<TAB>path", then one line a stream: "name<TAB>size<TAB>hex of
// its bytes", or "name<TAB>size<TAB>error<TAB>why" when it cannot be read. A rejected
// file gives the line "rejected<TAB>why". Exits 1 when a file cannot be opened.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "compound/compound_file.h"

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "list_compound_streams: cannot open %s\n", argv[i]);
            status = 1;
            continue;
        }
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::printf("file\t%s\n", argv[i]);
        compound_file::CompoundFile file({bytes.data(), bytes.size()});
        if (!file.ok()) {
            std::printf("rejected\t%s\n", file.error().c_str());
            continue;
        }
        std::vector<unsigned char> out;
        for (const compound_file::Entry& entry : file.streams()) {
            std::printf("%s\t%llu\t", entry.name.c_str(), static_cast<unsigned long long>(entry.size));
            const std::optional<std::string> failure = file.Read(entry, out);
            if (failure) {
                std::printf("error\t%s\n", failure->c_str());
                continue;
            }
            for (const unsigned char byte : out) {
                std::printf("%02x", byte);
            }
            std::printf("\n");
        }
    }
    return status;
}
