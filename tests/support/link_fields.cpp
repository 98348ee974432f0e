// SPDX-License-Identifier: MIT
#include "link_fields.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "test_support.h"

bool LinkFields::operator==(const LinkFields& other) const {
    return std::tie(path, workingDir, description, relativePath, arguments, pathResult, descriptionResult) ==
           std::tie(other.path, other.workingDir, other.description, other.relativePath, other.arguments,
                    other.pathResult, other.descriptionResult);
}

std::ostream& operator<<(std::ostream& out, const LinkFields& fields) {
    return out << "{path \"" << fields.path << "\" (" << fields.pathResult << "), workingDir \"" << fields.workingDir
               << "\", description \"" << fields.description << "\" (" << fields.descriptionResult
               << "), relativePath \"" << fields.relativePath << "\", arguments \"" << fields.arguments << "\"}";
}

LinkFields FieldsOf(const ShortcutFile& link) {
    const std::unique_ptr<char[]> buffer(new char[ShortcutFile::kLongestTextBytes]);
    LinkFields fields;
    fields.pathResult = link.GetPath(buffer.get());
    fields.path = buffer.get();
    link.GetWorkDir(buffer.get());
    fields.workingDir = buffer.get();
    fields.descriptionResult = link.GetDesc(buffer.get());
    fields.description = buffer.get();
    link.GetPathRel(buffer.get());
    fields.relativePath = buffer.get();
    link.GetArgs(buffer.get());
    fields.arguments = buffer.get();
    return fields;
}

LinkFields ReadWithShortcutFile(const Bytes& bytes) {
    const TempFile file(bytes);
    const ShortcutFile link(file.Path().c_str());
    const LinkFields fields = FieldsOf(link);

    ShortcutStatus status = ShortcutStatus::kFileError;
    const ShortcutFile fromMemory(bytes.Begin(), bytes.Size(), status);
    EXPECT_EQ(status, ShortcutStatus::kRead);
    EXPECT_EQ(FieldsOf(fromMemory), fields) << "read from memory";
    return fields;
}
