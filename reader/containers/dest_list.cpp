// SPDX-License-Identifier: MIT
#include "containers/dest_list.h"

#include <cstring>
#include <string>

#include "shell_link/reading.h"
#include "text/utf16.h"

namespace shell_link::detail {

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kHostNameOffset = 72;
constexpr std::size_t kHostNameSize = 16;
// The fixed part of an entry, up to its path's length, and what follows the path.
constexpr std::size_t kShortFixed = 114;
constexpr std::size_t kLongFixed = 130;
constexpr std::size_t kLongAfterPath = 4;

Guid GuidAt(ByteSpan entry, std::size_t offset) {
    Guid guid{};
    std::memcpy(guid.data(), entry.data + offset, guid.size());
    return guid;
}

// The host name's bytes before the first zero, decoded from the code page; absent when
// there are none.
std::optional<std::string> HostName(ByteSpan entry, CodePage& codePage, DestListEntryRead& read, std::uint64_t at) {
    const ByteSpan name = entry.Sub(kHostNameOffset, kHostNameSize);
    const std::size_t length = ZeroTerminatedBytes(name);
    if (length == 0) {
        return std::nullopt;
    }
    std::string text;
    if (!codePage.Decode(name.data, length, text)) {
        read.warnings.push_back({WarningCode::kUndecodableText, at + kHostNameOffset,
                                 "the DestList entry's host name holds bytes the code page does not decode (now U+FFFD)"});
    }
    return text;
}

// The fields both layouts share, of an entry known to hold its fixed part.
DestListEntryRead ReadFixedPart(ByteSpan entry, std::uint32_t version, std::uint64_t at, CodePage& codePage) {
    DestListEntryRead read;
    DestListEntry& fields = read.entry;
    fields.dest_list_version = version;
    fields.offset = at;
    fields.checksum = *Field<std::uint64_t>(entry, 0);
    fields.droid_volume_id = GuidAt(entry, 8);
    fields.droid_file_id = GuidAt(entry, 24);
    fields.droid_birth_volume_id = GuidAt(entry, 40);
    fields.droid_birth_file_id = GuidAt(entry, 56);
    fields.hostname = HostName(entry, codePage, read, at);
    fields.entry_number = *Field<std::uint32_t>(entry, 88);
    const std::uint32_t scoreBits = *Field<std::uint32_t>(entry, 96);
    std::memcpy(&fields.score, &scoreBits, sizeof fields.score);
    const std::uint64_t time = *Field<std::uint64_t>(entry, 100);
    if (time != 0) {
        fields.last_access_time = FileTime{time};
    }
    const auto pin = static_cast<std::int32_t>(*Field<std::uint32_t>(entry, 108));
    fields.pinned = pin >= 0;
    if (fields.pinned) {
        fields.pin_position = pin;
    }
    if (version != 1) {
        fields.entry_status = *Field<std::uint32_t>(entry, 112);
        fields.access_count = *Field<std::uint32_t>(entry, 116);
    }
    return read;
}

}  // namespace

DestListRead ReadDestList(ByteSpan stream, CodePage& codePage) {
    DestListRead list;
    if (stream.size == 0) {
        return list;  // an empty list: Windows writes it so
    }
    if (stream.size < kHeaderSize) {
        list.damage.push_back({WarningCode::kTruncated, 0, "the DestList stream is shorter than its 32-byte header"});
        return list;
    }
    // Every entry says its list's version, so one not seen in real lists shows there.
    list.version = *Field<std::uint32_t>(stream, 0);
    const bool shortLayout = list.version == 1;
    const std::size_t fixed = shortLayout ? kShortFixed : kLongFixed;
    const std::size_t after = shortLayout ? 0 : kLongAfterPath;
    std::uint64_t at = kHeaderSize;
    while (at < stream.size) {
        const ByteSpan rest = stream.Sub(at, stream.size);
        if (rest.size < fixed) {
            list.damage.push_back({WarningCode::kTruncated, at,
                                   ByteCount(rest.size) + " after the last DestList entry are too few for another"});
            break;
        }
        const std::uint16_t length = *Field<std::uint16_t>(rest, fixed - 2);
        const std::uint64_t pathBytes = 2 * static_cast<std::uint64_t>(length);
        const std::uint64_t size = fixed + pathBytes + after;
        if (size > rest.size) {
            list.damage.push_back({WarningCode::kTruncated, at,
                                   "the DestList entry's path of " + std::to_string(length) +
                                       " characters runs past the end of the stream"});
            break;
        }
        DestListEntryRead read = ReadFixedPart(rest, list.version, at, codePage);
        bool paired = true;
        read.entry.path = Utf16ToUtf8(rest.data + fixed, length, paired);
        if (!paired) {
            read.warnings.push_back({WarningCode::kUnpairedSurrogate, at + fixed,
                                     "the DestList entry's path holds a surrogate without its pair (now U+FFFD)"});
        }
        list.entries.push_back(std::move(read));
        at += size;
    }
    return list;
}

}  // namespace shell_link::detail
