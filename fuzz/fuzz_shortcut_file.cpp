// libFuzzer target: the whole reader over arbitrary file contents.
//
// Each input is written to a temporary file and read through ShortcutFile, and every
// getter is called. ReportError ends the process by design, so inputs that would reach
// it (a header size other than 76) are passed over; every other input goes through whole.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "shortcut_file.h"

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

// The first four bytes, missing ones read as zero, must say 76.
bool OpensAsShortcut(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t header[4] = {0x4C, 0x00, 0x00, 0x00};
    for (std::size_t i = 0; i < 4; ++i) {
        if ((i < size ? data[i] : 0) != header[i]) {
            return false;
        }
    }
    return true;
}

void CheckText(const char* buffer, int result) {
    if (result < -1 || std::strlen(buffer) >= static_cast<std::size_t>(ShortcutFile::kLongestTextBytes)) {
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
    if (!OpensAsShortcut(data, size) || !WriteInput(data, size)) {
        return 0;
    }
    static const std::unique_ptr<char[]> buffer(new char[ShortcutFile::kLongestTextBytes]);
    const ShortcutFile link(InputPath().c_str());
    CheckText(buffer.get(), link.GetPath(buffer.get()));
    CheckText(buffer.get(), link.GetArgs(buffer.get()));
    CheckText(buffer.get(), link.GetWorkDir(buffer.get()));
    CheckText(buffer.get(), link.GetDesc(buffer.get()));
    CheckText(buffer.get(), link.GetPathRel(buffer.get()));
    return 0;
}
