// SPDX-License-Identifier: MIT
#include "bytes/byte_span.h"

#include <cstring>

namespace link_format {

bool ReadLittleEndian(ByteSpan bytes, std::uint64_t offset, unsigned width, std::uint32_t& value) {
    if (width == 0 || width > 4 || !bytes.Holds(offset, width)) {
        return false;
    }
    const unsigned char* const field = bytes.data + static_cast<std::size_t>(offset);
    std::uint32_t result = 0;
    for (unsigned i = 0; i < width; ++i) {
        result |= static_cast<std::uint32_t>(field[i]) << (8 * i);
    }
    value = result;
    return true;
}

std::size_t BoundedTextLength(ByteSpan bytes, std::uint64_t offset, std::size_t limit) {
    if (!bytes.Holds(offset, 0)) {
        return 0;
    }
    const std::size_t start = static_cast<std::size_t>(offset);
    const std::size_t available = bytes.size - start;  // start <= size, checked above
    const std::size_t scan = available < limit ? available : limit;
    const void* zero = scan == 0 ? nullptr : std::memchr(bytes.data + start, 0, scan);
    return zero == nullptr ? scan : static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - (bytes.data + start));
}

}  // namespace link_format
