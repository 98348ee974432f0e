// SPDX-License-Identifier: MIT
// Writes the sample links into a folder:
//   make_sample_links examples DIR   the links of examples/
//   make_sample_links seeds DIR      every sample, as fuzzing seeds
//   make_sample_links lists DIR      the ID list bytes of every sample that has one
//   make_sample_links bench DIR      the links the benchmarks and bench/startup.sh read
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "bytes/byte_span.h"
#include "format/layout.h"
#include "sample_links.h"

namespace {

using link_format::ByteSpan;
using link_format::ReadLittleEndian;

// IDListSize follows the header.
constexpr std::size_t kListSizeOffset = link_format::kHeaderBytes;

bool Write(const std::string& path, const unsigned char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::fprintf(stderr, "make_sample_links: cannot write %s\n", path.c_str());
    }
    return static_cast<bool>(out);
}

// The list bytes that follow IDListSize, as far as the file holds them.
bool WriteList(const std::string& path, const Bytes& link) {
    const ByteSpan bytes{link.Begin(), link.Size()};
    std::uint32_t flags = 0;
    std::uint32_t claimed = 0;
    if (!ReadLittleEndian(bytes, link_format::kLinkFlagsOffset, 4, flags) || (flags & flag::kIdList) == 0 ||
        !ReadLittleEndian(bytes, kListSizeOffset, 2, claimed)) {
        return true;
    }
    const std::size_t held = bytes.size - kListSizeOffset - 2;
    return Write(path, bytes.data + kListSizeOffset + 2, claimed < held ? claimed : held);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "examples" && mode != "seeds" && mode != "lists" && mode != "bench") {
        std::fputs("usage: make_sample_links examples|seeds|lists|bench DIR\n", stderr);
        return 2;
    }
    const std::vector<SampleLink> links = mode == "examples" ? ExampleLinks() : mode == "bench" ? BenchLinks() : SeedLinks();
    bool written = true;
    for (const SampleLink& link : links) {
        const std::string path = std::string(argv[2]) + "/" + link.name;
        written = (mode == "lists" ? WriteList(path, link.bytes) : Write(path, link.bytes.Begin(), link.bytes.Size())) && written;
    }
    return written ? 0 : 1;
}
