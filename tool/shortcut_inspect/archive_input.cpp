// SPDX-License-Identifier: MIT
#include "archive_input.h"

#include <errno.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "link_header.h"

#ifdef SHORTCUT_WITH_LIBARCHIVE
#include <archive.h>
#include <archive_entry.h>
#endif

namespace inspect {

namespace {

bool EndsWithAnyCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

bool HasAt(const unsigned char* bytes, std::size_t size, std::size_t offset, std::string_view magic) {
    return size >= offset && size - offset >= magic.size() && std::memcmp(bytes + offset, magic.data(), magic.size()) == 0;
}

}  // namespace

bool IsArchiveName(const std::string& name) {
    static constexpr std::string_view kSuffixes[] = {".zip", ".7z",  ".rar",     ".iso",     ".cab",  ".tar", ".tgz",
                                                     ".tar.gz", ".tar.bz2", ".tar.xz", ".tbz2", ".txz"};
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes),
                       [&name](std::string_view suffix) { return EndsWithAnyCase(name, suffix); });
}

bool LooksLikeArchive(const unsigned char* bytes, std::size_t size) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kStarts[] = {
        "PK\x03\x04"sv,                  // ZIP: a local file header
        "PK\x05\x06"sv,                  // ZIP: the end of an empty one
        "7z\xBC\xAF\x27\x1C"sv,          // 7z
        "Rar!\x1A\x07"sv,                // RAR 4 and 5
        "MSCF\0\0\0\0"sv,                // a cabinet
        "\xFD" "7zXZ\0"sv,               // xz
        "\x1F\x8B"sv,                    // gzip
        "BZh"sv,                         // bzip2
    };
    if (bytes == nullptr) {
        return false;
    }
    const auto at = [bytes, size](std::size_t offset, std::string_view magic) { return HasAt(bytes, size, offset, magic); };
    return std::any_of(std::begin(kStarts), std::end(kStarts), [&at](std::string_view magic) { return at(0, magic); }) ||
           at(257, "ustar") || at(0x8001, "CD001") || at(0x8801, "CD001") || at(0x9001, "CD001");
}

#ifndef SHORTCUT_WITH_LIBARCHIVE

bool ArchivesAvailable() { return false; }

bool ReadArchive(const std::string& /*path*/, shell_link::CodePage& /*codePage*/, const shell_link::LinkSink& /*sink*/) {
    return true;
}

std::optional<bool> VisitArchive(const std::string& /*path*/, const Options& /*options*/,
                                 shell_link::CodePage& /*codePage*/, const shell_link::LinkSink& /*sink*/) {
    return std::nullopt;
}

#else

bool ArchivesAvailable() { return true; }

namespace {

// Bytes read from a member at a time.
constexpr std::size_t kChunk = std::size_t{64} << 10;
constexpr auto kMaxMemberBytes = static_cast<std::size_t>(shell_link::kMaxInputBytes);

// Where the records of one archive go: the archive file as given, what names the
// archive inside it (empty for the file itself), and how deep it lies.
struct Place {
    const std::string& path;
    std::string member;  // "inner.zip" for a nested archive, so its members read "inner.zip#a.lnk"
    int depth;
    shell_link::CodePage& codePage;
    const shell_link::LinkSink& sink;
};

// Replaces every byte that does not start or continue a valid UTF-8 sequence by U+FFFD,
// so that a member's name is text whatever the archive holds.
std::string ValidUtf8(const char* text) {
    std::string out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = std::strlen(text);
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                                          : 0;
        bool valid = length != 0 && size - i >= length;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (bytes[i + k] & 0xC0) == 0x80;
        }
        if (valid && length >= 3) {  // neither overlong, nor a surrogate, nor past U+10FFFF
            const unsigned char second = bytes[i + 1];
            valid = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second >= 0xA0) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second >= 0x90);
        }
        if (valid) {
            out.append(text + i, length);
            i += length;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string MemberName(archive_entry* entry) {
    const char* name = archive_entry_pathname_utf8(entry);
    if (name == nullptr) {
        name = archive_entry_pathname(entry);
    }
    return ValidUtf8(name != nullptr ? name : "");
}

shell_link::Container Where(const Place& place, const std::optional<std::string>& member) {
    shell_link::Container where;
    where.kind = shell_link::ContainerKind::kArchive;
    where.path = place.path;
    if (member) {
        where.member = place.member.empty() ? *member : place.member + "#" + *member;
    } else if (!place.member.empty()) {
        where.member = place.member;
    }
    return where;
}

// A record of kFileError for the member (or the archive, without one), with the reason.
bool Error(const Place& place, const std::optional<std::string>& member, const std::string& reason, int error = 0) {
    shell_link::Container where = Where(place, member);
    const std::string file = shell_link::ContainedFileName(where);
    shell_link::Link link = shell_link::UnreadableFile(file.c_str(), error);
    if (!reason.empty()) {
        link.error = reason;
    }
    link.container = std::move(where);
    return place.sink(link);
}

std::string Reason(archive* reader, const char* otherwise) {
    const char* text = archive_error_string(reader);
    return ValidUtf8(text != nullptr && *text != '\0' ? text : otherwise);
}

// Reads member data into bytes until it holds most bytes or the member ends. Returns
// ARCHIVE_OK, or what archive_read_data failed with.
int ReadData(archive* reader, std::size_t most, std::vector<unsigned char>& bytes) {
    while (bytes.size() < most) {
        const std::size_t have = bytes.size();
        bytes.resize(have + std::min(kChunk, most - have));
        const la_ssize_t got = archive_read_data(reader, bytes.data() + have, bytes.size() - have);
        if (got <= 0) {
            bytes.resize(have);
            return got == 0 ? ARCHIVE_OK : static_cast<int>(got);
        }
        bytes.resize(have + static_cast<std::size_t>(got));
    }
    return ARCHIVE_OK;
}

bool ReadEntries(archive* reader, const Place& place);

// Whether opening failed because no format libarchive knows matched the bytes.
bool Unrecognized(archive* reader) { return archive_errno(reader) == EILSEQ; }

// An archive inside the archive, read from memory.
bool ReadNested(const std::vector<unsigned char>& bytes, const Place& outer, const std::string& member) {
    archive* reader = archive_read_new();
    if (reader == nullptr) {
        throw std::bad_alloc();
    }
    const Place place{outer.path, Where(outer, member).member.value_or(member), outer.depth + 1, outer.codePage,
                      outer.sink};
    bool going = true;
    if (archive_read_support_filter_all(reader) != ARCHIVE_OK || archive_read_support_format_all(reader) != ARCHIVE_OK ||
        archive_read_open_memory(reader, bytes.data(), bytes.size()) != ARCHIVE_OK) {
        // Compressed data that holds no archive (a log.gz) is a member like any other.
        if (!Unrecognized(reader)) {
            going = Error(place, std::nullopt, Reason(reader, "cannot be opened as an archive"));
        }
    } else {
        going = ReadEntries(reader, place);
    }
    archive_read_free(reader);
    return going;
}

// What the member's bytes give: its link's record, its Jump List's, the records of the
// archive it is, or nothing.
bool ReadContent(const std::vector<unsigned char>& bytes, const Place& place, const std::string& member) {
    switch (shell_link::ContentOf(bytes.data(), bytes.size())) {
        case shell_link::Content::kLink: {
            shell_link::Link link = shell_link::ReadLink(bytes.data(), bytes.size(), place.codePage);
            link.container = Where(place, member);
            link.file = shell_link::ContainedFileName(*link.container);
            return place.sink(link);
        }
        case shell_link::Content::kAutomaticDestinations:
        case shell_link::Content::kCustomDestinations: {
            shell_link::Container where = Where(place, member);
            where.app_id = shell_link::AppIdOf(member);
            return shell_link::ReadJumpList(bytes.data(), bytes.size(), where, place.codePage, place.sink);
        }
        case shell_link::Content::kOther: break;
    }
    return true;
}

// Whether the member is worth reading whole, from its first bytes.
bool Wanted(const std::vector<unsigned char>& bytes, int depth) {
    return shell_link::ContentOf(bytes.data(), bytes.size()) != shell_link::Content::kOther ||
           (depth == 0 && LooksLikeArchive(bytes.data(), bytes.size()));
}

// One regular member: its first bytes tell whether to read it on, and what it is.
// Returns false when sink stopped; fatal is set when the archive can be read no further.
bool ReadMember(archive* reader, archive_entry* entry, const Place& place, const std::string& member, bool& fatal) {
    if (archive_entry_is_encrypted(entry) != 0) {
        return Error(place, member, "encrypted, and no passphrase is given");
    }
    std::vector<unsigned char> bytes;
    int result = ReadData(reader, kArchiveProbeBytes, bytes);
    const bool wanted = result == ARCHIVE_OK && Wanted(bytes, place.depth);
    if (wanted) {
        result = ReadData(reader, kMaxMemberBytes, bytes);
    }
    if (result != ARCHIVE_OK) {
        fatal = result == ARCHIVE_FATAL;
        return Error(place, member, Reason(reader, "damaged"));
    }
    if (!wanted) {
        return true;
    }
    const bool nested = shell_link::ContentOf(bytes.data(), bytes.size()) == shell_link::Content::kOther;
    return nested ? ReadNested(bytes, place, member) : ReadContent(bytes, place, member);
}

bool ReadEntries(archive* reader, const Place& place) {
    for (unsigned long count = 0;; ++count) {
        archive_entry* entry = nullptr;
        const int result = archive_read_next_header(reader, &entry);
        if (result == ARCHIVE_EOF) {
            return true;
        }
        if (count == kMaxArchiveMembers) {
            return Error(place, std::nullopt,
                         "more than " + std::to_string(kMaxArchiveMembers) + " members: the rest were not read");
        }
        if (result == ARCHIVE_FATAL || entry == nullptr) {
            return Error(place, std::nullopt, Reason(reader, "damaged"));
        }
        const std::string member = MemberName(entry);
        if (result == ARCHIVE_FAILED || result == ARCHIVE_RETRY) {
            if (!Error(place, member, Reason(reader, "damaged"))) {
                return false;
            }
            continue;
        }
        const auto type = archive_entry_filetype(entry);
        if (type != AE_IFREG && type != 0) {  // 0: a format that does not say
            continue;
        }
        bool fatal = false;
        bool going = true;
        try {
            going = ReadMember(reader, entry, place, member, fatal);
        } catch (const std::bad_alloc&) {
            going = Error(place, member, "", ENOMEM);
        }
        if (!going || fatal) {
            return going;
        }
    }
}

// The archive at path; with recognizedOnly, nothing when no format libarchive knows
// matches its bytes (nor a record), else false when sink stopped the reading.
std::optional<bool> ReadArchiveFile(const std::string& path, shell_link::CodePage& codePage,
                                    const shell_link::LinkSink& sink, bool recognizedOnly) {
    archive* reader = archive_read_new();
    if (reader == nullptr) {
        shell_link::Link link = shell_link::UnreadableFile(path.c_str(), ENOMEM);
        return sink(link);
    }
    const Place place{path, std::string(), 0, codePage, sink};
    std::optional<bool> going;
    if (archive_read_support_filter_all(reader) != ARCHIVE_OK || archive_read_support_format_all(reader) != ARCHIVE_OK ||
        archive_read_open_filename(reader, path.c_str(), kChunk) != ARCHIVE_OK) {
        // A file that cannot be opened says so as any other input does.
        const int error = archive_errno(reader);
        const bool system = error > 0 && error != EILSEQ && error != EINVAL;
        if (!recognizedOnly || !Unrecognized(reader)) {
            going = Error(place, std::nullopt, system ? std::string() : Reason(reader, "cannot be opened as an archive"),
                          system ? error : 0);
        }
    } else {
        going = ReadEntries(reader, place);
    }
    archive_read_free(reader);
    return going;
}

}  // namespace

bool ReadArchive(const std::string& path, shell_link::CodePage& codePage, const shell_link::LinkSink& sink) {
    return ReadArchiveFile(path, codePage, sink, false).value_or(true);
}

std::optional<bool> VisitArchive(const std::string& path, const Options& options, shell_link::CodePage& codePage,
                                 const shell_link::LinkSink& sink) {
    if (options.noArchives) {
        return std::nullopt;
    }
    std::vector<unsigned char> start;
    if (ReadFirstBytes(path, kArchiveProbeBytes, start) != 0 ||
        shell_link::ContentOf(start.data(), start.size()) != shell_link::Content::kOther ||
        !LooksLikeArchive(start.data(), start.size())) {
        return std::nullopt;
    }
    return ReadArchiveFile(path, codePage, sink, true);
}

#endif

}  // namespace inspect
