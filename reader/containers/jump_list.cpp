// SPDX-License-Identifier: MIT
// A Jump List of either kind, by its content.
#include "containers/contained_records.h"

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

}  // namespace detail

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
