// SPDX-License-Identifier: MIT
#include "json/json_writer.h"

#include "bytes/byte_scan.h"
#include "text/utf8.h"

#include <array>
#include <charconv>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace shell_link::detail {

namespace {

// How each byte is written inside a JSON string: 0 as it is, 'u' as \u00XX, else after a
// backslash.
constexpr std::array<char, 256> EscapeTable() {
    std::array<char, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[static_cast<std::size_t>(c)] = 'u';
    }
    table['\b'] = 'b';
    table['\f'] = 'f';
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['"'] = '"';
    table['\\'] = '\\';
    return table;
}
constexpr std::array<char, 256> kEscapes = EscapeTable();

#ifdef __SSE2__
// Sixteen bytes at a time, a bit a byte: a signed compare takes the bytes from 0x80 on
// as below 0x20 too.
constexpr std::size_t kScanStep = 16;

unsigned CareFlags(const char* at) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i care =
        _mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)),
                     _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(care));
}

std::size_t FirstFlagged(unsigned flags) { return static_cast<std::size_t>(__builtin_ctz(flags)); }
#else
// Eight bytes at a time, the high bit of a byte: the first flag is exact (byte_scan.h).
constexpr std::size_t kScanStep = 8;

std::uint64_t CareFlags(const char* at) {
    namespace sr = link_format;
    const std::uint64_t word = sr::LittleEndianWord(at);
    return sr::WordBytesBelow(word, 0x20) | sr::WordBytesEqual(word, '"') | sr::WordBytesEqual(word, '\\') |
           (word & sr::kByteHighs);
}

std::size_t FirstFlagged(std::uint64_t flags) { return link_format::FirstFlaggedByte(flags); }
#endif

}  // namespace

void JsonWriter::Spill() {
    out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
    at_ = buffer_;
    if (flush_ && out_.size() >= kJsonFlushBytes) {
        flush_(out_);
    }
}

// A step at a time; the flags of a step give the first byte that needs care, so that a
// path's many backslashes each cost little. The last bytes go through a copy, so that no
// step reads past the text: none of the copy's other bytes is kept.
void JsonWriter::Escaped(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    while (static_cast<std::size_t>(end - at) >= kScanStep) {
        at += Step(at, kScanStep, end);
    }
    const auto left = static_cast<std::size_t>(end - at);
    char last[2 * kScanStep];  // a step may start at any of the first kScanStep bytes
    std::memset(last, 0, sizeof last);
    const char* from = last;
    if (text.size() >= kScanStep) {
        // The text's last step whole, a copy of a size known here: no call.
        std::memcpy(last, end - kScanStep, kScanStep);
        from = last + (kScanStep - left);
    } else {
        std::memcpy(last, at, left);
    }
    for (std::size_t done = 0; done < left;) {
        done += Step(from + done, left - done, from + left);
    }
}

std::size_t JsonWriter::Step(const char* at, std::size_t count, const char* end) {
    Room(kScanStep + 6);
    std::memcpy(at_, at, kScanStep);
    const auto flags = CareFlags(at);
    const std::size_t plain = flags != 0 ? FirstFlagged(flags) : kScanStep;
    if (plain >= count) {
        at_ += count;
        return count;
    }
    at_ += plain;
    const auto byte = static_cast<unsigned char>(at[plain]);
    if (byte >= 0x80) {
        return plain + Utf8Sequence(at + plain, end);
    }
    Escape(byte);
    return plain + 1;
}

std::size_t JsonWriter::Utf8Sequence(const char* lead, const char* end) {
    // Text a caller built need not be UTF-8: what is not becomes U+FFFD.
    bool well = false;
    const std::size_t length =
        Utf8SequenceLength(reinterpret_cast<const unsigned char*>(lead), static_cast<std::size_t>(end - lead), well);
    Put(well ? std::string_view(lead, length) : std::string_view(kReplacement, kReplacementBytes));
    return length;
}

void JsonWriter::Escape(unsigned char byte) {
    const char escape = kEscapes[byte];
    char* at = at_;
    *at++ = '\\';
    *at++ = escape;
    if (escape == 'u') {
        constexpr char kHex[] = "0123456789abcdef";
        *at++ = '0';
        *at++ = '0';
        *at++ = kHex[byte >> 4];
        *at++ = kHex[byte & 0xF];
    }
    at_ = at;
}

void JsonWriter::String(std::string_view text) {
    Room(2);
    char* const at = Separated();
    *at = '"';
    at_ = at + 1;
    while (text.size() > kPiece) {
        // Cut between UTF-8 sequences, so that each piece stays whole text: at most three
        // continuation bytes back. More are ill-formed anyway, and may be cut anywhere.
        std::size_t cut = kPiece;
        while (cut > kPiece - 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            cut = kPiece;
        }
        Escaped(text.substr(0, cut));
        text.remove_prefix(cut);
        Spill();
    }
    Escaped(text);
    Room(1);
    *at_++ = '"';
    comma_ = true;
}

void JsonWriter::HexBytes(const std::uint8_t* bytes, std::size_t count) {
    constexpr char kHex[] = "0123456789abcdef";
    Room(2);
    char* const at = Separated();
    *at = '"';
    at_ = at + 1;
    for (std::size_t i = 0; i < count; ++i) {
        Room(2);
        at_[0] = kHex[bytes[i] >> 4];
        at_[1] = kHex[bytes[i] & 0xF];
        at_ += 2;
    }
    Room(1);
    *at_++ = '"';
    comma_ = true;
}

template <typename Integer>
void JsonWriter::WholeNumber(Integer value) {
    Room(24);
    char* const at = Separated();
    Wrote(std::to_chars(at, buffer_ + kBufferBytes, value).ptr, true);
}

template void JsonWriter::WholeNumber(std::uint64_t value);  // Number's from 100 on
void JsonWriter::Number(std::int64_t value) { WholeNumber(value); }

void JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    Room(32);
    char* const at = Separated();
    Wrote(std::to_chars(at, buffer_ + kBufferBytes, value).ptr, true);
}

void JsonWriter::EndLine() {
    Room(1);
    *at_++ = '\n';
    comma_ = false;
    Spill();
}

}  // namespace shell_link::detail
