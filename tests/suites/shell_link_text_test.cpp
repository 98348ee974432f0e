// SPDX-License-Identifier: MIT
// Text of the complete reader: its own UTF-16 decoding held to iconv's, paths made valid
// UTF-8, an unknown code page, and JSON strings of any content read back as written.
#include <gtest/gtest.h>
#include <iconv.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <random>
#include <string>
#include <vector>

#include "records.h"
#include "shell_link/reading.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace {

std::string IconvUtf16(const std::vector<unsigned char>& bytes) {
    iconv_t converter = iconv_open("UTF-8", "UTF-16LE");
    std::string out(bytes.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
    iconv_close(converter);
    EXPECT_NE(result, static_cast<std::size_t>(-1));
    out.resize(out.size() - outLeft);
    return out;
}

// Units of every width: ASCII, two- and three-byte BMP characters, and surrogate pairs.
std::uint32_t Below(std::mt19937& random, std::uint32_t limit) { return static_cast<std::uint32_t>(random() % limit); }

std::vector<unsigned char> RandomUtf16(std::mt19937& random) {
    std::vector<unsigned char> bytes;
    const auto put = [&bytes](std::uint32_t unit) {
        bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        bytes.push_back(static_cast<unsigned char>(unit >> 8));
    };
    const std::uint32_t count = Below(random, 300);
    for (std::uint32_t i = 0; i < count; ++i) {
        switch (Below(random, 5)) {
            case 0: case 1: put(0x20 + Below(random, 0x5F)); break;
            case 2: put(0x80 + Below(random, 0x780)); break;
            case 3: put(0xE000 + Below(random, 0x2000)); break;
            default: {
                const std::uint32_t code = 0x10000 + Below(random, 0x100000);
                put(0xD800 + ((code - 0x10000) >> 10));
                put(0xDC00 + ((code - 0x10000) & 0x3FF));
            }
        }
    }
    return bytes;
}

TEST(Utf16Decoding, GivesWhatIconvGivesForEveryValidText) {
    std::mt19937 random(2026);
    for (int round = 0; round < 2000; ++round) {
        const std::vector<unsigned char> bytes = RandomUtf16(random);
        bool paired = true;
        const std::string decoded = shell_link::detail::Utf16ToUtf8(bytes.data(), bytes.size() / 2, paired);
        EXPECT_TRUE(paired);
        ASSERT_EQ(decoded, IconvUtf16(bytes)) << "round " << round;
    }
}

TEST(Utf16Decoding, MakesEachUnpairedSurrogateOneReplacementCharacter) {
    const struct {
        std::u16string units;
        std::string utf8;
    } rows[] = {
        {u"\xD800", "\xEF\xBF\xBD"},
        {u"\xDC00x", "\xEF\xBF\xBDx"},
        {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {u"\xD800\xD800\xDC00", "\xEF\xBF\xBD\xF0\x90\x80\x80"},
        {u"abcd\xD83D", "abcd\xEF\xBF\xBD"},
    };
    for (const auto& row : rows) {
        std::vector<unsigned char> bytes;
        for (const char16_t unit : row.units) {
            bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
            bytes.push_back(static_cast<unsigned char>(unit >> 8));
        }
        bool paired = true;
        EXPECT_EQ(shell_link::detail::Utf16ToUtf8(bytes.data(), row.units.size(), paired), row.utf8);
        EXPECT_FALSE(paired);
    }
}

TEST(PathText, KeepsUtf8AndReplacesEveryByteThatIsNot) {
    const struct {
        const char* path;
        const char* valid;
    } rows[] = {
        {"links/a.lnk", "links/a.lnk"},
        {"caf\xC3\xA9/\xF0\x9F\x98\x80", "caf\xC3\xA9/\xF0\x9F\x98\x80"},
        {"\xFF.lnk", "\xEF\xBF\xBD.lnk"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},               // an overlong form
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // past U+10FFFF
        {"a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD"},               // cut short
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell_link::detail::ValidUtf8(row.path), row.valid) << row.path;
    }
}

TEST(PathText, FindsAByteFrom0x80AtAnyPlace) {
    for (std::size_t size = 0; size < 40; ++size) {
        std::vector<unsigned char> bytes(size, 0x7F);
        EXPECT_TRUE(shell_link::detail::IsAscii(bytes.data(), size)) << size;
        for (std::size_t at = 0; at < size; ++at) {
            bytes[at] = 0x80;
            EXPECT_FALSE(shell_link::detail::IsAscii(bytes.data(), size)) << size << " " << at;
            bytes[at] = 0x7F;
        }
    }
}

// Units with a zero byte, or the high bit alone, are not the terminator; an odd last
// byte is no unit.
TEST(Utf16Decoding, EndsAtTheFirstZeroUnitAtAnyPlace) {
    const std::uint16_t units[] = {0x0100, 0x0001, 0x8000, 0xFFFF, 0x0041};
    for (std::size_t count = 0; count < 24; ++count) {
        std::vector<unsigned char> bytes;
        for (std::size_t i = 0; i < count; ++i) {
            bytes.push_back(static_cast<unsigned char>(units[i % 5] & 0xFF));
            bytes.push_back(static_cast<unsigned char>(units[i % 5] >> 8));
        }
        bytes.push_back(0);  // half a unit
        const shell_link::detail::ByteSpan span{bytes.data(), bytes.size()};
        EXPECT_EQ(shell_link::detail::ZeroTerminatedUnits(span), count) << count;
        for (std::size_t at = 0; at < count; ++at) {
            std::vector<unsigned char> cut = bytes;
            cut[2 * at] = 0;
            cut[2 * at + 1] = 0;
            EXPECT_EQ(shell_link::detail::ZeroTerminatedUnits({cut.data(), cut.size()}), at) << count << " " << at;
        }
    }
}

TEST(CodePages, ThatIconvLacksDecodeOnlyAscii) {
    shell_link::CodePage missing("NO-SUCH-CODE-PAGE");
    EXPECT_FALSE(missing.valid());
    std::string text;
    const unsigned char bytes[] = {'a', 0xE9, 'z'};
    EXPECT_FALSE(missing.Decode(bytes, sizeof bytes, text));
    EXPECT_EQ(text, "a\xEF\xBF\xBDz");
    EXPECT_TRUE(shell_link::CodePage("CP1252").valid());
}

// Every byte below 0x80, multibyte characters at every place, and lengths that cross the
// writer's pieces and buffer: read back by a parser of its own as exactly the text.
TEST(JsonStrings, ReadBackAsWrittenWhateverTheyHold) {
    std::mt19937 random(9);
    const char* const characters[] = {"\xC3\xA9", "\xE6\xBC\xA2", "\xF0\x9F\x98\x80", "\"", "\\", "/"};
    for (const std::size_t length : {0u, 1u, 7u, 8u, 9u, 100u, 16383u, 16384u, 16385u, 40000u, 70000u}) {
        shell_link::Link link;
        while (link.file.size() < length) {
            const std::uint32_t pick = Below(random, 10);
            link.file += pick < 6 ? std::string(characters[pick]) : std::string(1, static_cast<char>(Below(random, 0x80)));
        }
        std::string written;
        std::string line;
        shell_link::AppendJsonLine(link, line, [&written](std::string& out) {
            written += out;
            out.clear();
        });
        EXPECT_EQ(!written.empty(), length > shell_link::kJsonFlushBytes) << length;
        const nlohmann::json record = ParseRecordLine(written + line);
        ASSERT_TRUE(record.is_object()) << length;
        EXPECT_EQ(record["file"], link.file) << length;
    }
}

// Bytes of every value at every place of the scan's steps and of its last, padded bytes:
// what is not UTF-8 reads back as U+FFFD, as a path made valid does.
TEST(JsonStrings, ReadBackValidWhateverBytesTheyHold) {
    std::mt19937 random(11);
    for (std::size_t length = 0; length < 70; ++length) {
        for (int round = 0; round < 20; ++round) {
            shell_link::Link link;
            for (std::size_t i = 0; i < length; ++i) {
                const std::uint32_t pick = Below(random, 4);
                link.file.push_back(static_cast<char>(pick == 0 ? Below(random, 0x20) : pick == 1 ? 0x80 + Below(random, 0x80)
                                                                                               : 0x20 + Below(random, 0x60)));
            }
            std::string line;
            shell_link::AppendJsonLine(link, line);
            const nlohmann::json record = ParseRecordLine(line);
            ASSERT_TRUE(record.is_object()) << length;
            std::string valid;
            shell_link::detail::AppendValidUtf8(link.file, valid);
            EXPECT_EQ(record["file"], valid) << length;
        }
    }
}

// A caller's unknown block may keep more than the reader does: all of it is written, in
// as many pieces of the writer's buffer as it takes.
TEST(JsonStrings, DataPrefixOfAnySizeReadsBack) {
    for (const std::size_t size : {0u, 1u, 64u, 8191u, 8192u, 8193u, 40000u}) {
        shell_link::Link link;
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 7);
        }
        shell_link::ExtraDataBlock block;
        block.data = shell_link::UnknownBlock{bytes};
        link.extra_data.push_back(block);
        std::string written;
        std::string line;
        shell_link::AppendJsonLine(link, line, [&written](std::string& out) {
            written += out;
            out.clear();
        });
        const nlohmann::json record = ParseRecordLine(written + line);
        ASSERT_TRUE(record.is_object()) << size;
        std::string hex;
        for (const std::uint8_t byte : bytes) {
            hex += "0123456789abcdef"[byte >> 4];
            hex += "0123456789abcdef"[byte & 0xF];
        }
        EXPECT_EQ(record["extra_data"][0]["data_prefix"], hex) << size;
    }
}

}  // namespace
