// SPDX-License-Identifier: MIT
#include "json/json_writer.h"

#include "bytes/byte_scan.h"
#include "text/utf8.h"

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

// A byte that is not written as it is: one below 0x20, '"' or '\\' (escaped), or one of
// 0x80 and above, which starts a sequence that is checked to be well-formed UTF-8.
bool NeedsCare(unsigned char byte) { return kEscapes[byte] != 0 || byte >= 0x80; }

bool MayNeedCare(std::uint64_t word) {
    namespace sr = link_format;
    return (sr::WordBytesBelow(word, 0x20) | sr::WordBytesEqual(word, '"') | sr::WordBytesEqual(word, '\\') |
            (word & sr::kByteHighs)) != 0;
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
                                       [](std::uint64_t word) { return MayNeedCare(word); },
                                       [](unsigned char byte) { return NeedsCare(byte); });
        const auto run = static_cast<std::size_t>(special - at);
        Room(run + 6);
        std::memcpy(at_, at, run);
        at_ += run;
        if (special == end) {
            return;
        }
        const auto byte = static_cast<unsigned char>(*special);
        if (byte >= 0x80) {
            // Text a caller built need not be UTF-8: what is not becomes U+FFFD.
            bool well = false;
            const std::size_t length =
                Utf8SequenceLength(reinterpret_cast<const unsigned char*>(special), static_cast<std::size_t>(end - special), well);
            std::memcpy(at_, well ? special : kReplacement, well ? length : kReplacementBytes);
            at_ += well ? length : kReplacementBytes;
            at = special + length;
            continue;
        }
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
