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
#include <cstring>
#include <memory>
#include <string>

#include "all_getters.h"

namespace {

constexpr std::size_t kLongest = ShortcutFile::kLongestTextBytes;

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

// The five texts as the specified getters write them, each checked to end in its buffer.
std::string Texts(const ShortcutFile& link, char* buffer) {
    std::string texts;
    for (const Getter getter : kGetters) {
        Check((link.*getter)(buffer) >= -1);
        const std::size_t length = strnlen(buffer, kLongest);
        Check(length < kLongest);
        texts.append(buffer, length).push_back('\n');
    }
    return texts;
}

// A bounded getter writes within size, terminates, and returns the whole length or -1.
void CheckBounded(const ShortcutFile& link, std::size_t size) {
    const std::unique_ptr<char[]> buffer(new char[size == 0 ? 1 : size]);
    for (const BoundedGetter getter : kBoundedGetters) {
        const int result = (link.*getter)(size == 0 ? nullptr : buffer.get(), size);
        Check(result >= -1);
        if (size > 0) {
            const std::size_t length = strnlen(buffer.get(), size);
            Check(length < size);
            Check(result < 0 || length == (static_cast<std::size_t>(result) < size ? static_cast<std::size_t>(result) : size - 1));
        }
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
    static const std::unique_ptr<char[]> buffer(new char[kLongest]);
    ShortcutStatus status = ShortcutStatus::kRead;
    const ShortcutFile link(data, size, status);
    const std::string texts = Texts(link, buffer.get());
    Check(status == ShortcutStatus::kRead || texts == "\n\n\n\n\n");
    CheckBounded(link, size % 300);

    if (size % 16 == 0 && WriteInput(data, size)) {
        ShortcutStatus fileStatus = ShortcutStatus::kFileError;
        const ShortcutFile fromFile(InputPath().c_str(), fileStatus);
        Check(fileStatus == status && Texts(fromFile, buffer.get()) == texts);
    }
    return 0;
}
