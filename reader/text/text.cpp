// SPDX-License-Identifier: MIT
// Texts of the complete reader, always UTF-8: UTF-16LE decoded here, code-page bytes
// through iconv. Nothing depends on the process locale.
#include <errno.h>
#include <iconv.h>

#include <cstring>

#include "format/values.h"
#include "shell_link/reading.h"

namespace shell_link {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
// iconv_open's failure value.
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)

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

bool AllAscii(const unsigned char* bytes, std::size_t size) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < size; ++i) {
        any |= bytes[i];
    }
    return any < 0x80;
}

// Every byte below 0x80 decodes to itself: then texts of such bytes need no iconv call.
bool DecodesAsciiAsItself(iconv_t converter) {
    char ascii[127];
    for (int i = 0; i < 127; ++i) {
        ascii[i] = static_cast<char>(i + 1);
    }
    char out[127 * 4];
    char* in = ascii;
    std::size_t inLeft = sizeof ascii;
    char* to = out;
    std::size_t outLeft = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    const bool converted = iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
    return converted && inLeft == 0 && static_cast<std::size_t>(to - out) == sizeof ascii &&
           std::memcmp(out, ascii, sizeof ascii) == 0;
}

}  // namespace

CodePage::CodePage(const char* name)
    : name_(name == nullptr ? "" : name),
      converter_(name == nullptr ? kNoConverter : iconv_open("UTF-8", name)),
      asciiCompatible_(true) {
    if (converter_ != kNoConverter) {
        asciiCompatible_ = DecodesAsciiAsItself(static_cast<iconv_t>(converter_));
    }
}

CodePage::~CodePage() {
    if (converter_ != kNoConverter) {
        iconv_close(static_cast<iconv_t>(converter_));
    }
}

bool CodePage::valid() const { return converter_ != kNoConverter; }

bool CodePage::Decode(const unsigned char* bytes, std::size_t size, std::string& out) const {
    if (asciiCompatible_ && AllAscii(bytes, size)) {
        out.append(reinterpret_cast<const char*>(bytes), size);
        return true;
    }
    if (converter_ == kNoConverter) {
        bool decoded = true;
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] < 0x80) {
                out.push_back(static_cast<char>(bytes[i]));
            } else {
                out.append(kReplacement);
                decoded = false;
            }
        }
        return decoded;
    }
    const auto converter = static_cast<iconv_t>(converter_);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    bool decoded = true;
    // iconv takes a char** it never writes through.
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    std::size_t inLeft = size;
    // Room for one byte each, grown as needed: most code pages' texts take little more
    // in UTF-8, and a long one is given back what it did not use.
    const std::size_t start = out.size();
    std::size_t used = start;
    out.resize(used + size + 16);
    const auto grow = [&out] { out.resize(out.size() + out.size() / 2 + 16); };
    for (;;) {
        char* to = &out[used];
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
        const int error = errno;
        used = static_cast<std::size_t>(to - out.data());
        if (result != static_cast<std::size_t>(-1)) {
            break;  // all of it decoded
        }
        if (error == E2BIG) {
            grow();
            continue;
        }
        // EILSEQ, or EINVAL for a sequence the input cuts short: the byte becomes U+FFFD.
        if (out.size() - used < sizeof kReplacement) {
            grow();
        }
        std::memcpy(&out[used], kReplacement, sizeof kReplacement - 1);
        used += sizeof kReplacement - 1;
        ++in;
        --inLeft;
        decoded = false;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (inLeft == 0) {
            break;
        }
    }
    // A stateful encoding ends its shift once the input is used up.
    for (;;) {
        char* to = &out[used];
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(converter, nullptr, nullptr, &to, &outLeft);
        const int error = errno;
        used = static_cast<std::size_t>(to - out.data());
        if (result != static_cast<std::size_t>(-1) || error != E2BIG) {
            break;
        }
        grow();
    }
    out.resize(used);
    if (out.capacity() - out.size() > (std::size_t{64} << 10) && out.capacity() > 2 * (used - start)) {
        out.shrink_to_fit();
    }
    return decoded;
}

namespace detail {

namespace {

// The i-th UTF-16LE unit at bytes.
std::uint32_t UnitAt(const unsigned char* bytes, std::size_t i) {
    return static_cast<std::uint32_t>(bytes[2 * i]) | static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8;
}

// Writes the UTF-8 form of count units at bytes into to, which holds 3 * count bytes,
// and returns its end; paired becomes false when an unpaired surrogate became U+FFFD.
char* PutUtf16(const unsigned char* bytes, std::size_t count, char* at, bool& paired) {
    // Four ASCII units at a time: each one's high byte zero and its low byte below 0x80.
    constexpr std::uint64_t kNotAscii = 0xFF80FF80FF80FF80u;
    std::size_t ascii = 0;
    while (count - ascii >= 4) {
        std::uint64_t units = 0;
        std::memcpy(&units, bytes + 2 * ascii, sizeof units);
        if ((units & kNotAscii) != 0) {
            break;
        }
        at[0] = static_cast<char>(bytes[2 * ascii]);
        at[1] = static_cast<char>(bytes[2 * ascii + 2]);
        at[2] = static_cast<char>(bytes[2 * ascii + 4]);
        at[3] = static_cast<char>(bytes[2 * ascii + 6]);
        at += 4;
        ascii += 4;
    }
    bytes += 2 * ascii;
    count -= ascii;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = UnitAt(bytes, i);
        if (unit < 0x80) {
            *at++ = static_cast<char>(unit);
            continue;
        }
        if (unit < 0xD800 || unit > 0xDFFF) {
            at = PutUtf8(at, unit);
            continue;
        }
        if (unit <= 0xDBFF && i + 1 < count) {
            const std::uint32_t next = UnitAt(bytes, i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                // Four bytes for two units: within the three a unit was given.
                at = PutUtf8(at, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        at = PutUtf8(at, 0xFFFD);
        paired = false;
    }
    return at;
}

// The length of the UTF-8 form that PutUtf16 writes.
std::size_t Utf8Length(const unsigned char* bytes, std::size_t count) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = UnitAt(bytes, i);
        if (unit < 0x80) {
            length += 1;
        } else if (unit < 0x800) {
            length += 2;
        } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && bytes[2 * i + 3] >= 0xDC && bytes[2 * i + 3] <= 0xDF) {
            length += 4;  // a pair
            ++i;
        } else {
            length += 3;  // the rest of the BMP, and U+FFFD for an unpaired surrogate
        }
    }
    return length;
}

}  // namespace

bool AppendUtf16(const unsigned char* bytes, std::size_t count, std::string& out) {
    constexpr std::size_t kShort = 256;
    bool paired = true;
    if (count <= kShort) {
        // Most texts are short: through the stack, so out is neither cleared nor shrunk.
        char local[3 * kShort];
        out.append(local, static_cast<std::size_t>(PutUtf16(bytes, count, local, paired) - local));
        return paired;
    }
    // A long text is measured first, so that out grows by exactly its UTF-8 form: a
    // multi-megabyte text costs its own size, never three times that.
    const std::size_t start = out.size();
    out.resize(start + Utf8Length(bytes, count));
    PutUtf16(bytes, count, &out[start], paired);
    return paired;
}

namespace {

std::string Utf16Decoded(Reading& reading, const unsigned char* bytes, std::size_t count, ByteSpan at) {
    std::string text;
    if (!AppendUtf16(bytes, count, text)) {
        reading.Warn(WarningCode::kUnpairedSurrogate, at, "a UTF-16 text holds a surrogate without its pair (now U+FFFD)");
    }
    return text;
}

std::string AnsiDecoded(Reading& reading, const unsigned char* bytes, std::size_t size, ByteSpan at) {
    std::string text;
    if (!reading.codePage.Decode(bytes, size, text)) {
        reading.Warn(WarningCode::kUndecodableText, at,
                     "an ANSI text holds bytes that " + reading.codePage.name() + " does not decode (now U+FFFD)");
    }
    return text;
}

}  // namespace

std::vector<std::uint8_t> DataPrefix(ByteSpan bytes) {
    constexpr std::size_t kDataPrefixBytes = 64;
    const ByteSpan prefix = bytes.Sub(0, kDataPrefixBytes);
    return std::vector<std::uint8_t>(prefix.data, prefix.data + prefix.size);
}

std::string HexNumber(std::uint64_t value) {
    int count = 1;
    while (count < 16 && value >> (4 * count) != 0) {
        ++count;
    }
    char text[18] = {'0', 'x'};
    link_format::UpperHexDigits(text + 2, value, count);
    return std::string(text, static_cast<std::size_t>(2 + count));
}

namespace {

// The length of the well-formed UTF-8 sequence at text (at most left bytes), or 0.
std::size_t WellFormedLength(const unsigned char* text, std::size_t left) {
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (length > left || text[1] < low || text[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (text[i] < 0x80 || text[i] > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string ValidUtf8(const char* text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = std::strlen(text);
    if (AllAscii(bytes, size)) {
        return std::string(text, size);
    }
    std::string valid;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = WellFormedLength(bytes + at, size - at);
        if (length == 0) {
            valid.append(kReplacement);
            ++at;
        } else {
            valid.append(text + at, length);
            at += length;
        }
    }
    return valid;
}

std::optional<Guid> GuidField(ByteSpan span, std::uint64_t offset) {
    if (!span.Holds(offset, 16)) {
        return std::nullopt;
    }
    Guid guid;
    std::memcpy(guid.data(), span.data + static_cast<std::size_t>(offset), guid.size());
    return guid;
}

std::string Utf16Text(Reading& reading, ByteSpan span, std::size_t count, ByteSpan at) {
    const std::size_t held = span.size / 2;
    return Utf16Decoded(reading, span.data, count < held ? count : held, at);
}

std::size_t ZeroTerminatedUnits(ByteSpan span) {
    std::size_t count = 0;
    const std::size_t held = span.size / 2;
    while (count < held && (span.data[2 * count] | span.data[2 * count + 1]) != 0) {
        ++count;
    }
    return count;
}

std::string Utf16TextZ(Reading& reading, ByteSpan span, ByteSpan at) {
    return Utf16Decoded(reading, span.data, ZeroTerminatedUnits(span), at);
}

std::string AnsiText(Reading& reading, ByteSpan span, ByteSpan at) {
    return AnsiDecoded(reading, span.data, span.size, at);
}

std::string AnsiTextZ(Reading& reading, ByteSpan span, ByteSpan at) {
    return AnsiDecoded(reading, span.data, ZeroTerminatedBytes(span), at);
}

}  // namespace detail

}  // namespace shell_link
