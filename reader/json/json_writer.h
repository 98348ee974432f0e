// SPDX-License-Identifier: MIT
// A small streaming JSON writer: values are written as they come, commas where they
// belong, strings escaped by one function, numbers by std::to_chars. It keeps no stack:
// the caller opens and closes what it writes, and keys are literals that need no
// escaping. It writes into a buffer of its own, which it appends to the output string
// whenever it fills and when it is done (so the output is never zero-filled ahead).
#ifndef SHORTCUT_READER_JSON_JSON_WRITER_H
#define SHORTCUT_READER_JSON_JSON_WRITER_H

#include <shortcut_reader/shell_link_json.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace shell_link::detail {

class JsonWriter {
public:
    // cppcheck-suppress uninitMemberVar
    JsonWriter(std::string& out, const JsonFlush& flush) : out_(out), flush_(flush) {}
    ~JsonWriter() { Spill(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // "key": before the value that follows. Keys are literals, so their copies inline.
    template <std::size_t N>
    void Key(const char (&key)[N]) {
        Room(N + 3);
        char* at = Separated();
        *at++ = '"';
        std::memcpy(at, key, N - 1);
        at += N - 1;
        *at++ = '"';
        *at++ = ':';
        Wrote(at, false);
    }

    // text must be valid UTF-8: it is escaped, not checked.
    void String(std::string_view text);
    // A short text (at most kPiece bytes) that needs no escaping: hex digits, a time, a
    // name from the format's tables.
    void PlainString(std::string_view text) {
        Room(text.size() + 3);
        char* at = Separated();
        *at++ = '"';
        std::memcpy(at, text.data(), text.size());
        at += text.size();
        *at++ = '"';
        Wrote(at, true);
    }
    // Bytes as a string of two lower-case hex digits each, however many.
    void HexBytes(const std::uint8_t* bytes, std::size_t count);
    void Null() { Literal("null"); }
    void Bool(bool value) {
        if (value) {
            Literal("true");
        } else {
            Literal("false");
        }
    }
    void Number(std::uint64_t value) {
        if (value >= 100) {
            WholeNumber(value);
            return;
        }
        // Two numbers of a record in three are below 100 (types, small sizes, indexes):
        // their digits inline, without a call.
        Room(3);
        char* at = Separated();
        if (value >= 10) {
            *at++ = static_cast<char>('0' + value / 10);
        }
        *at++ = static_cast<char>('0' + value % 10);
        Wrote(at, true);
    }
    void Number(std::int64_t value);
    void Number(double value);  // null for NaN and the infinities, which JSON lacks
    // Text the caller has made a valid JSON value already (a number written by hand).
    void Raw(std::string_view value) { Value(value); }

    // Ends the record's line.
    void EndLine();

private:
    void Open(char bracket) {
        Room(2);
        char* at = Separated();
        *at++ = bracket;
        Wrote(at, false);
    }
    void Close(char bracket) {
        Room(1);
        *at_++ = bracket;
        comma_ = true;
    }
    void Value(std::string_view text) {
        Room(text.size() + 1);
        char* at = Separated();
        std::memcpy(at, text.data(), text.size());
        Wrote(at + text.size(), true);
    }
    template <std::size_t N>
    void Literal(const char (&text)[N]) {
        Room(N);
        char* at = Separated();
        std::memcpy(at, text, N - 1);
        Wrote(at + N - 1, true);
    }
    // Only after Room(): where a value goes, after the comma it needs after another one.
    // The writers write through this copy of at_ and then store it back with Wrote(): a
    // byte written through at_ itself may alias it, so the compiler would load it again.
    char* Separated() {
        char* at = at_;
        if (comma_) {
            *at++ = ',';
        }
        return at;
    }
    // Where the writing stands, and whether a value stands before it.
    void Wrote(char* at, bool comma) {
        at_ = at;
        comma_ = comma;
    }
    void Put(std::string_view text) {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }
    // Makes room for count more bytes, at most kPiece + 8: nothing is written in bigger
    // parts.
    void Room(std::size_t count) {
        if (static_cast<std::size_t>(buffer_ + kBufferBytes - at_) < count) {
            Spill();
        }
    }
    void Escaped(std::string_view text);
    // Writes the bytes at at as they are up to the first that needs care, then that one,
    // taking at most count of them; returns how many it took. It reads a whole step at at
    // (end is where the text ends), and copies all of it ahead of the check, into room it
    // made: only the plain bytes are kept.
    std::size_t Step(const char* at, std::size_t count, const char* end);
    // The UTF-8 sequence at lead, or U+FFFD for one that is not well-formed; returns the
    // bytes it took. Only after Room() for 4.
    std::size_t Utf8Sequence(const char* lead, const char* end);
    // A byte below 0x20, '"' or '\\', escaped. Only after Room() for 6.
    void Escape(unsigned char byte);
    template <typename Integer>
    void WholeNumber(Integer value);
    // Appends the buffer to out, and flushes out once it holds kJsonFlushBytes or more.
    void Spill();

    // Strings are escaped in pieces of this size, so a huge one is flushed as it goes.
    static constexpr std::size_t kPiece = std::size_t{16} << 10;
    static constexpr std::size_t kBufferBytes = 2 * kPiece;

    std::string& out_;
    const JsonFlush& flush_;
    char buffer_[kBufferBytes];  // written before it is read: no need to clear it
    char* at_ = buffer_;
    bool comma_ = false;  // a value stands before: the next one needs a comma
};

}  // namespace shell_link::detail

#endif
