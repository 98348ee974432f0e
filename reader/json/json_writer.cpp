// SPDX-License-Identifier: MIT
#include "json/json_writer.h"

#include <array>
#include <charconv>
#include <cmath>

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


// The first byte from at on that must be escaped, or end. Eight bytes at a time: a word
// with no byte below 0x20 and none equal to '"' or '\\' is passed whole; in one that may
// have one, the table decides byte by byte.
// True when word may hold a byte below 0x20, '"' or '\\': never misses one, and may flag
// a word that has none (a borrow from a lower byte).
bool MayNeedEscape(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    const std::uint64_t quote = word ^ (kOnes * '"');
    const std::uint64_t backslash = word ^ (kOnes * '\\');
    return (((word - kOnes * 0x20) | (quote - kOnes) | (backslash - kOnes)) & ~word & kHighs) != 0;
}

std::uint64_t WordAt(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

const char* FirstByteToEscape(const char* at, const char* end) {
    while (at < end && kEscapes[static_cast<unsigned char>(*at)] == 0) {
        ++at;
    }
    return at;
}

// The first byte from at on that must be escaped, or end. Eight bytes at a time: a word
// that cannot hold such a byte is passed whole, the table decides in one that may; a
// text of eight bytes or more ends with the word of its last eight.
const char* NextToEscape(const char* at, const char* end) {
    const char* const start = at;
    while (end - at >= 8) {
        if (MayNeedEscape(WordAt(at))) {
            const char* const found = FirstByteToEscape(at, at + 8);
            if (found != at + 8) {
                return found;
            }
        }
        at += 8;
    }
    if (at != end && end - start >= 8 && !MayNeedEscape(WordAt(end - 8))) {
        return end;
    }
    return FirstByteToEscape(at, end);
}

}  // namespace

void JsonWriter::Spill() {
    out_.append(buffer_, static_cast<std::size_t>(at_ - buffer_));
    at_ = buffer_;
    if (flush_ && out_.size() >= kJsonFlushBytes) {
        flush_(out_);
    }
}

void JsonWriter::Escaped(std::string_view text) {
    constexpr char kHex[] = "0123456789abcdef";
    const char* at = text.data();
    const char* const end = at + text.size();
    for (;;) {
        const char* const special = NextToEscape(at, end);
        const auto run = static_cast<std::size_t>(special - at);
        Room(run + 6);
        std::memcpy(at_, at, run);
        at_ += run;
        if (special == end) {
            return;
        }
        const auto byte = static_cast<unsigned char>(*special);
        const char escape = kEscapes[byte];
        *at_++ = '\\';
        if (escape == 'u') {
            const char sequence[5] = {'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
            std::memcpy(at_, sequence, sizeof sequence);
            at_ += sizeof sequence;
        } else {
            *at_++ = escape;
        }
        at = special + 1;
    }
}

void JsonWriter::String(std::string_view text) {
    Room(2);
    Separate();
    *at_++ = '"';
    while (text.size() > kPiece) {
        // Cut between UTF-8 sequences, so that each piece stays whole text.
        std::size_t cut = kPiece;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
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

void JsonWriter::Number(std::uint64_t value) {
    Room(24);
    Separate();
    at_ = std::to_chars(at_, buffer_ + kBufferBytes, value).ptr;
    comma_ = true;
}

void JsonWriter::Number(std::int64_t value) {
    Room(24);
    Separate();
    at_ = std::to_chars(at_, buffer_ + kBufferBytes, value).ptr;
    comma_ = true;
}

void JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    Room(32);
    Separate();
    at_ = std::to_chars(at_, buffer_ + kBufferBytes, value).ptr;
    comma_ = true;
}

void JsonWriter::EndLine() {
    Room(1);
    *at_++ = '\n';
    comma_ = false;
    Spill();
}

}  // namespace shell_link::detail
