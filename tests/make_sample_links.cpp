// Writes the sample links into a folder:
//   make_sample_links examples DIR   the links of examples/
//   make_sample_links seeds DIR      every sample, as fuzzing seeds
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "sample_links.h"

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "examples") != 0 && std::strcmp(argv[1], "seeds") != 0)) {
        std::fputs("usage: make_sample_links examples|seeds DIR\n", stderr);
        return 2;
    }
    const bool examplesOnly = std::strcmp(argv[1], "examples") == 0;
    for (const SampleLink& link : examplesOnly ? ExampleLinks() : SeedLinks()) {
        const std::string path = std::string(argv[2]) + "/" + link.name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(link.bytes.Begin()), static_cast<std::streamsize>(link.bytes.Size()));
        if (!out) {
            std::fprintf(stderr, "make_sample_links: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
