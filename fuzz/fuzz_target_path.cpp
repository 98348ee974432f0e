// SPDX-License-Identifier: MIT
// libFuzzer target: the ID list walk over arbitrary list bytes, as long as IDListSize
// allows. The bytes are copied into storage of exactly their size, so AddressSanitizer
// sees any read past the list.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "shortcut_file/target_path.h"

namespace sr = shortcut_file;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFF) {
        return 0;
    }
    const std::unique_ptr<unsigned char[]> list(new unsigned char[size]);
    if (size > 0) {
        std::memcpy(list.get(), data, size);
    }
    char path[sr::kPathBytes];
    std::memset(path, 0x55, sizeof path);
    sr::BuildTargetPath(list.get(), static_cast<unsigned>(size), path);
    if (std::memchr(path, 0, sizeof path) == nullptr) {
        std::abort();  // the joined path must end inside its buffer
    }
    return 0;
}
