// SPDX-License-Identifier: MIT
// The getters: each writes one stored text into the caller's buffer as multibyte text
// of the current locale, bounded by the text's own length or by the size it is given.
#include <shortcut_reader/shortcut_file.h>

#include "shortcut_file/bounded_text.h"

namespace {

// Bounded by the text's length in units plus one. Converting to one byte fewer than
// that and terminating here keeps the write terminated in any locale.
int WriteText(const LinkTextUnit* text, char* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    if (text == nullptr) {
        *buffer = '\0';
        return 0;
    }
    const int written = LinkTextToMultibyte(text, LinkTextLength(text) - 1, buffer);
    if (written < 0) {
        return -1;  // the characters before the failing one are already terminated
    }
    buffer[written] = '\0';
    return written;
}

}  // namespace

int ShortcutFile::GetPath(char* buffer) const { return WriteText(targetPath_, buffer); }
int ShortcutFile::GetArgs(char* buffer) const { return WriteText(arguments_, buffer); }
int ShortcutFile::GetWorkDir(char* buffer) const { return WriteText(workingDir_, buffer); }
int ShortcutFile::GetDesc(char* buffer) const { return WriteText(description_, buffer); }
int ShortcutFile::GetPathRel(char* buffer) const { return WriteText(relativePath_, buffer); }

int ShortcutFile::GetPath(char* buffer, std::size_t size) const {
    return shortcut_file::BoundedLinkTextToMultibyte(targetPath_, buffer, size);
}
int ShortcutFile::GetArgs(char* buffer, std::size_t size) const {
    return shortcut_file::BoundedLinkTextToMultibyte(arguments_, buffer, size);
}
int ShortcutFile::GetWorkDir(char* buffer, std::size_t size) const {
    return shortcut_file::BoundedLinkTextToMultibyte(workingDir_, buffer, size);
}
int ShortcutFile::GetDesc(char* buffer, std::size_t size) const {
    return shortcut_file::BoundedLinkTextToMultibyte(description_, buffer, size);
}
int ShortcutFile::GetPathRel(char* buffer, std::size_t size) const {
    return shortcut_file::BoundedLinkTextToMultibyte(relativePath_, buffer, size);
}
