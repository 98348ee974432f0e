// SPDX-License-Identifier: MIT
// Body file (Sleuth Kit 3.x) lines: MD5|name|inode|mode|UID|GID|size|atime|mtime|ctime|crtime.
// A backslash in a name is doubled and control characters are written "\xHH". mactime
// splits a line at every "|", even after a backslash, and then decodes "%XX" in each
// field: a name's "|" is written "%7C" and its "%" "%25", which mactime turns back into
// them (a "%0A" left as it is would become a line break there, and the line be lost).
#include <shortcut_reader/shell_link_timeline.h>

#include <charconv>

#include "timeline/time_sources.h"

namespace shell_link {

namespace {

using detail::TimeSource;
using detail::TimeSourceKind;

const char* Which(TimeSourceKind kind) {
    switch (kind) {
        case TimeSourceKind::kLinkFile:
            return "link file times";
        case TimeSourceKind::kDestList:
            return "DestList last access";
        case TimeSourceKind::kTarget:
            return "target times";
        case TimeSourceKind::kShellItem:
            return "shell item times";
        case TimeSourceKind::kTrackerDroid:
            return "tracker droid time";
        case TimeSourceKind::kTrackerBirthDroid:
            return "tracker birth droid time";
    }
    return "";
}

void AppendEscaped(std::string_view text, std::string& out) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '|') {
            out += "%7C";
        } else if (c == '%') {
            out += "%25";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kDigits[byte >> 4];
            out += kDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
}

void AppendNumber(std::int64_t number, std::string& out) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

void AppendTime(std::uint64_t filetime, std::string& out) {
    out += '|';
    if (filetime == 0) {
        out += '0';
    } else {
        AppendNumber(detail::UnixSeconds(filetime), out);
    }
}

}  // namespace

void AppendBodyLines(const Link& link, std::string& out) {
    const std::optional<std::string>* md5 = link.link_file ? &link.link_file->md5 : nullptr;
    for (const TimeSource& source : detail::TimeSourcesOf(link)) {
        out += md5 != nullptr && *md5 ? std::string_view(**md5) : std::string_view("0");
        out += '|';
        AppendEscaped(link.file, out);
        if (!source.subject.empty()) {
            out += " -> ";
            AppendEscaped(source.subject, out);
        }
        out += " (";
        out += Which(source.kind);
        out += ")|0|0|0|0|";
        AppendNumber(static_cast<std::int64_t>(source.size), out);
        AppendTime(source.accessed, out);
        AppendTime(source.modified, out);
        AppendTime(source.changed, out);
        AppendTime(source.born, out);
        out += '\n';
    }
}

}  // namespace shell_link
