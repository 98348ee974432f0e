// SPDX-License-Identifier: MIT
#include "text/utf8.h"

#include <cstring>

namespace shell_link::detail {

char* PutUtf8(char* at, std::uint32_t code) {
    if (code < 0x80) {
        *at++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *at++ = static_cast<char>(0xC0 | code >> 6);
        *at++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *at++ = static_cast<char>(0xE0 | code >> 12);
        *at++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *at++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *at++ = static_cast<char>(0xF0 | code >> 18);
        *at++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
        *at++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *at++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return at;
}

std::size_t Utf8SequenceLength(const unsigned char* text, std::size_t left, bool& well) {
    const unsigned char lead = text[0];
    well = false;
    if (lead < 0x80) {
        well = true;
        return 1;
    }
    // The Unicode Standard's table 3-7: the length a lead byte announces and the range
    // its second byte must lie in (no overlong forms, surrogates or code points past
    // U+10FFFF); later bytes lie in 0x80 to 0xBF.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 1;
    }
    if (left < 2 || text[1] < low || text[1] > high) {
        return 1;
    }
    std::size_t i = 2;
    while (i < length && i < left && text[i] >= 0x80 && text[i] <= 0xBF) {
        ++i;
    }
    well = i == length;
    return well ? length : 1;
}

bool IsAscii(const unsigned char* bytes, std::size_t size) {
    // Eight bytes at a time, or-ed together; a text of eight or more ends with the word of
    // its last eight, which may take some bytes twice.
    const auto word = [bytes](std::size_t at) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, bytes + at, sizeof eight);
        return eight;
    };
    std::uint64_t any = 0;
    std::size_t at = 0;
    for (; size - at >= 8; at += 8) {
        any |= word(at);
    }
    if (at < size && size >= 8) {
        any |= word(size - 8);
    } else {
        for (; at < size; ++at) {
            any |= bytes[at];
        }
    }
    return (any & 0x8080808080808080u) == 0;
}

namespace {

// Calls put(sequence, length, well) for each sequence of text in turn.
template <typename Put>
void ForEachSequence(std::string_view text, Put put) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        if (bytes[at] < 0x80) {
            const std::size_t start = at;
            while (at < text.size() && bytes[at] < 0x80) {
                ++at;
            }
            put(text.data() + start, at - start, true);
            continue;
        }
        bool well = false;
        const std::size_t length = Utf8SequenceLength(bytes + at, text.size() - at, well);
        put(text.data() + at, length, well);
        at += length;
    }
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    bool valid = true;
    ForEachSequence(text, [&valid](const char*, std::size_t, bool well) { valid = valid && well; });
    return valid;
}

std::size_t ValidUtf8Length(std::string_view text) {
    std::size_t length = 0;
    ForEachSequence(text, [&length](const char*, std::size_t size, bool well) {
        length += well ? size : kReplacementBytes;
    });
    return length;
}

bool AppendValidUtf8(std::string_view text, std::string& out) {
    if (IsAscii(reinterpret_cast<const unsigned char*>(text.data()), text.size())) {
        out.append(text);
        return true;
    }
    bool valid = true;
    out.reserve(out.size() + ValidUtf8Length(text));
    ForEachSequence(text, [&](const char* sequence, std::size_t size, bool well) {
        if (well) {
            out.append(sequence, size);
        } else {
            out.append(kReplacement, kReplacementBytes);
            valid = false;
        }
    });
    return valid;
}

std::string ValidUtf8(const char* text) {
    const std::string_view view(text);
    if (IsAscii(reinterpret_cast<const unsigned char*>(view.data()), view.size())) {
        return std::string(view);  // most paths: made at their size at once
    }
    std::string valid;
    AppendValidUtf8(view, valid);
    return valid;
}

}  // namespace shell_link::detail
