// SPDX-License-Identifier: MIT
// A small streaming JSON writer: values are appended to a string as they come, commas
// where they belong, strings escaped by one function, numbers by std::to_chars. It keeps
// no stack: the caller opens and closes what it writes, and keys are literals that need
// no escaping.
#ifndef SHORTCUT_READER_JSON_JSON_WRITER_H
#define SHORTCUT_READER_JSON_JSON_WRITER_H

#include <shortcut_reader/shell_link_json.h>

#include <cstdint>
#include <optional>
#include <type_traits>
#include <string>
#include <string_view>

namespace shell_link::detail {

class JsonWriter {
public:
    JsonWriter(std::string& out, const JsonFlush& flush) : out_(out), flush_(flush) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // "key": before the value that follows.
    void Key(std::string_view key);

    // text must be valid UTF-8: it is escaped, not checked.
    void String(std::string_view text);
    void Null() { Value("null"); }
    void Bool(bool value) { Value(value ? "true" : "false"); }
    void Number(std::uint64_t value);
    void Number(std::int64_t value);
    void Number(double value);  // null for NaN and the infinities, which JSON lacks
    // Text the caller has made a valid JSON value already (a number written by hand).
    void Raw(std::string_view value) { Value(value); }

    template <typename T>
    void Optional(const std::optional<T>& value) {
        if (value) {
            Write(*value);
        } else {
            Null();
        }
    }

    // Ends the record's line.
    void EndLine();

private:
    void Write(const std::string& text) { String(text); }
    template <typename T>
    void Write(T number) {
        if constexpr (std::is_signed_v<T>) {
            Number(static_cast<std::int64_t>(number));
        } else {
            Number(static_cast<std::uint64_t>(number));
        }
    }
    void Open(char bracket);
    void Close(char bracket);
    void Value(std::string_view text);
    void Separate() {
        if (comma_) {
            out_.push_back(',');
        }
    }
    void MaybeFlush();

    std::string& out_;
    const JsonFlush& flush_;
    bool comma_ = false;  // a value stands before: the next one needs a comma
};

}  // namespace shell_link::detail

#endif
