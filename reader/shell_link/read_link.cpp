// SPDX-License-Identifier: MIT
// The complete reader's one pass: the header, then the sections its flags announce, in
// file order, then the ExtraData blocks up to the TerminalBlock. Each section ends where
// its own size says; one that the input cuts short is read as far as it goes, and
// nothing after it can be found.
#include <array>
#include <cstring>
#include <string>

#include "format/layout.h"
#include "format/values.h"
#include "shell_link/record_walker.h"

namespace shell_link {

namespace detail {

namespace sr = link_format;

namespace {

constexpr std::uint32_t kLinkHeaderSignature = 0x4C;

// The first N bytes of the input; those it does not hold read as zero.
template <std::size_t N>
std::array<unsigned char, N> ZeroPadded(ByteSpan input) {
    std::array<unsigned char, N> bytes{};
    const ByteSpan held = input.Sub(0, N);
    if (held.size > 0) {
        std::memcpy(bytes.data(), held.data, held.size);
    }
    return bytes;
}

// Where the reading stands: the next section's offset, or none once the input ended
// inside a section.
struct Cursor {
    std::uint64_t at = sr::kHeaderBytes;
    bool lost = false;
};

// The span of a section of size bytes at the cursor, which then stands after it; a
// section the input cuts short adds a warning and loses the cursor.
ByteSpan TakeSection(Reading& reading, Cursor& cursor, std::uint64_t size, const char* what) {
    const ByteSpan section = reading.input.Sub(cursor.at, size);
    if (section.size < size) {
        reading.Warn(WarningCode::kTruncated, section,
                     std::string(what) + " of " + ByteCount(size) + " runs past the end of the input, " +
                         ByteCount(section.size) + " are there");
        cursor.lost = true;
    }
    cursor.at += size;
    return section;
}

// A size field of width bytes at the cursor, or none (and a lost cursor) when the input
// ends before it.
template <typename T>
std::optional<T> TakeSize(Reading& reading, Cursor& cursor, const char* what) {
    const std::optional<T> size = Field<T>(reading.input, cursor.at);
    if (!size) {
        reading.Warn(WarningCode::kTruncated, reading.input.Sub(cursor.at, sizeof(T)),
                     std::string("the input ends before the size of ") + what);
        cursor.lost = true;
        return std::nullopt;
    }
    cursor.at += sizeof(T);
    return size;
}

IdList ReadTargetIdList(Reading& reading, Cursor& cursor) {
    IdList list;
    const std::optional<std::uint16_t> size = TakeSize<std::uint16_t>(reading, cursor, "the LinkTargetIDList");
    if (!size) {
        return list;
    }
    list.id_list_size = *size;
    list.items = ReadItems(reading, TakeSection(reading, cursor, *size, "the LinkTargetIDList"));
    SetItemPath(list);
    return list;
}

std::optional<LinkInfo> ReadLinkInfoSection(Reading& reading, Cursor& cursor) {
    const std::uint64_t start = cursor.at;
    const std::optional<std::uint32_t> size = Field<std::uint32_t>(reading.input, start);
    if (!size) {
        TakeSize<std::uint32_t>(reading, cursor, "the LinkInfo");
        return std::nullopt;
    }
    // A LinkInfoSize below 4 does not even hold itself: the next section follows the field.
    const ByteSpan block = TakeSection(reading, cursor, *size < 4 ? 4 : *size, "the LinkInfo");
    return ReadLinkInfo(reading, block.Sub(0, *size));
}

// How many characters of a string of count Windows takes, and how many of them it keeps:
// the strings it cuts end at their 260th character, which it replaces by the terminator.
struct WindowsReading {
    std::uint16_t taken;
    std::uint16_t kept;
};
WindowsReading WindowsReadingOf(std::uint16_t count, bool cut) {
    if (cut && count >= kWindowsStringCharacters) {
        return {kWindowsStringCharacters, kWindowsStringCharacters - 1};
    }
    return {count, count};
}

std::optional<CountedString> ReadString(Reading& reading, Cursor& cursor, bool unicode, bool cut, const char* what) {
    const std::uint64_t start = cursor.at;
    const std::optional<std::uint16_t> count = TakeSize<std::uint16_t>(reading, cursor, what);
    if (!count) {
        return std::nullopt;
    }
    CountedString string;
    string.offset = start;
    string.count_characters = *count;
    const WindowsReading windows = WindowsReadingOf(*count, cut);
    const ByteSpan countField = reading.input.Sub(start, 2);
    const ByteSpan text = TakeSection(reading, cursor, unicode ? 2u * windows.taken : windows.taken, what);
    string.text = unicode ? Utf16Text(reading, text, windows.kept, countField)
                          : AnsiText(reading, text.Sub(0, windows.kept), countField);
    return string;
}

StringData ReadStringData(Reading& reading, Cursor& cursor, std::uint32_t flags) {
    StringData strings;
    const bool unicode = (flags & sr::kIsUnicode) != 0;
    const struct {
        std::optional<CountedString> StringData::*field;
        const char* what;
        std::uint32_t flag;
        bool cut;  // whether Windows reads at most kWindowsStringCharacters of it
    } kStrings[] = {
        {&StringData::name_string, "NAME_STRING", sr::kHasName, true},
        {&StringData::relative_path, "RELATIVE_PATH", sr::kHasRelativePath, true},
        {&StringData::working_dir, "WORKING_DIR", sr::kHasWorkingDir, true},
        {&StringData::command_line_arguments, "COMMAND_LINE_ARGUMENTS", sr::kHasArguments, false},
        {&StringData::icon_location, "ICON_LOCATION", sr::kHasIconLocation, false},
    };
    for (const auto& entry : kStrings) {
        if ((flags & entry.flag) != 0 && !cursor.lost) {
            strings.*entry.field = ReadString(reading, cursor, unicode, entry.cut, entry.what);
        }
    }
    return strings;
}

// Blocks up to the TerminalBlock; then the bytes after it, if any, are trailing data.
// An input that ends where a block would begin has no TerminalBlock, which is not
// reported: the format's own grammar allows the ExtraData to be absent.
std::vector<ExtraDataBlock> ReadExtraData(Reading& reading, const Cursor& cursor, std::optional<TrailingData>& trailing) {
    static constexpr RecordList kBlocks{"an ExtraData block", "ExtraData blocks", "the input", 4, kTerminalBlockBelow,
                                        8, false};
    std::vector<ExtraDataBlock> blocks;
    if (cursor.lost) {
        return blocks;
    }
    // Most links hold two or three: the first allocation small enough for malloc's fast
    // per-thread cache (three blocks of 352 bytes would not be, at most 1032 bytes).
    blocks.reserve(2);
    const ByteSpan list = reading.input.Sub(cursor.at, reading.input.size);
    RecordBudget budget{kMaxBlocks};
    const ListEnd end = WalkRecords(reading, list, kBlocks, budget, [&](ByteSpan block, std::uint32_t size) {
        blocks.push_back(ReadExtraDataBlock(reading, block, size));
        return true;
    });
    if (end.terminated && end.at < list.size) {
        trailing = TrailingData{cursor.at + end.at, list.size - end.at};
    }
    WarnUnlisted(reading, list, kBlocks, budget.unlisted, kMaxBlocks);
    return blocks;
}

}  // namespace

FileTime CheckedFileTime(Reading& reading, std::uint64_t value, ByteSpan at) {
    if (value != 0 && !sr::FileTimeIsValid(value)) {
        reading.Warn(WarningCode::kInvalidTime, at, "a FILETIME lies past the year 9999");
    }
    return FileTime{value};
}

// The 76 bytes of the header; those the input does not hold read as zero.
Header ReadHeader(Reading& reading) {
    const auto bytes = ZeroPadded<sr::kHeaderBytes>(reading.input);
    const ByteSpan held = reading.input.Sub(0, sr::kHeaderBytes);
    if (held.size < sr::kHeaderBytes) {
        reading.Warn(WarningCode::kTruncated, held,
                     "the header has " + ByteCount(held.size) + " of its 76; the missing ones read as zero");
    }
    const ByteSpan span{bytes.data(), bytes.size()};
    const auto u32 = [&](unsigned offset) { return Field<std::uint32_t>(span, offset).value_or(0); };
    const auto time = [&](unsigned offset) {
        return CheckedFileTime(reading, Field<std::uint64_t>(span, offset).value_or(0), reading.input.Sub(offset, 8));
    };
    Header header;
    header.header_size = u32(sr::kHeaderSizeOffset);
    header.link_clsid = GuidField(span, sr::kLinkClsidOffset).value_or(Guid{});
    header.link_flags = u32(sr::kLinkFlagsOffset);
    header.file_attributes = u32(sr::kFileAttributesOffset);
    header.creation_time = time(sr::kCreationTimeOffset);
    header.access_time = time(sr::kAccessTimeOffset);
    header.write_time = time(sr::kWriteTimeOffset);
    header.file_size = u32(sr::kFileSizeOffset);
    header.icon_index = static_cast<std::int32_t>(u32(sr::kIconIndexOffset));
    header.show_command = u32(sr::kShowCommandOffset);
    header.hot_key = Field<std::uint16_t>(span, sr::kHotKeyOffset).value_or(0);
    return header;
}

Link Read(ByteSpan input, std::uint64_t wholeSize, bool cut, CodePage& codePage) {
    Link link;
    link.size = wholeSize;
    // As the other reader decides: the first four bytes, missing ones read as zero.
    const auto signature = ZeroPadded<4>(input);
    if (Field<std::uint32_t>(ByteSpan{signature.data(), signature.size()}, 0) != kLinkHeaderSignature) {
        link.status = Status::kNotAShortcut;
        return link;
    }
    Reading reading{input, codePage, {}};
    if (cut) {
        reading.Warn(WarningCode::kTruncated, input.Sub(input.size, 0),
                     "only the first " + ByteCount(input.size) + " of the input were read" +
                         (wholeSize > input.size ? ", of its " + std::to_string(wholeSize) : std::string()));
    }
    Cursor cursor;
    link.header = ReadHeader(reading);
    const std::uint32_t flags = link.header.link_flags;
    cursor.lost = input.size < sr::kHeaderBytes;  // the header's own warning says so
    if ((flags & sr::kHasLinkTargetIdList) != 0 && !cursor.lost) {
        link.link_target_id_list = ReadTargetIdList(reading, cursor);
    }
    if ((flags & sr::kHasLinkInfo) != 0 && !cursor.lost) {
        link.link_info = ReadLinkInfoSection(reading, cursor);
    }
    link.string_data = ReadStringData(reading, cursor, flags);
    link.extra_data = ReadExtraData(reading, cursor, link.trailing_data);
    if (link.trailing_data) {
        link.trailing_data->size = wholeSize - link.trailing_data->offset;
    }
    link.warnings = reading.warnings.Finish();
    link.target = TargetOf(link);
    return link;
}

Link ReadAndAnalyze(ByteSpan input, std::uint64_t wholeSize, bool cut, CodePage& codePage) {
    Link link = Read(input, wholeSize, cut, codePage);
    std::vector<Warning> suspicions = Analyze(link);
    link.warnings.insert(link.warnings.end(), std::make_move_iterator(suspicions.begin()),
                         std::make_move_iterator(suspicions.end()));
    return link;
}

}  // namespace detail

Link ReadLink(const void* bytes, std::size_t size, CodePage& codePage) {
    const detail::ByteSpan input{static_cast<const unsigned char*>(bytes), bytes == nullptr ? 0 : size};
    return detail::ReadAndAnalyze(input, input.size, false, codePage);
}

}  // namespace shell_link
