// SPDX-License-Identifier: MIT
// libFuzzer target: the whole reader over arbitrary link bytes.
//
// Every input is read from memory and every getter is called, the specified ones into a
// buffer that holds any text and the bounded ones into a heap buffer of exactly the size
// they are given, so AddressSanitizer sees any write past it. One input in sixteen is
// also written to a file and read through the path, which must give the same status and
// the same texts.
#include <unistd.h>

#include <shortcut_reader/shortcut_file.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "getter_checks.h"

namespace {

std::string& InputPath() {
    static std::string path;
    return path;
}

void RemoveInputFile() { unlink(InputPath().c_str()); }

bool WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/fuzz-shortcut-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) {
        std::abort();
    }
    close(fd);
    InputPath() = pattern;
    std::atexit(RemoveInputFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ShortcutStatus status = ShortcutStatus::kRead;
    const ShortcutFile link(data, size, status);
    std::string texts;
    Check(GettersKeepTheirBounds(link, {size % 300}, texts));
    Check(status == ShortcutStatus::kRead || texts == "\n\n\n\n\n");

    if (size % 16 == 0 && WriteInput(data, size)) {
        ShortcutStatus fileStatus = ShortcutStatus::kFileError;
        const ShortcutFile fromFile(InputPath().c_str(), fileStatus);
        std::string fileTexts;
        Check(GettersKeepTheirBounds(fromFile, {}, fileTexts) && fileStatus == status && fileTexts == texts);
    }
    return 0;
}
