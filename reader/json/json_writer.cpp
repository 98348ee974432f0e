// SPDX-License-Identifier: MIT
#include "json/json_writer.h"

#include "bytes/byte_scan.h"

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

// A byte that must be escaped: one below 0x20, '"' or '\\'.
bool NeedsEscape(unsigned char byte) { return kEscapes[byte] != 0; }

bool MayNeedEscape(std::uint64_t word) {
    namespace sr = link_format;
    return (sr::WordBytesBelow(word, 0x20) | sr::WordBytesEqual(word, '"') | sr::WordBytesEqual(word, '\\')) != 0;
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
        // Lambdas, so that both tests inline into the scan.
        const char* const special =
            at + link_format::FindByte(std::string_view(at, static_cast<std::size_t>(end - at)), 0,
                                           [](std::uint64_t word) { return MayNeedEscape(word); },
                                           [](unsigned char byte) { return NeedsEscape(byte); });
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

template <typename Integer>
void JsonWriter::WholeNumber(Integer value) {
    Room(24);
    Separate();
    at_ = std::to_chars(at_, buffer_ + kBufferBytes, value).ptr;
    comma_ = true;
}

void JsonWriter::Number(std::uint64_t value) { WholeNumber(value); }
void JsonWriter::Number(std::int64_t value) { WholeNumber(value); }

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
