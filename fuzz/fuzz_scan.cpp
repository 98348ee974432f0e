// SPDX-License-Identifier: MIT
// libFuzzer target: carving links from arbitrary bytes. The bytes read at once and the
// same bytes read from a descriptor in tiny windows must give the same records (offsets,
// sizes, warnings), in offset order, each at an occurrence of the header bytes. The
// first input byte picks the window and the link cap, the rest is the input.
#include <shortcut_reader/shell_link_containers.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "containers/scan.h"

namespace {

struct Found {
    std::uint64_t offset;
    std::uint64_t size;
    std::size_t warnings;

    bool operator==(const Found& other) const {
        return offset == other.offset && size == other.size && warnings == other.warnings;
    }
};

shell_link::LinkSink Collect(std::vector<Found>& found) {
    return [&found](shell_link::Link& link) {
        if (!link.container || !link.container->offset || link.container->kind != shell_link::ContainerKind::kScan) {
            std::abort();
        }
        found.push_back({*link.container->offset, link.size.value_or(0), link.warnings.size()});
        return true;
    };
}

int InputDescriptor() {
    static const int fd = memfd_create("fuzz_scan", MFD_CLOEXEC);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t chunk = 1 + data[0] % 32u;
    const std::size_t maxLink = 32 + std::size_t{data[0] / 32u} * 400;
    ++data;
    --size;
    static shell_link::CodePage codePage;
    shell_link::Container where;
    where.path = "input";

    std::vector<Found> whole;
    shell_link::ScanBytes(data, size, 0, where, codePage, Collect(whole));
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (whole[i].offset + sizeof shell_link::kLinkHeaderBytes > size ||
            std::memcmp(data + whole[i].offset, shell_link::kLinkHeaderBytes, sizeof shell_link::kLinkHeaderBytes) != 0 ||
            whole[i].offset + whole[i].size > size || (i > 0 && whole[i].offset <= whole[i - 1].offset)) {
            std::abort();
        }
    }

    std::vector<Found> capped;
    shell_link::detail::ScanSpan(data, size, 0, where, codePage, Collect(capped), maxLink);
    const int fd = InputDescriptor();
    if (fd < 0 || ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0 ||
        write(fd, data, size) != static_cast<ssize_t>(size) || lseek(fd, 0, SEEK_SET) != 0) {
        std::abort();
    }
    std::vector<Found> windows;
    bool stopped = false;
    if (shell_link::detail::ScanDescriptor(fd, where, codePage, Collect(windows), chunk, maxLink, stopped) != 0 ||
        stopped || !(windows == capped) || capped.size() != whole.size()) {
        std::abort();
    }
    return 0;
}
