// SPDX-License-Identifier: MIT
// A link that other bytes follow, and what a file's first bytes say it is.
#include <shortcut_reader/shell_link_containers.h>

#include <cstring>
#include <iterator>

#include "shell_link/reading.h"

namespace shell_link {

namespace {

constexpr unsigned char kCompoundFileSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool StartsWith(const unsigned char* bytes, std::size_t size, const unsigned char* prefix, std::size_t length) {
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

// A custom destinations file: version 2, then either nothing more (no categories) or a
// known category type.
bool LooksLikeCustomDestinations(const unsigned char* bytes, std::size_t size) {
    const detail::ByteSpan span{bytes, size};
    const auto version = detail::Field<std::uint32_t>(span, 0);
    const auto categories = detail::Field<std::uint32_t>(span, 4);
    if (!version || *version != 2 || !categories || !detail::Field<std::uint32_t>(span, 8)) {
        return false;
    }
    if (*categories == 0) {
        return size == 12;
    }
    const auto type = detail::Field<std::uint32_t>(span, 12);
    return type && *type <= 2;
}

}  // namespace

Content ContentOf(const void* bytes, std::size_t size) {
    const auto* const data = static_cast<const unsigned char*>(bytes);
    if (data == nullptr) {
        return Content::kOther;
    }
    if (StartsWith(data, size, kLinkHeaderBytes, sizeof kLinkHeaderBytes)) {
        return Content::kLink;
    }
    if (StartsWith(data, size, kCompoundFileSignature, sizeof kCompoundFileSignature)) {
        return Content::kAutomaticDestinations;
    }
    return LooksLikeCustomDestinations(data, size) ? Content::kCustomDestinations : Content::kOther;
}

Link ReadEmbeddedLink(const void* bytes, std::size_t size, CodePage& codePage) {
    const detail::ByteSpan input{static_cast<const unsigned char*>(bytes), bytes == nullptr ? 0 : size};
    Link link = detail::Read(input, input.size, false, codePage);
    if (link.trailing_data) {
        link.size = link.trailing_data->offset;
        link.trailing_data.reset();
    }
    std::vector<Warning> suspicions = Analyze(link);
    link.warnings.insert(link.warnings.end(), std::make_move_iterator(suspicions.begin()),
                         std::make_move_iterator(suspicions.end()));
    return link;
}

}  // namespace shell_link
