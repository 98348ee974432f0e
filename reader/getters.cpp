// SPDX-License-Identifier: MIT
// The getters: each writes one stored text into the caller's buffer as multibyte text
// of the current locale, bounded by the text's own length or by the size it is given.
#include <shortcut_reader/shortcut_file.h>

#include <climits>
#include <cstring>
#include <cwchar>

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

// Bounded by size, as snprintf is: converts every character to learn the whole length,
// but writes only the whole characters that fit before the terminator.
int WriteText(const LinkTextUnit* text, char* buffer, std::size_t size) {
    const std::size_t room = buffer != nullptr && size > 0 ? size - 1 : 0;
    std::size_t written = 0;
    std::size_t whole = 0;
    bool fits = true;
    bool converts = true;
    std::mbstate_t state{};
    for (const LinkTextUnit* unit = text; unit != nullptr && *unit != 0; ++unit) {
        char bytes[MB_LEN_MAX];
        const std::size_t width = std::wcrtomb(bytes, static_cast<wchar_t>(*unit), &state);
        if (width == static_cast<std::size_t>(-1)) {
            converts = false;
            break;
        }
        fits = fits && width <= room - written;
        if (fits) {
            std::memcpy(buffer + written, bytes, width);
            written += width;
        }
        whole += width;
    }
    if (buffer != nullptr && size > 0) {
        buffer[written] = '\0';
    }
    if (!converts) {
        return -1;
    }
    return whole < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(whole) : INT_MAX;
}

}  // namespace

int ShortcutFile::GetPath(char* buffer) const { return WriteText(targetPath_, buffer); }
int ShortcutFile::GetArgs(char* buffer) const { return WriteText(arguments_, buffer); }
int ShortcutFile::GetWorkDir(char* buffer) const { return WriteText(workingDir_, buffer); }
int ShortcutFile::GetDesc(char* buffer) const { return WriteText(description_, buffer); }
int ShortcutFile::GetPathRel(char* buffer) const { return WriteText(relativePath_, buffer); }

int ShortcutFile::GetPath(char* buffer, std::size_t size) const { return WriteText(targetPath_, buffer, size); }
int ShortcutFile::GetArgs(char* buffer, std::size_t size) const { return WriteText(arguments_, buffer, size); }
int ShortcutFile::GetWorkDir(char* buffer, std::size_t size) const { return WriteText(workingDir_, buffer, size); }
int ShortcutFile::GetDesc(char* buffer, std::size_t size) const { return WriteText(description_, buffer, size); }
int ShortcutFile::GetPathRel(char* buffer, std::size_t size) const { return WriteText(relativePath_, buffer, size); }
