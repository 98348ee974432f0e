// SPDX-License-Identifier: MIT
// In-process reads of a link for the tests: every getter's text and result.
#ifndef SHORTCUT_TESTS_LINK_FIELDS_H
#define SHORTCUT_TESTS_LINK_FIELDS_H

#include <shortcut_reader/shortcut_file.h>

#include <ostream>
#include <string>

#include "link_builder.h"

// What the getters of a reader write, and what they return.
struct LinkFields {
    std::string path, workingDir, description, relativePath, arguments;
    int pathResult = 0, descriptionResult = 0;

    bool operator==(const LinkFields& other) const;
};
std::ostream& operator<<(std::ostream& out, const LinkFields& fields);

// Every getter of link, into a buffer that holds any text.
LinkFields FieldsOf(const ShortcutFile& link);

// Parses bytes through the path constructor, from a temporary file, and reads every
// getter. The same bytes are read from memory as well, and must give the same fields.
LinkFields ReadWithShortcutFile(const Bytes& bytes);

#endif
