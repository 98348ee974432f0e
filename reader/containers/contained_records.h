// SPDX-License-Identifier: MIT
// What the readers of containers share: the record of a link found in one, and of what
// could not be read there.
#ifndef SHORTCUT_READER_CONTAINERS_CONTAINED_RECORDS_H
#define SHORTCUT_READER_CONTAINERS_CONTAINED_RECORDS_H

#include <shortcut_reader/shell_link_containers.h>

#include <string>

namespace shell_link::detail {

// Gives link its container and the file that names it.
void PlaceIn(Link& link, const Container& where);
// The record of what could not be read in a container, for reason.
Link ContainerError(const Container& where, std::string reason);

bool ReadAutomaticDestinations(const unsigned char* bytes, std::size_t size, Container where, CodePage& codePage,
                               const LinkSink& sink);
bool ReadCustomDestinations(const unsigned char* bytes, std::size_t size, Container where, CodePage& codePage,
                            const LinkSink& sink);

}  // namespace shell_link::detail

#endif
