// SPDX-License-Identifier: MIT
// The complete reader's rules for what it keeps, checked on its Link values: each warning
// code kept to a budget of its own, every list and offset text cut at its cap with
// limit_reached, property strings whose sizes run past their value, code-page text that
// stays valid UTF-8 whatever iconv gives, JSON lines of texts that are not UTF-8, two
// threads reading at once, and the public accessors and names.
#include <gtest/gtest.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link_builder.h"
#include "records.h"
#include "structure_builders.h"

namespace {

namespace sl = shell_link;
using sl::WarningCode;

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
constexpr char kIntegerNamed[] = "{B725F130-47EF-101A-A5F1-02608C9EEBAC}";
constexpr char kStringNamed[] = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
// "a", a high surrogate without its pair, "b" (a \x escape would take the "b" in).
const std::u16string kLoneSurrogate = std::u16string(u"a") + char16_t{0xD800} + u"b";

sl::Link Read(const Bytes& bytes) {
    sl::CodePage codePage("CP1252");
    return sl::ReadLink(bytes.Begin(), bytes.Size(), codePage);
}

std::vector<std::string> CodeNames(const sl::Link& link) {
    std::vector<std::string> names;
    for (const sl::Warning& warning : link.warnings) {
        names.emplace_back(sl::WarningCodeName(warning.code));
    }
    return names;
}

std::map<std::string, std::size_t> Tally(const sl::Link& link) {
    std::map<std::string, std::size_t> tally;
    for (const std::string& name : CodeNames(link)) {
        ++tally[name];
    }
    return tally;
}

std::string Repeated(const std::string& text, std::size_t count) {
    std::string repeated;
    for (std::size_t i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

Bytes WithBlocks(const Bytes& blocks) { return LinkBuilder().Tail(Bytes(blocks).Append(TerminalBlock())).Build(); }

// A LinkInfo with a VolumeID, an empty suffix, then the local base path's bytes up to its end.
Bytes LinkInfoWithLocalBasePath(const Bytes& path) {
    const Bytes volume = VolumeId(3, 1, "");
    const auto suffixAt = static_cast<std::uint32_t>(0x1C + volume.Size());
    const std::uint32_t localAt = suffixAt + 1;
    return Bytes().U32(localAt + static_cast<std::uint32_t>(path.Size())).U32(0x1C).U32(1).U32(0x1C).U32(localAt)
        .U32(0).U32(suffixAt).Append(volume).U8(0).Append(path);
}

TEST(WarningBudget, KeepsTwentyOfEachCodeSoThatAFloodHidesNoOther) {
    Bytes entries;
    for (int i = 0; i < 120; ++i) {
        entries.Append(FileEntryWithLongName(0x31, "A", kLoneSurrogate));
    }
    Bytes unknown;
    for (std::uint32_t i = 0; i < 150; ++i) {
        unknown.Append(Block(0xA2000001, Bytes().U32(i)));
    }
    const struct {
        const char* what;
        Bytes link;
        std::map<std::string, std::size_t> tally;
        std::vector<std::string> dropped;  // the too_many_warnings messages, in order
    } rows[] = {
        {"120 long names with a lone surrogate, hidden arguments and a remote icon",
         LinkBuilder().IdList(Bytes(entries).Append(Terminator())).Arguments(u"/c calc\n" + std::u16string(40, u' '))
             .IconLocation(u"\\\\server\\share\\icon.ico").Build(),
         {{"unpaired_surrogate", 20}, {"too_many_warnings", 1}, {"hidden_arguments", 1}, {"remote_icon", 1}},
         {"100 more unpaired_surrogate warnings were dropped: a record keeps 20 of one code"}},
        {"150 blocks of one unknown signature", WithBlocks(unknown),
         {{"unknown_block", 20}, {"duplicate_block", 20}, {"too_many_warnings", 2}},
         {"130 more unknown_block warnings were dropped: a record keeps 20 of one code",
          "129 more duplicate_block warnings were dropped: a record keeps 20 of one code"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const sl::Link link = Read(row.link);
        EXPECT_EQ(Tally(link), row.tally);
        std::vector<std::string> dropped;
        for (const sl::Warning& warning : link.warnings) {
            if (warning.code == WarningCode::kTooManyWarnings) {
                dropped.push_back(warning.message);
            }
        }
        EXPECT_EQ(dropped, row.dropped);
    }
    // The warnings were dropped, not the texts: every long name is decoded.
    const sl::Link link = Read(rows[0].link);
    ASSERT_EQ(link.link_target_id_list.value().items.size(), 120u);
    for (const sl::Item& item : link.link_target_id_list->items) {
        EXPECT_EQ(std::get<sl::FileEntryItem>(item.data).long_name, "a" + std::string(kReplacement) + "b");
    }
}

TEST(WarningCategories, AreDamageForWhatCouldNotBeReadAndSuspiciousForTheRest) {
    const WarningCode damage[] = {WarningCode::kTruncated,       WarningCode::kBadOffset,   WarningCode::kUnpairedSurrogate,
                                  WarningCode::kUndecodableText, WarningCode::kInvalidTime, WarningCode::kUnmatchedEntry,
                                  WarningCode::kTooManyWarnings};
    for (std::size_t i = 0; i < sl::kWarningCodeCount; ++i) {
        const auto code = static_cast<WarningCode>(i);
        SCOPED_TRACE(sl::WarningCodeName(code));
        const bool isDamage = std::find(std::begin(damage), std::end(damage), code) != std::end(damage);
        EXPECT_EQ(sl::CategoryOf(code), isDamage ? sl::WarningCategory::kDamage : sl::WarningCategory::kSuspicious);
    }
    EXPECT_STREQ(sl::WarningCategoryName(sl::WarningCategory::kDamage), "damage");
    EXPECT_STREQ(sl::WarningCategoryName(sl::WarningCategory::kSuspicious), "suspicious");
}

TEST(WarningCategories, StandInTheJsonLineBetweenTheCodeAndTheOffset) {
    // NAME_STRING's count at 76, three units; the arguments' count at 84.
    std::string line;
    sl::AppendJsonLine(Read(LinkBuilder().Description(kLoneSurrogate).Arguments(u"a\nb").Build()), line);
    ASSERT_TRUE(ParseRecordLine(line).is_object());
    for (const char* start : {R"({"code":"unpaired_surrogate","category":"damage","offset":76,"message":")",
                              R"({"code":"hidden_arguments","category":"suspicious","offset":84,"message":")"}) {
        EXPECT_NE(line.find(start), std::string::npos) << start << " in " << line;
    }
}

TEST(AnalyzeByHand, WarnsOfWhatLooksWrongInALinkAndOfNothingInWhatIsNotOne) {
    sl::Link link;
    link.string_data.command_line_arguments = sl::CountedString{90, 3, "a\nb"};
    const std::vector<sl::Warning> found = sl::Analyze(link);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, WarningCode::kHiddenArguments);
    EXPECT_EQ(found[0].offset, 90u);
    link.status = sl::Status::kNotAShortcut;
    EXPECT_TRUE(sl::Analyze(link).empty());
}

TEST(ReaderLimits, KeepEachListAndOffsetTextToItsCapAndSaySo) {
    Bytes items, blocks, values;
    for (std::uint32_t i = 0; i < 2000; ++i) {
        items.Append(Item(0x00));
    }
    for (std::uint32_t i = 0; i < 1030; ++i) {
        blocks.Append(Block(0xA0000004, Bytes().U32(437)));
    }
    for (std::uint32_t i = 0; i < 4100; ++i) {
        values.Append(PropertyValue(i, 0x13, Bytes().U32(i)));
    }
    const Bytes storage = Storage(kIntegerNamed, values);
    // Storages and their values share one cap: "at most this many storages and properties in all".
    const auto properties = [](const sl::Link& link) {
        std::size_t count = 0;
        if (const auto* store = sl::FindBlock<sl::PropertyStoreBlock>(link)) {
            for (const sl::PropertyStorage& read : store->property_storages) {
                count += 1 + read.properties.size();
            }
        }
        return count;
    };
    const auto localBasePath = [](const sl::Link& link) { return link.link_info.value().local_base_path.value().size(); };
    const struct {
        const char* what;
        Bytes link;
        std::function<std::size_t(const sl::Link&)> kept;
        std::size_t expected;
        std::size_t limitWarnings;
    } rows[] = {
        {"2000 items", LinkBuilder().IdList(Bytes(items).Append(Terminator())).Build(),
         [](const sl::Link& link) { return link.link_target_id_list.value().items.size(); }, 1024, 1},
        {"1030 blocks", WithBlocks(blocks), [](const sl::Link& link) { return link.extra_data.size(); }, 1024, 1},
        {"one storage of 4100 values", WithBlocks(Block(0xA0000009, Bytes(storage).U32(0))), properties, 4096, 1},
        {"two storages of 4100 values", WithBlocks(Block(0xA0000009, Bytes(storage).Append(storage).U32(0))), properties, 4096, 1},
        {"a local base path of 40000 characters without its zero",
         LinkBuilder().LinkInfo(LinkInfoWithLocalBasePath(Bytes().Text(std::string(40000, 'A')))).Build(), localBasePath, 32767, 1},
        {"a local base path of 32767 characters and its zero",
         LinkBuilder().LinkInfo(LinkInfoWithLocalBasePath(Bytes().Text(std::string(32767, 'A')).U8(0))).Build(), localBasePath,
         32767, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const sl::Link link = Read(row.link);
        EXPECT_EQ(row.kept(link), row.expected);
        EXPECT_EQ(Tally(link)["limit_reached"], row.limitWarnings);
    }
}

// The caps hold for a whole link, so that many lists cannot multiply them.
TEST(ReaderLimits, HoldForAllTheListsOfALinkTogether) {
    Bytes items, stores;
    for (std::uint32_t i = 0; i < 1000; ++i) {
        items.Append(Item(0x00));
    }
    const Bytes vista = Block(sl::kVistaAndAboveIdListDataBlock, Bytes(items).Append(Terminator()));
    Bytes values;
    for (std::uint32_t i = 0; i < 9; ++i) {
        values.Append(PropertyValue(i, 0x13, Bytes().U32(i)));
    }
    for (int i = 0; i < 600; ++i) {  // 600 stores of a storage and 9 values: 6000 in all
        stores.Append(Block(sl::kPropertyStoreDataBlock, Storage(kIntegerNamed, values).U32(0)));
    }
    std::size_t keptItems = 0;
    std::size_t keptProperties = 0;
    const sl::Link link = Read(WithBlocks(Bytes(vista).Append(vista).Append(vista).Append(stores)));
    for (const sl::ExtraDataBlock& block : link.extra_data) {
        if (const auto* list = std::get_if<sl::VistaIdListBlock>(&block.data)) {
            keptItems += list->items.size();
        } else if (const auto* store = std::get_if<sl::PropertyStoreBlock>(&block.data)) {
            for (const sl::PropertyStorage& storage : store->property_storages) {
                keptProperties += 1 + storage.properties.size();
            }
        }
    }
    EXPECT_EQ(keptItems, sl::kMaxItems);
    EXPECT_EQ(keptProperties, sl::kMaxProperties);
    // A warning in each list past the cap (two ID lists and 191 stores), of which a
    // record keeps 20.
    EXPECT_EQ(Tally(link)["limit_reached"], 20u);
}

TEST(ReaderLimits, CutEachOffsetTextThatSharesOneLongRun) {
    // The local base path, the suffix and the VolumeID's label all point at 50000 bytes 0x80.
    constexpr std::uint32_t kRun = 50000;
    Bytes info = Bytes().U32(0x1C + 0x10 + kRun).U32(0x1C).U32(1).U32(0x1C).U32(0x2C).U32(0).U32(0x2C);
    info.U32(0x10 + kRun).U32(3).U32(1).U32(0x10).Text(std::string(kRun, '\x80'));
    const sl::Link link = Read(LinkBuilder().LinkInfo(info).Build());
    ASSERT_TRUE(link.link_info && link.link_info->volume_id);
    const std::string euros = Repeated("\xE2\x82\xAC", 32767);  // U+20AC, what CP1252 makes of 0x80
    EXPECT_TRUE(link.link_info->volume_id->volume_label == euros);
    EXPECT_TRUE(link.link_info->local_base_path == euros);
    EXPECT_TRUE(link.link_info->common_path_suffix == euros);
    EXPECT_EQ(Tally(link)["limit_reached"], 3u);
}

TEST(PropertyValueStrings, CutShortKeepWhatTheirValueHoldsAndSaySo) {
    const struct {
        const char* what;
        Bytes storage;
        std::optional<std::string> name;  // of a string-named value
        std::optional<std::string> text;  // none where the value is not a text
        std::vector<std::string> codes;
    } rows[] = {
        {"a VT_LPWSTR of 10 units holding 3", Storage(kIntegerNamed, PropertyValue(2, 0x1F, Bytes().U32(10).Units(u"abc"))),
         std::nullopt, "abc", {"truncated"}},
        {"a VT_LPSTR of 10 bytes holding 3", Storage(kIntegerNamed, PropertyValue(2, 0x1E, Bytes().U32(10).Text("abc"))),
         std::nullopt, "abc", {"truncated"}},
        {"a VT_BSTR of 10 bytes holding 3", Storage(kIntegerNamed, PropertyValue(2, 0x08, Bytes().U32(10).Text("abc"))),
         std::nullopt, "abc", {"truncated"}},
        {"a name of 0xFFFFFFFF bytes", Storage(kStringNamed, Bytes().U32(19).U32(0xFFFFFFFF).U8(0).Units(u"name").U16(0)),
         "name", std::nullopt, {"truncated"}},
        {"a whole VT_LPWSTR", Storage(kIntegerNamed, PropertyValue(2, 0x1F, Bytes().U32(4).Units(u"abc").U16(0))),
         std::nullopt, "abc", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const sl::Link link = Read(WithBlocks(Block(0xA0000009, Bytes(row.storage).U32(0))));
        const auto* store = sl::FindBlock<sl::PropertyStoreBlock>(link);
        ASSERT_NE(store, nullptr);
        ASSERT_EQ(store->property_storages.size(), 1u);
        ASSERT_EQ(store->property_storages[0].properties.size(), 1u);
        const sl::Property& property = store->property_storages[0].properties[0];
        EXPECT_EQ(property.name, row.name);
        const std::string* text = std::get_if<std::string>(&property.value);
        EXPECT_EQ(text != nullptr ? std::optional<std::string>(*text) : std::nullopt, row.text);
        EXPECT_EQ(CodeNames(link), row.codes);
    }
}

TEST(CodePageUtf8, IsValidWhateverIconvGives) {
    const struct {
        const char* what;
        const char* page;
        Bytes name;
        std::optional<std::string> text;  // none: U+FFFD only, however many
        std::vector<std::string> codes;
    } rows[] = {
        {"UTF-8 bytes of a code point past U+10FFFF", "UTF-8", Bytes{0xF4, 0x90, 0x80, 0x80}, Repeated(kReplacement, 4),
         {"undecodable_text"}},
        {"UCS-4LE of 0x7F000000", "UCS-4LE", Bytes{0x00, 0x00, 0x00, 0x7F}, std::nullopt, {"undecodable_text"}},
        {"CP1252 text", "CP1252", Bytes().Text("caf\xE9"), "caf\xC3\xA9", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sl::CodePage page(row.page);
        ASSERT_TRUE(page.valid());  // an invalid one would make every byte U+FFFD anyway
        const Bytes bytes = LinkBuilder().Flags(flag::kName).Tail(Bytes().U16(row.name.Size16()).Append(row.name)).Build();
        const sl::Link link = sl::ReadLink(bytes.Begin(), bytes.Size(), page);
        ASSERT_TRUE(link.string_data.name_string);
        const std::string& text = link.string_data.name_string->text;
        EXPECT_EQ(text, row.text.value_or(text.empty() ? kReplacement : Repeated(kReplacement, text.size() / 3)));
        EXPECT_EQ(CodeNames(link), row.codes);
    }
}

TEST(JsonLineTexts, ThatAreNotUtf8BecomeU_FFFDAndTheLineEnds) {
    sl::Link wide;  // 90 KB of U+FFFD: written in 16 KB pieces, and flushed
    wide.file = std::string(30000, '\x80');
    sl::Link lone;
    lone.string_data.name_string = sl::CountedString{76, 3, "a\xFF" "b"};
    const struct {
        const char* what;
        const sl::Link& link;
        const char* pointer;
        std::string text;
        bool flushes;  // the line outgrows kJsonFlushBytes
    } rows[] = {
        {"a file name of 30000 bytes 0x80", wide, "/file", Repeated(kReplacement, 30000), true},
        {"a lone 0xFF between ASCII", lone, "/string_data/name_string", "a" + std::string(kReplacement) + "b", false},
    };
    for (const auto& row : rows) {
        for (const bool flushed : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (flushed ? ", flushed" : ", whole"));
            std::string line, out;
            if (flushed) {
                sl::AppendJsonLine(row.link, out, [&line](std::string& part) { line += part; part.clear(); });
                EXPECT_EQ(!line.empty(), row.flushes);
            } else {
                sl::AppendJsonLine(row.link, out);
            }
            line += out;
            const nlohmann::json record = ParseRecordLine(line);
            ASSERT_TRUE(record.is_object());
            EXPECT_TRUE(record.at(nlohmann::json::json_pointer(row.pointer)) == row.text);
        }
    }
}

TEST(ConcurrentReads, GiveTheRecordsOfOneThreadInEach) {
    const Bytes links[] = {
        LinkBuilder().Flags(flag::kName | flag::kArguments)
            .Tail(Bytes().U16(8).Text("caf\xE9 \x82\xA0\x83").U16(4).Text("\x93\xFA\x96\x7B")).Build(),
        LinkBuilder().Flags(flag::kIdList | flag::kLinkInfo)
            .IdList(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x32, "\x93\xFA\x96\x7B.txt")}))
            .LinkInfo(LinkInfoOf({VolumeId(3, 1, "\x83\x65"), "C:\\\x93\xFA\x96\x7B.txt", std::nullopt, "", {}, {}})).Build(),
    };
    const char* const pages[] = {"CP1252", "CP932"};
    std::vector<std::string> expected[2];
    for (std::size_t p = 0; p < 2; ++p) {
        sl::CodePage page(pages[p]);
        ASSERT_TRUE(page.valid());
        for (const Bytes& link : links) {
            sl::AppendJsonLine(sl::ReadLink(link.Begin(), link.Size(), page), expected[p].emplace_back());
        }
    }
    ASSERT_NE(expected[0][0], expected[1][0]);  // the two code pages read the same bytes differently
    std::size_t mismatches[2] = {};
    std::vector<std::thread> threads;
    for (std::size_t p = 0; p < 2; ++p) {
        threads.emplace_back([&, p] {
            sl::CodePage page(pages[p]);
            for (int round = 0; round < 500; ++round) {
                for (std::size_t i = 0; i < std::size(links); ++i) {
                    std::string line;
                    sl::AppendJsonLine(sl::ReadLink(links[i].Begin(), links[i].Size(), page), line);
                    if (line != expected[p][i]) {
                        ++mismatches[p];
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches[0], 0u);
    EXPECT_EQ(mismatches[1], 0u);
}

TEST(PublicAccessors, FindTheFirstBlockOrItemOfAKindOrNull) {
    const Bytes tracker = Block(0xA0000003, Bytes().U32(0x58).U32(0).Text("pc-1").Zeros(12 + 64));
    const Bytes icon = Block(0xA0000007, AnsiAndUnicodeBody("", u"%SystemRoot%\\a.ico"));
    const sl::Link full = Read(LinkBuilder().MoreFlags(sl::kHasExpIcon).IdList(NotepadItemList())
                                   .Tail(Bytes(tracker).Append(icon).Append(TerminalBlock())).Build());
    const sl::Link bare = Read(LinkBuilder().IdList(CDriveItemList()).Build());
    const auto* found = sl::FindBlock<sl::TrackerBlock>(full);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->machine_id, "pc-1");
    const auto* iconBlock = sl::FindBlock<sl::IconEnvironmentBlock>(full);
    ASSERT_NE(iconBlock, nullptr);
    EXPECT_EQ(iconBlock->target_unicode, "%SystemRoot%\\a.ico");
    EXPECT_EQ(sl::FindBlock<sl::EnvironmentBlock>(full), nullptr);
    EXPECT_EQ(sl::FindBlock<sl::TrackerBlock>(bare), nullptr);
    const auto* entry = sl::FindItem<sl::FileEntryItem>(full.link_target_id_list.value().items);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->short_name, "WINDOWS");
    EXPECT_EQ(sl::FindItem<sl::FileEntryItem>(bare.link_target_id_list.value().items), nullptr);
}

TEST(UnreadableFiles, GiveTheSystemsReasonOrOutOfMemory) {
    EXPECT_EQ(sl::UnreadableFile("a.lnk", ENOENT).error, "No such file or directory");
    const sl::Link exhausted = sl::UnreadableFile("a.lnk", ENOMEM);
    EXPECT_EQ(exhausted.status, sl::Status::kFileError);
    EXPECT_EQ(exhausted.error, "out of memory");
}

TEST(PublicConstants, NameTheValuesAsTheFormatDoes) {
    EXPECT_EQ(sl::kHasArguments, 0x20u);
    EXPECT_EQ(sl::kIsUnicode, 0x80u);
    const sl::BlockKind* tracker = sl::BlockKindOf(0xA0000003);
    const struct {
        const char* what;
        const char* name;
        const char* expected;
    } rows[] = {
        {"show command 7", sl::ShowCommandName(7), "SW_SHOWMINNOACTIVE"},
        {"drive type 3", sl::DriveTypeName(3), "DRIVE_FIXED"},
        {"block signature 0xA0000003", tracker != nullptr ? tracker->name : nullptr, "TrackerDataBlock"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_STREQ(row.name, row.expected);
    }
}

}  // namespace
