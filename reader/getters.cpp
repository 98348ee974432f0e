// SPDX-License-Identifier: MIT
// The getters: each writes one stored text into the caller's buffer as multibyte text
// of the current locale, bounded by the text's own length or by the size it is given.
#include <shortcut_reader/shortcut_file.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "scratch.h"

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

constexpr std::size_t kConversionFailed = static_cast<std::size_t>(-1);

// The slow path of the bounded write, taken only when the bulk conversion failed: one
// character at a time, keeping the whole characters that fit before the one that does
// not convert. Returns -1 then, or the whole length should nothing fail after all.
int BoundedPrefix(const wchar_t* wide, char* buffer, std::size_t room) {
    std::mbstate_t state{};
    std::size_t written = 0;
    std::size_t whole = 0;
    for (; *wide != L'\0'; ++wide) {
        char bytes[MB_LEN_MAX];
        const std::size_t width = std::wcrtomb(bytes, *wide, &state);
        if (width == kConversionFailed) {
            buffer[written] = '\0';
            return -1;
        }
        if (whole == written && width <= room - written) {
            std::memcpy(buffer + written, bytes, width);
            written += width;
        }
        whole += width;
    }
    buffer[written] = '\0';
    return whole < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(whole) : INT_MAX;
}

// Bounded by size, as snprintf is: writes the whole characters that fit before the
// terminator, and measures the rest to return the whole length.
int WriteText(const LinkTextUnit* text, char* buffer, std::size_t size) {
    const bool writes = buffer != nullptr && size > 0;
    if (writes) {
        *buffer = '\0';
    }
    if (text == nullptr) {
        return 0;
    }
    const std::size_t room = writes ? size - 1 : 0;
    shortcut_reader::Scratch<wchar_t> wide(static_cast<std::size_t>(LinkTextLength(text)));
    WidenLinkText(text, wide.get());

    const wchar_t* next = wide.get();
    std::mbstate_t state{};
    const std::size_t written = room == 0 ? 0 : std::wcsrtombs(buffer, &next, room, &state);
    const std::size_t rest = written == kConversionFailed || next == nullptr ? 0 : std::wcsrtombs(nullptr, &next, 0, &state);
    if (written == kConversionFailed || rest == kConversionFailed) {
        if (!writes) {
            return -1;
        }
        return BoundedPrefix(wide.get(), buffer, room);
    }
    if (writes) {
        buffer[written] = '\0';
    }
    const std::size_t whole = written + rest;
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
