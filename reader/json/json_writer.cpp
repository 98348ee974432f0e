// SPDX-License-Identifier: MIT
#include "json/json_writer.h"

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

// Strings are escaped in pieces of this size, so a huge one is flushed as it goes.
constexpr std::size_t kPiece = std::size_t{16} << 10;

void AppendEscaped(std::string& out, std::string_view text) {
    constexpr char kHex[] = "0123456789abcdef";
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const char escape = kEscapes[byte];
        if (escape == 0) {
            continue;
        }
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (escape == 'u') {
            const char sequence[6] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xF]};
            out.append(sequence, sizeof sequence);
        } else {
            const char sequence[2] = {'\\', escape};
            out.append(sequence, sizeof sequence);
        }
    }
    out.append(text.data() + run, text.size() - run);
}

}  // namespace

void JsonWriter::Key(std::string_view key) {
    Separate();
    out_.push_back('"');
    out_.append(key);
    out_.append("\":", 2);
    comma_ = false;
}

void JsonWriter::String(std::string_view text) {
    Separate();
    out_.push_back('"');
    while (text.size() > kPiece) {
        // Cut between UTF-8 sequences, never inside one: the escaping keeps them whole anyway.
        std::size_t cut = kPiece;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        AppendEscaped(out_, text.substr(0, cut));
        text.remove_prefix(cut);
        MaybeFlush();
    }
    AppendEscaped(out_, text);
    out_.push_back('"');
    comma_ = true;
    MaybeFlush();
}

void JsonWriter::Number(std::uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Value(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::Number(std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Value(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Value(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::EndLine() {
    out_.push_back('\n');
    comma_ = false;
    MaybeFlush();
}

void JsonWriter::Open(char bracket) {
    Separate();
    out_.push_back(bracket);
    comma_ = false;
}

void JsonWriter::Close(char bracket) {
    out_.push_back(bracket);
    comma_ = true;
}

void JsonWriter::Value(std::string_view text) {
    Separate();
    out_.append(text);
    comma_ = true;
}

void JsonWriter::MaybeFlush() {
    if (flush_ && out_.size() >= kJsonFlushBytes) {
        flush_(out_);
    }
}

}  // namespace shell_link::detail
