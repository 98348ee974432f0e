// SPDX-License-Identifier: MIT
// A Jump List of either kind, by its content.
#include <strings.h>

#include <cstring>

#include "compound/compound_file.h"
#include "containers/contained_records.h"
#include "shell_link/reading.h"

namespace shell_link {

namespace detail {

void PlaceIn(Link& link, const Container& where) {
    link.file = ContainedFileName(where);
    link.container = where;
}

Link ContainerError(const Container& where, std::string reason) {
    Link link;
    link.status = Status::kFileError;
    link.error = std::move(reason);
    PlaceIn(link, where);
    return link;
}

namespace {

constexpr std::uint32_t kFooter = 0xBABFFBAB;

bool HasDestList(ByteSpan file) {
    const compound_file::CompoundFile compound(file);
    for (const compound_file::Entry& entry : compound.streams()) {
        if (strcasecmp(entry.name.c_str(), "DestList") == 0) {
            return true;
        }
    }
    return false;
}

// The first category of a custom destinations file, read up to what follows its entry
// count: the class identifier of a shell link, or the footer.
bool FirstCategoryReads(ByteSpan file) {
    const std::optional<std::uint32_t> categories = Field<std::uint32_t>(file, 4);
    if (categories && *categories == 0) {
        return file.size == 12;
    }
    const std::optional<std::uint32_t> type = Field<std::uint32_t>(file, 12);
    std::uint64_t at = 16;
    if (!type || *type > 2) {
        return false;
    }
    if (*type == 1) {
        const std::optional<std::uint32_t> footer = Field<std::uint32_t>(file, 20);
        return footer && *footer == kFooter;
    }
    if (*type == 0) {
        const std::optional<std::uint16_t> length = Field<std::uint16_t>(file, at);
        if (!length) {
            return false;
        }
        at += 2 + 2 * std::uint64_t{*length};
    }
    const std::optional<std::uint32_t> count = Field<std::uint32_t>(file, at);
    if (!count) {
        return false;
    }
    at += 4;
    if (*count == 0) {
        const std::optional<std::uint32_t> footer = Field<std::uint32_t>(file, at);
        return footer && *footer == kFooter;
    }
    return file.Holds(at, 16) && std::memcmp(file.data + at, kLinkHeaderBytes + 4, 16) == 0;
}

}  // namespace

}  // namespace detail

bool IsJumpList(const void* bytes, std::size_t size) {
    const detail::ByteSpan file{static_cast<const unsigned char*>(bytes), bytes == nullptr ? 0 : size};
    switch (ContentOf(bytes, size)) {
        case Content::kAutomaticDestinations:
            return detail::HasDestList(file);
        case Content::kCustomDestinations:
            return detail::FirstCategoryReads(file);
        case Content::kLink:
        case Content::kOther:
            break;
    }
    return false;
}

bool ReadJumpList(const void* bytes, std::size_t size, const Container& where, CodePage& codePage, const LinkSink& sink) {
    const auto* const data = static_cast<const unsigned char*>(bytes);
    switch (ContentOf(bytes, size)) {
        case Content::kAutomaticDestinations:
            return detail::ReadAutomaticDestinations(data, size, where, codePage, sink);
        case Content::kCustomDestinations:
            return detail::ReadCustomDestinations(data, size, where, codePage, sink);
        case Content::kLink:
        case Content::kOther:
            break;
    }
    Link link;
    link.status = Status::kNotAShortcut;
    link.size = size;
    link.file = ContainedFileName(where);
    return sink(link);
}

}  // namespace shell_link
