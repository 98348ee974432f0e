// SPDX-License-Identifier: MIT
#include <shortcut_reader/link_text.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "shortcut_file/bounded_text.h"
#include "shortcut_file/scratch.h"

namespace {

constexpr std::size_t kConversionFailed = static_cast<std::size_t>(-1);

std::size_t UnitCount(const LinkTextUnit* text) {
    std::size_t count = 0;
    while (text[count] != 0) {
        ++count;
    }
    return count;
}

// The slow path of LinkTextToMultibyte, taken only when the bulk conversion failed:
// converts character by character so that the bytes of every character before the
// one that does not convert are kept, then terminated. A full destination ends the
// conversion first, so the terminator always has room when -1 is returned.
int MultibytePrefix(const wchar_t* wide, std::size_t limit, char* dst) {
    std::mbstate_t state{};
    std::size_t written = 0;
    for (;; ++wide) {
        if (written == limit) {
            return static_cast<int>(written);
        }
        char bytes[MB_LEN_MAX];
        const std::size_t width = std::wcrtomb(bytes, *wide, &state);
        if (width == kConversionFailed) {
            dst[written] = '\0';
            return -1;
        }
        if (width > limit - written) {
            return static_cast<int>(written);
        }
        std::memcpy(dst + written, bytes, width);
        if (*wide == L'\0') {
            return static_cast<int>(written + width - 1);  // the terminator is not counted
        }
        written += width;
    }
}

// The slow path of MultibyteToLinkText: decodes character by character up to the
// first byte sequence that does not convert, the terminator, or capacity characters.
std::size_t WidePrefix(const char* source, std::size_t capacity, wchar_t* wide) {
    std::mbstate_t state{};
    std::size_t remaining = std::strlen(source) + 1;
    std::size_t count = 0;
    while (count < capacity) {
        wchar_t character = L'\0';
        const std::size_t used = std::mbrtowc(&character, source, remaining, &state);
        if (used == 0 || used > remaining) {  // terminator, or -1 / -2: does not convert
            break;
        }
        wide[count++] = character;
        source += used;
        remaining -= used;
    }
    return count;
}

}  // namespace

void WidenLinkText(const LinkTextUnit* source, wchar_t* dst) {
    if (source == nullptr) {
        *dst = L'\0';
        return;
    }
    do {
        *dst++ = static_cast<wchar_t>(*source);
    } while (*source++ != 0);
}

void NarrowToLinkText(const wchar_t* source, LinkTextUnit* dst) {
    if (source == nullptr) {
        *dst = 0;
        return;
    }
    do {
        *dst = static_cast<LinkTextUnit>(static_cast<std::uint32_t>(*source++) & 0xFFFFu);
    } while (*dst++ != 0);
}

int LinkTextLength(const LinkTextUnit* text) {
    if (text == nullptr) {
        return 0;
    }
    const std::size_t units = UnitCount(text);
    return units < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(units + 1) : INT_MAX;
}

int LinkTextToMultibyte(const LinkTextUnit* text, int n, char* dst) {
    if (text == nullptr) {
        *dst = '\0';
        return 0;
    }
    const std::size_t limit = n > 0 ? static_cast<std::size_t>(n) : 0;
    shortcut_file::Scratch<wchar_t> wide(UnitCount(text) + 1);
    WidenLinkText(text, wide.get());

    const wchar_t* next = wide.get();
    std::mbstate_t state{};
    const std::size_t written = std::wcsrtombs(dst, &next, limit, &state);
    if (written == kConversionFailed) {
        return MultibytePrefix(wide.get(), limit, dst);
    }
    return static_cast<int>(written);
}

int MultibyteToLinkText(const char* source, int n, LinkTextUnit* dst) {
    if (source == nullptr) {
        *dst = 0;
        return 0;
    }
    // A text holds no more characters than bytes, so the scratch never needs more
    // than the source's own length, however large n is.
    const std::size_t bytes = std::strlen(source);
    std::size_t most = bytes;
    if (n <= 0) {
        most = 0;
    } else if (static_cast<std::size_t>(n) < bytes) {
        most = static_cast<std::size_t>(n);
    }
    const std::size_t capacity = most + 1;
    shortcut_file::Scratch<wchar_t> wide(capacity);

    const char* next = source;
    std::mbstate_t state{};
    std::size_t count = std::mbsrtowcs(wide.get(), &next, capacity, &state);
    if (count == kConversionFailed) {
        count = WidePrefix(source, capacity, wide.get());
    }
    if (count > most) {
        count = most;  // the source held more than n characters: keep n
    }
    wide[count] = L'\0';
    NarrowToLinkText(wide.get(), dst);
    return static_cast<int>(count);
}

int shortcut_file::BoundedLinkTextToMultibyte(const LinkTextUnit* text, char* dst, std::size_t size) {
    const bool writes = dst != nullptr && size > 0;
    if (writes) {
        *dst = '\0';
    }
    if (text == nullptr) {
        return 0;
    }
    const std::size_t room = writes ? size - 1 : 0;
    Scratch<wchar_t> wide(UnitCount(text) + 1);
    WidenLinkText(text, wide.get());

    // The whole characters that fit, then the length of the rest, measured only.
    const wchar_t* next = wide.get();
    std::mbstate_t state{};
    const std::size_t written = room == 0 ? 0 : std::wcsrtombs(dst, &next, room, &state);
    if (written == kConversionFailed) {
        // Keep what comes before the failing character; when the room ran out first,
        // the prefix has no terminator yet.
        const int kept = MultibytePrefix(wide.get(), room, dst);
        if (kept >= 0) {
            dst[kept] = '\0';
        }
        return -1;
    }
    if (writes) {
        dst[written] = '\0';
    }
    const std::size_t rest = next == nullptr ? 0 : std::wcsrtombs(nullptr, &next, 0, &state);
    if (rest == kConversionFailed) {
        return -1;
    }
    const std::size_t whole = written + rest;
    return whole < static_cast<std::size_t>(INT_MAX) ? static_cast<int>(whole) : INT_MAX;
}
