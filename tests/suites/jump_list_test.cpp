// SPDX-License-Identifier: MIT
// Jump Lists: automatic destinations built as compound files (a DestList of each version
// and the link streams it names, then each way the two can disagree), custom destinations
// built category by category (and each way one can be damaged), the real lists of the
// shared directory when it is there, and the names and first bytes that tell what a file
// holds.
#include <gtest/gtest.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_containers.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compound_builder.h"
#include "link_builder.h"
#include "structure_builders.h"
#include "test_support.h"

namespace {

namespace ct = compound_test;
namespace fs = std::filesystem;
using shell_link::Container;
using shell_link::ContainerKind;
using shell_link::Content;
using shell_link::DestListEntry;
using shell_link::Link;
using shell_link::Status;

// A whole link that says which it is by its description.
Bytes NamedLink(const std::u16string& name) { return LinkBuilder().Description(name).Tail(TerminalBlock()).Build(); }
// The same without its TerminalBlock.
Bytes UnterminatedLink(const std::u16string& name) { return LinkBuilder().Description(name).Build(); }

std::string DescriptionOf(const Link& link) {
    return link.string_data.name_string ? link.string_data.name_string->text : std::string();
}

std::vector<std::string> WarningNames(const Link& link) {
    std::vector<std::string> names;
    for (const shell_link::Warning& warning : link.warnings) {
        names.push_back(shell_link::WarningCodeName(warning.code));
    }
    return names;
}

Container Where(const std::string& path) {
    Container where;
    where.path = path;
    where.app_id = shell_link::AppIdOf(path);
    return where;
}

std::vector<Link> ReadAll(const std::vector<std::uint8_t>& bytes, const Container& where) {
    shell_link::CodePage codePage;
    std::vector<Link> links;
    EXPECT_TRUE(shell_link::ReadJumpList(bytes.data(), bytes.size(), where, codePage, [&](Link& link) {
        links.push_back(link);
        return true;
    }));
    return links;
}

// ---------------------------------------------------------------------------------------
// Automatic destinations

constexpr char kAutomaticPath[] = "Recent/AutomaticDestinations/1b4dd67f29cb1962.automaticDestinations-ms";

Bytes U64(std::uint64_t value) { return Bytes().U32(static_cast<std::uint32_t>(value)).U32(static_cast<std::uint32_t>(value >> 32)); }

Bytes Float(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return Bytes().U32(bits);
}

shell_link::Guid GuidFrom(std::uint8_t first) {
    shell_link::Guid guid{};
    for (std::size_t i = 0; i < guid.size(); ++i) {
        guid[i] = static_cast<std::uint8_t>(first + i);
    }
    return guid;
}

struct EntryValues {
    std::uint32_t number = 1;
    std::u16string path = u"C:\\x";
    std::string host;          // empty: 16 zero bytes
    std::uint64_t time = 0;
    std::int32_t pin = -1;
    float score = 1;
    std::uint32_t status = 0xFFFFFFFF;  // version 2 on
    std::uint32_t count = 1;            // version 2 on
    std::uint64_t checksum = 0;
    std::uint8_t droids = 0;            // the four droids' first byte, each 16 bytes counting up
    std::optional<std::uint16_t> claimedLength;  // a path length other than the path's
};

Bytes DestListEntryBytes(std::uint32_t version, const EntryValues& e) {
    Bytes entry = U64(e.checksum);
    for (std::uint8_t guid = 0; guid < 4; ++guid) {
        for (std::uint8_t i = 0; i < 16; ++i) {
            entry.U8(e.droids == 0 ? 0 : static_cast<std::uint8_t>(e.droids + 16 * guid + i));
        }
    }
    entry.Text(e.host).Zeros(16 - e.host.size());
    entry.U32(e.number).U32(0).Append(Float(e.score)).Append(U64(e.time)).U32(static_cast<std::uint32_t>(e.pin));
    if (version != 1) {
        entry.U32(e.status).U32(e.count).Zeros(8);
    }
    entry.U16(e.claimedLength.value_or(static_cast<std::uint16_t>(e.path.size()))).Units(e.path);
    if (version != 1) {
        entry.U32(0);
    }
    return entry;
}

Bytes DestListBytes(std::uint32_t version, const std::vector<EntryValues>& entries) {
    std::uint32_t pinned = 0;
    std::uint32_t last = 0;
    for (const EntryValues& e : entries) {
        pinned += e.pin >= 0 ? 1 : 0;
        last = std::max(last, e.number);
    }
    Bytes list = Bytes().U32(version).U32(static_cast<std::uint32_t>(entries.size())).U32(pinned);
    list.Append(Float(3)).U32(last).U32(0).U32(7).U32(0);
    for (const EntryValues& e : entries) {
        list.Append(DestListEntryBytes(version, e));
    }
    return list;
}

using Streams = std::vector<std::pair<std::string, Bytes>>;

std::vector<std::uint8_t> AutomaticFile(const Streams& streams, const std::function<void(ct::CompoundImage&)>& fault = {}) {
    ct::CompoundBuilder builder;
    for (const auto& [name, bytes] : streams) {
        builder.Add(name, bytes.Data());
    }
    ct::CompoundImage image = builder.Build();
    if (fault) {
        fault(image);
    }
    return image.bytes;
}

// 2016-01-16T20:23:24.8901093Z and 2015-11-24T23:09:54.2449868Z
constexpr std::uint64_t kTimeA = 130974494048901093;
constexpr std::uint64_t kTimeB = 130928801942449868;

TEST(JumpListDestList, EachVersionGivesEveryFieldOfTheEntryNamingTheStream) {
    // The newest entry first, as Windows keeps them; the streams in another order.
    const EntryValues pinned{2, u"::{031E4825-7B94-4DC3-B131-E946B44C8DD5}\\Videos.library-ms", "win7x64", kTimeA, 0,
                           20, 3, 3, 0x1122334455667788, 0x40, std::nullopt};
    const EntryValues recent{1, u"C:\\Users\\bperry\\Downloads", "", kTimeB, -1, 3.7F, 0xFFFFFFFF, 2, 0xA0B0C0D0E0F00010, 0,
                           std::nullopt};
    const std::uint64_t pinnedLength = pinned.path.size();
    const struct {
        std::uint32_t version;
        std::uint64_t second_offset;  // of the entry after the pinned one
        bool long_layout;
    } rows[] = {
        {1, 32 + 114 + 2 * pinnedLength, false},
        {2, 32 + 130 + 2 * pinnedLength + 4, true},
        {3, 32 + 130 + 2 * pinnedLength + 4, true},
        {4, 32 + 130 + 2 * pinnedLength + 4, true},
        {7, 32 + 130 + 2 * pinnedLength + 4, true},  // unseen: the long layout
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("version " + std::to_string(row.version));
        const Bytes one = NamedLink(u"one");
        const Bytes two = NamedLink(u"two");
        const std::vector<std::uint8_t> file =
            AutomaticFile({{"1", one}, {"DestList", DestListBytes(row.version, {pinned, recent})}, {"2", two}});
        const std::vector<Link> links = ReadAll(file, Where(kAutomaticPath));
        ASSERT_EQ(links.size(), 2u);

        const struct {
            const char* stream;
            const char* description;
            std::uint64_t size;
            const EntryValues& values;
            std::uint64_t offset;
        } expected[] = {
            {"1", "one", one.Size(), recent, row.second_offset},
            {"2", "two", two.Size(), pinned, 32},
        };
        for (std::size_t i = 0; i < 2; ++i) {
            const Link& link = links[i];
            const auto& want = expected[i];
            SCOPED_TRACE(want.stream);
            EXPECT_EQ(link.status, Status::kRead);
            EXPECT_EQ(DescriptionOf(link), want.description);
            EXPECT_EQ(link.size, want.size);
            EXPECT_EQ(WarningNames(link), std::vector<std::string>{});
            EXPECT_EQ(link.file, std::string(kAutomaticPath) + "#" + want.stream);
            ASSERT_TRUE(link.container);
            const Container& c = *link.container;
            EXPECT_EQ(c.kind, ContainerKind::kAutomaticDestinations);
            EXPECT_EQ(c.path, kAutomaticPath);
            EXPECT_EQ(c.app_id, "1b4dd67f29cb1962");
            EXPECT_EQ(c.stream, want.stream);
            EXPECT_EQ(c.offset, std::nullopt);
            EXPECT_EQ(c.category, std::nullopt);
            ASSERT_TRUE(c.dest_list);
            const DestListEntry& d = *c.dest_list;
            const EntryValues& s = want.values;
            EXPECT_EQ(d.dest_list_version, row.version);
            EXPECT_EQ(d.offset, want.offset);
            EXPECT_EQ(d.entry_number, s.number);
            EXPECT_EQ(d.hostname, s.host.empty() ? std::nullopt : std::optional<std::string>(s.host));
            ASSERT_TRUE(d.last_access_time);
            EXPECT_EQ(d.last_access_time->value, s.time);
            EXPECT_EQ(d.pinned, s.pin >= 0);
            EXPECT_EQ(d.pin_position, s.pin >= 0 ? std::optional<std::int32_t>(s.pin) : std::nullopt);
            EXPECT_EQ(d.access_count, row.long_layout ? std::optional<std::uint32_t>(s.count) : std::nullopt);
            EXPECT_EQ(d.entry_status, row.long_layout ? std::optional<std::uint32_t>(s.status) : std::nullopt);
            EXPECT_FLOAT_EQ(d.score, s.score);
            const shell_link::Guid zero{};
            EXPECT_EQ(d.droid_volume_id, s.droids == 0 ? zero : GuidFrom(s.droids));
            EXPECT_EQ(d.droid_file_id, s.droids == 0 ? zero : GuidFrom(static_cast<std::uint8_t>(s.droids + 16)));
            EXPECT_EQ(d.droid_birth_volume_id, s.droids == 0 ? zero : GuidFrom(static_cast<std::uint8_t>(s.droids + 32)));
            EXPECT_EQ(d.droid_birth_file_id, s.droids == 0 ? zero : GuidFrom(static_cast<std::uint8_t>(s.droids + 48)));
            EXPECT_EQ(d.checksum, s.checksum);
        }
        EXPECT_EQ(links[0].container->dest_list->path, "C:\\Users\\bperry\\Downloads");
        EXPECT_EQ(links[1].container->dest_list->path, "::{031E4825-7B94-4DC3-B131-E946B44C8DD5}\\Videos.library-ms");
    }
}

TEST(JumpListDestList, AnEntryWithoutATimeHasNone) {
    EntryValues entry;
    entry.time = 0;
    const std::vector<Link> links =
        ReadAll(AutomaticFile({{"DestList", DestListBytes(3, {entry})}, {"1", NamedLink(u"one")}}), Where(kAutomaticPath));
    ASSERT_EQ(links.size(), 1u);
    ASSERT_TRUE(links[0].container && links[0].container->dest_list);
    EXPECT_EQ(links[0].container->dest_list->last_access_time.has_value(), false);
}

// One record as a row expects it.
struct Expected {
    std::string file;  // after the container's path: "#" and the stream or offset, or nothing
    Status status;
    std::string error;  // words in the error; empty when there is none
    std::vector<std::string> warnings;
    std::optional<std::uint32_t> entry = std::nullopt;  // automatic: the DestList entry number
    std::optional<std::string> category = std::nullopt;  // custom
};

void ExpectRecords(const std::vector<Link>& links, const std::string& path, const std::vector<Expected>& expected) {
    ASSERT_EQ(links.size(), expected.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        const Link& link = links[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("record " + std::to_string(i) + " " + want.file);
        EXPECT_EQ(link.file, path + want.file);
        EXPECT_EQ(link.status, want.status);
        if (want.error.empty()) {
            EXPECT_EQ(link.error, std::nullopt);
        } else {
            ASSERT_TRUE(link.error);
            EXPECT_NE(link.error->find(want.error), std::string::npos) << *link.error;
        }
        EXPECT_EQ(WarningNames(link), want.warnings);
        ASSERT_TRUE(link.container);
        EXPECT_EQ(link.container->path, path);
        if (link.container->kind == ContainerKind::kAutomaticDestinations) {
            EXPECT_EQ(link.container->dest_list ? std::optional<std::uint32_t>(link.container->dest_list->entry_number)
                                                : std::nullopt,
                      want.entry);
        } else {
            EXPECT_EQ(link.container->category, want.category);
        }
    }
}

TEST(JumpListDestList, MatchesEntriesToStreamsAndReportsWhatDisagrees) {
    EntryValues first;
    first.number = 1;
    EntryValues second;
    second.number = 0x1A;
    EntryValues cut = second;
    cut.claimedLength = 200;
    const Bytes link = NamedLink(u"one");
    const Bytes longLink = NamedLink(u"a description long enough for three mini sectors, and a little more");
    const std::vector<std::string> none;
    const std::vector<std::string> unmatched{"unmatched_entry"};
    const std::vector<std::string> truncated{"truncated"};
    const struct {
        const char* label;
        std::vector<std::uint8_t> file;
        std::vector<Expected> expected;
    } rows[] = {
        {"an entry without its stream",
         AutomaticFile({{"DestList", DestListBytes(3, {second, first})}, {"1", link}}),
         {{"#1", Status::kRead, "", none, 1},
          {"#1a", Status::kFileError, "no stream holds the link of DestList entry 26", unmatched, 0x1A}}},
        {"a stream without its entry",
         AutomaticFile({{"DestList", DestListBytes(3, {first})}, {"1", link}, {"1a", link}}),
         {{"#1", Status::kRead, "", none, 1}, {"#1a", Status::kRead, "", unmatched}}},
        {"no DestList", AutomaticFile({{"1", link}, {"2", link}}),
         {{"#1", Status::kRead, "", unmatched}, {"#2", Status::kRead, "", unmatched}}},
        {"two entries of one number: the second names a stream already taken",
         AutomaticFile({{"DestList", DestListBytes(3, {first, first})}, {"1", link}}),
         {{"#1", Status::kRead, "", none, 1},
          {"#1@DestList+174", Status::kFileError, "no stream holds the link of DestList entry 1", unmatched, 1}}},
        {"a second DestList, in other case",
         AutomaticFile({{"DestList", DestListBytes(3, {first})}, {"1", link}, {"destlist", link}}),
         {{"#1", Status::kRead, "", none, 1}, {"#destlist", Status::kRead, "", unmatched}}},
        {"a stream name not in hex",
         AutomaticFile({{"DestList", DestListBytes(3, {first})}, {"1", link}, {"x1", link}}),
         {{"#1", Status::kRead, "", none, 1}, {"#x1", Status::kRead, "", unmatched}}},
        {"a path past the end of the DestList",
         AutomaticFile({{"DestList", DestListBytes(3, {first, cut})}, {"1", link}, {"1a", link}}),
         {{"#DestList", Status::kFileError, "the DestList stream is damaged", truncated},
          {"#1", Status::kRead, "", none, 1},
          {"#1a", Status::kRead, "", unmatched}}},
        {"a version 1 path past the end of the DestList",
         AutomaticFile({{"DestList", DestListBytes(1, {first, cut})}, {"1", link}, {"1a", link}}),
         {{"#DestList", Status::kFileError, "the DestList stream is damaged", truncated},
          {"#1", Status::kRead, "", none, 1},
          {"#1a", Status::kRead, "", unmatched}}},
        {"too few bytes for another entry",
         AutomaticFile({{"DestList", DestListBytes(3, {first}).Append(Bytes().Zeros(129))}, {"1", link}}),
         {{"#DestList", Status::kFileError, "the DestList stream is damaged", truncated},
          {"#1", Status::kRead, "", none, 1}}},
        {"a DestList shorter than its header",
         AutomaticFile({{"DestList", DestListBytes(3, {first}).Prefix(31)}, {"1", link}}),
         {{"#DestList", Status::kFileError, "the DestList stream is damaged", truncated},
          {"#1", Status::kRead, "", unmatched}}},
        {"an empty DestList alone", AutomaticFile({{"DestList", Bytes()}}), {}},
        {"an empty DestList and a stream", AutomaticFile({{"DestList", Bytes()}, {"1", link}}),
         {{"#1", Status::kRead, "", unmatched}}},
        {"a damaged compound file",
         [&] {
             std::vector<std::uint8_t> bytes = AutomaticFile({{"DestList", DestListBytes(3, {first})}, {"1", link}});
             bytes.resize(1000);
             return bytes;
         }(),
         {{"", Status::kFileError, "damaged compound file: ", none}}},
        {"a stream whose chain is broken",
         AutomaticFile({{"DestList", DestListBytes(3, {second, first})}, {"1", longLink}, {"1a", link}},
                       [](ct::CompoundImage& image) { image.SetMiniFat(image.Start("1"), ct::kFreeSect); }),
         {{"#1", Status::kFileError, "the stream cannot be read: ", none, 1}, {"#1a", Status::kRead, "", none, 0x1A}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ExpectRecords(ReadAll(row.file, Where(kAutomaticPath)), kAutomaticPath, row.expected);
    }
}

TEST(JumpListDestList, TheRecordsOfDamageSayWhere) {
    EntryValues first;
    EntryValues orphan;
    orphan.number = 0x1A;
    orphan.path = u"C:\\gone";
    const std::vector<std::uint8_t> file =
        AutomaticFile({{"DestList", DestListBytes(3, {first, orphan})}, {"1", NamedLink(u"one")}});
    const std::vector<Link> links = ReadAll(file, Where(kAutomaticPath));
    ASSERT_EQ(links.size(), 2u);
    const Link& record = links[1];
    ASSERT_TRUE(record.container && record.container->dest_list);
    EXPECT_EQ(record.container->stream, "1a");
    EXPECT_EQ(record.container->dest_list->path, "C:\\gone");
    EXPECT_EQ(record.container->dest_list->offset, 32u + 130 + 2 * 4 + 4);
    ASSERT_EQ(record.warnings.size(), 1u);
    EXPECT_EQ(record.warnings[0].offset, record.container->dest_list->offset);

    const std::vector<std::uint8_t> damaged = AutomaticFile({{"DestList", Bytes().Zeros(10)}});
    const std::vector<Link> records = ReadAll(damaged, Where(kAutomaticPath));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].container->stream, "DestList");
    EXPECT_EQ(records[0].container->dest_list.has_value(), false);
}

TEST(JumpListDestList, StopsWhenTheSinkSaysSo) {
    EntryValues first;
    const std::vector<std::uint8_t> file = AutomaticFile(
        {{"DestList", DestListBytes(3, {first})}, {"1", NamedLink(u"one")}, {"2", NamedLink(u"two")}});
    shell_link::CodePage codePage;
    int calls = 0;
    EXPECT_FALSE(shell_link::ReadJumpList(file.data(), file.size(), Where(kAutomaticPath), codePage, [&](Link&) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

// ---------------------------------------------------------------------------------------
// Custom destinations

constexpr char kCustomPath[] = "Recent/CustomDestinations/5AFE4DE1B92FC382.customDestinations-ms";

Bytes CustomHeader(std::uint32_t categories) { return Bytes().U32(2).U32(categories).U32(0); }
Bytes Footer() { return Bytes{0xAB, 0xFB, 0xBF, 0xBA}; }
Bytes LinkClassId() { return Bytes{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}; }

Bytes Entries(const std::vector<Bytes>& links) {
    Bytes entries = Bytes().U32(static_cast<std::uint32_t>(links.size()));
    for (const Bytes& link : links) {
        entries.Append(LinkClassId()).Append(link);
    }
    return entries;
}
Bytes OwnCategory(const std::u16string& name, const std::vector<Bytes>& links) {
    return Bytes().U32(0).U16(static_cast<std::uint16_t>(name.size())).Units(name).Append(Entries(links)).Append(Footer());
}
Bytes KnownCategory(std::uint32_t id) { return Bytes().U32(1).U32(id).Append(Footer()); }
Bytes TasksCategory(const std::vector<Bytes>& links) { return Bytes().U32(2).Append(Entries(links)).Append(Footer()); }

TEST(JumpListCustom, ReadsEachCategoryAndEachFault) {
    const Bytes link = NamedLink(u"one");  // 88 bytes
    const Bytes unterminated = UnterminatedLink(u"one");
    // A relative path of 50 characters that holds 2.
    const Bytes cutString =
        LinkBuilder().Description(u"one").MoreFlags(flag::kRelativePath).Tail(Bytes().U16(50).Units(u"ab")).Build();
    ASSERT_EQ(link.Size(), 88u);
    ASSERT_EQ(unterminated.Size(), 84u);
    ASSERT_EQ(cutString.Size(), 90u);
    const std::vector<std::string> none;
    const std::string myCat = "My Cat";
    const std::string tasks = "Tasks";
    // Where the first link of each category starts when it comes first.
    constexpr std::uint64_t kOwnFirst = 12 + 4 + 2 + 12 + 4 + 16;  // 50
    constexpr std::uint64_t kTasksFirst = 12 + 4 + 4 + 16;           // 36
    constexpr std::uint64_t kAfterTasks = kTasksFirst + 88 + 4;      // 128
    const auto at = [](std::uint64_t offset) { return "#" + std::to_string(offset); };
    const struct {
        const char* label;
        Bytes file;
        std::vector<Expected> expected;
    } rows[] = {
        {"a category of its own", CustomHeader(1).Append(OwnCategory(u"My Cat", {link, link})),
         {{at(kOwnFirst), Status::kRead, "", none, std::nullopt, myCat},
          {at(kOwnFirst + 88 + 16), Status::kRead, "", none, std::nullopt, myCat}}},
        {"a known category", CustomHeader(1).Append(KnownCategory(1)), {}},
        {"a known category without its footer after a whole one",
         CustomHeader(2).Append(TasksCategory({link})).U32(1).U32(1),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks},
          {at(kAfterTasks + 8), Status::kFileError, "has no footer", none}}},
        {"the tasks", CustomHeader(1).Append(TasksCategory({link})),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks}}},
        {"all three in order",
         CustomHeader(3).Append(OwnCategory(u"My Cat", {link})).Append(KnownCategory(2)).Append(TasksCategory({link})),
         {{at(kOwnFirst), Status::kRead, "", none, std::nullopt, myCat},
          {at(kOwnFirst + 88 + 4 + 12 + 4 + 4 + 16), Status::kRead, "", none, std::nullopt, tasks}}},
        {"no categories", CustomHeader(0), {}},
        // Read to the next link header: ExtraData that ends with the input needs no
        // TerminalBlock, so the first link is whole.
        {"a link without its TerminalBlock, then the next",
         CustomHeader(1).Append(OwnCategory(u"My Cat", {unterminated, link})),
         {{at(kOwnFirst), Status::kRead, "", none, std::nullopt, myCat},
          {at(kOwnFirst + 84 + 16), Status::kRead, "", none, std::nullopt, myCat}}},
        {"a link whose string runs into the next",
         CustomHeader(1).Append(OwnCategory(u"My Cat", {cutString, link})),
         {{at(kOwnFirst), Status::kRead, "", {"truncated"}, std::nullopt, myCat},
          {at(kOwnFirst + 90 + 16), Status::kRead, "", none, std::nullopt, myCat}}},
        {"a link that runs past its category", CustomHeader(1).Append(TasksCategory({unterminated})),
         {{at(kTasksFirst), Status::kRead, "", {"truncated", "truncated"}, std::nullopt, tasks}}},
        {"an unknown category type", CustomHeader(2).Append(TasksCategory({link})).U32(3).U32(0).Append(Footer()),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks},
          {at(kAfterTasks), Status::kFileError, "has type 3", none}}},
        {"an entry of another class",
         CustomHeader(1).U32(2).U32(1).Append(Bytes().Zeros(16)).Append(link).Append(Footer()),
         {{at(12 + 4 + 4), Status::kFileError, "another class than a shell link", none}}},
        {"fewer categories than the header says", CustomHeader(2).Append(TasksCategory({link})),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks},
          {at(kAfterTasks), Status::kFileError, "ends after 1 of its 2 categories", none}}},
        {"an entry after the last category",
         CustomHeader(1).Append(TasksCategory({link})).Append(LinkClassId()).Append(link),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks},
          {at(kAfterTasks + 16), Status::kRead, "", {"unmatched_entry"}}}},
        {"junk after the last category", CustomHeader(1).Append(TasksCategory({link})).Append(Bytes().Zeros(10)),
         {{at(kTasksFirst), Status::kRead, "", none, std::nullopt, tasks},
          {at(kAfterTasks), Status::kFileError, "after the last category", none}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const std::vector<Link> links = ReadAll(row.file.Data(), Where(kCustomPath));
        ExpectRecords(links, kCustomPath, row.expected);
        for (const Link& record : links) {
            EXPECT_EQ(record.container->kind, ContainerKind::kCustomDestinations);
            EXPECT_EQ(record.container->app_id, "5afe4de1b92fc382");
            EXPECT_EQ(record.container->stream, std::nullopt);
            EXPECT_EQ(record.container->dest_list.has_value(), false);
            if (record.status == Status::kRead) {
                EXPECT_EQ(DescriptionOf(record), "one");
            }
        }
    }
}

TEST(JumpListCustom, TheLinksOwnLengthEndsItAndMissingFootersAreSaid) {
    const Bytes link = NamedLink(u"one");
    const Bytes file = CustomHeader(1).Append(TasksCategory({link, link}));
    const std::vector<Link> links = ReadAll(file.Data(), Where(kCustomPath));
    ASSERT_EQ(links.size(), 2u);
    for (const Link& record : links) {
        EXPECT_EQ(record.size, link.Size());
        EXPECT_EQ(record.trailing_data.has_value(), false);
    }
    EXPECT_EQ(links[1].container->offset, 36u + 88 + 16);

    const std::vector<Link> cut = ReadAll(CustomHeader(1).Append(TasksCategory({UnterminatedLink(u"one")})).Data(),
                                          Where(kCustomPath));
    ASSERT_EQ(cut.size(), 1u);
    ASSERT_FALSE(cut[0].warnings.empty());
    EXPECT_NE(cut[0].warnings.back().message.find("no footer"), std::string::npos) << cut[0].warnings.back().message;
}

// ---------------------------------------------------------------------------------------
// The real lists

TEST(JumpListFiles, ReadsEveryRealListWhole) {
    const fs::path shared = fs::path(SHORTCUT_CORPUS_DIR).parent_path() / "jumplists";
    if (!fs::is_directory(shared)) {
        GTEST_SKIP() << "no Jump Lists at " << shared;
    }
    const struct {
        const char* file;
        std::size_t records;
        std::size_t entries;  // records with a DestList entry
    } rows[] = {
        {"plaso/automaticDestinations-ms/9d1f905ce5044aee.automaticDestinations-ms", 2, 2},
        {"plaso/automaticDestinations-ms/1b4dd67f29cb1962.automaticDestinations-ms", 7, 7},
        {"plaso/customDestinations-ms/5afe4de1b92fc382.customDestinations-ms", 9, 0},
        {"plaso/customDestinations-ms/368d807282ccde9d.customDestinations-ms", 3, 0},
        {"plaso/customDestinations-ms/c98dce577f884ef8.customDestinations-ms", 0, 0},
        {"ez-jumplist/Win10/f01b4d95cf55d32a.automaticDestinations-ms", 9, 9},
        {"ez-jumplist/Win10/5f7b5f1e01b83767.automaticDestinations-ms", 0, 0},
        {"ez-jumplist/Win10/7e4dca80246863e3.automaticDestinations-ms", 1, 1},
        {"ez-jumplist/Win7/1b4dd67f29cb1962.automaticDestinations-ms", 4, 4},
        {"ez-jumplist/Win81/f01b4d95cf55d32a.automaticDestinations-ms", 4, 4},
        {"ez-jumplist/Win80/f01b4d95cf55d32a.automaticDestinations-ms", 4, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string path = (shared / row.file).string();
        const std::optional<std::vector<std::uint8_t>> bytes = FileBytes(path);
        ASSERT_TRUE(bytes);
        const std::vector<Link> links = ReadAll(*bytes, Where(path));
        EXPECT_EQ(links.size(), row.records);
        std::size_t entries = 0;
        for (const Link& link : links) {
            SCOPED_TRACE(link.file);
            EXPECT_EQ(link.status, Status::kRead);
            EXPECT_EQ(WarningNames(link), std::vector<std::string>{});
            ASSERT_TRUE(link.container);
            EXPECT_EQ(link.container->app_id, shell_link::AppIdOf(path));
            if (link.container->kind == ContainerKind::kAutomaticDestinations) {
                EXPECT_TRUE(link.container->dest_list);
            }
            entries += link.container->dest_list ? 1U : 0U;
        }
        EXPECT_EQ(entries, row.entries);
    }

    const std::string prefetch = (shared / "ez-jumplist/Bad/CALC.EXE-3FBEF7FD.pf").string();
    const std::optional<std::vector<std::uint8_t>> bytes = FileBytes(prefetch);
    ASSERT_TRUE(bytes);
    const std::vector<Link> links = ReadAll(*bytes, Where(prefetch));
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].status, Status::kNotAShortcut);
    EXPECT_EQ(links[0].file, prefetch);
    EXPECT_EQ(links[0].size, bytes->size());
}

// ---------------------------------------------------------------------------------------
// Names and first bytes

TEST(JumpListNames, AppIdOfTakesOneToSixteenHexDigitsBeforeAJumpListSuffix) {
    const struct {
        const char* name;
        std::optional<std::string> app_id;
    } rows[] = {
        {"1b4dd67f29cb1962.automaticDestinations-ms", "1b4dd67f29cb1962"},
        {"1B4DD67F29CB1962.AUTOMATICDESTINATIONS-MS", "1b4dd67f29cb1962"},
        {"b4dd67f29cb1962.automaticDestinations-ms", "b4dd67f29cb1962"},
        {"a.customDestinations-ms", "a"},
        {"11b4dd67f29cb1962.automaticDestinations-ms", std::nullopt},
        {"1b4dd67f29cb196g.automaticDestinations-ms", std::nullopt},
        {".automaticDestinations-ms", std::nullopt},
        {"/home/u/Recent/AutomaticDestinations/f01b4d95cf55d32a.automaticDestinations-ms", "f01b4d95cf55d32a"},
        {"dir.automaticDestinations-ms/5afe4de1b92fc382.customDestinations-ms", "5afe4de1b92fc382"},
        {"5afe4de1b92fc382.customDestinations-ms", "5afe4de1b92fc382"},
        {"5afe4de1b92fc382.lnk", std::nullopt},
        {"5afe4de1b92fc382.customDestinations-ms.bak", std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell_link::AppIdOf(row.name), row.app_id) << row.name;
    }
}

TEST(JumpListNames, ContentOfTellsByTheFirstBytes) {
    const Bytes compound{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    const struct {
        const char* label;
        Bytes bytes;
        Content content;
    } rows[] = {
        {"a link", NamedLink(u"one"), Content::kLink},
        {"a link's header alone", NamedLink(u"one").Prefix(20), Content::kLink},
        {"a link's header cut short", NamedLink(u"one").Prefix(19), Content::kOther},
        {"a compound file signature", compound, Content::kAutomaticDestinations},
        {"a compound file signature cut short", compound.Prefix(7), Content::kOther},
        {"no categories, exactly the header", CustomHeader(0), Content::kCustomDestinations},
        {"no categories, then more", CustomHeader(0).U8(0), Content::kOther},
        {"a known category", CustomHeader(1).Append(KnownCategory(1)), Content::kCustomDestinations},
        {"the tasks", CustomHeader(1).Append(TasksCategory({NamedLink(u"one")})), Content::kCustomDestinations},
        {"a category of type 3", CustomHeader(1).U32(3).U32(0).Append(Footer()), Content::kOther},
        {"version 1", Bytes().U32(1).U32(0).U32(0), Content::kOther},
        {"a header cut short", CustomHeader(0).Prefix(11), Content::kOther},
        {"nothing", Bytes(), Content::kOther},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell_link::ContentOf(row.bytes.Begin(), row.bytes.Size()), row.content) << row.label;
    }
    EXPECT_EQ(shell_link::ContentOf(nullptr, 12), Content::kOther);
}

TEST(JumpListNames, IsJumpListLooksPastTheFirstBytes) {
    const std::vector<std::uint8_t> automatic = AutomaticFile({{"DestList", DestListBytes(3, {EntryValues()})}, {"1", NamedLink(u"one")}});
    const std::vector<std::uint8_t> document = AutomaticFile({{"WordDocument", Bytes().Zeros(100)}, {"1", NamedLink(u"one")}});
    const Bytes tasks = CustomHeader(1).Append(TasksCategory({NamedLink(u"one")}));
    const struct {
        const char* label;
        std::vector<std::uint8_t> bytes;
        bool jumpList;
    } rows[] = {
        {"a compound file with a DestList", automatic, true},
        {"a compound file without one", document, false},
        {"a compound file cut short", std::vector<std::uint8_t>(automatic.begin(), automatic.begin() + 600), false},
        {"custom: no categories", CustomHeader(0).Data(), true},
        {"custom: the tasks, up to their first class identifier", tasks.Data(), true},
        {"custom: a known category and its footer", CustomHeader(1).Append(KnownCategory(2)).Data(), true},
        {"custom: an empty category of its own", CustomHeader(1).Append(OwnCategory(u"x", {})).Data(), true},
        {"custom: a known category without its footer", CustomHeader(1).U32(1).U32(1).U32(0).Data(), false},
        {"custom: the tasks, then no class identifier", CustomHeader(1).U32(2).U32(1).Zeros(16).Data(), false},
        {"custom: a name past the end", CustomHeader(1).U32(0).U16(40).Units(u"ab").Data(), false},
        {"a link", NamedLink(u"one").Data(), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell_link::IsJumpList(row.bytes.data(), row.bytes.size()), row.jumpList) << row.label;
    }
}

TEST(JumpListNames, ContainedFileNameJoinsWhatIsSet) {
    Container member;
    member.path = "a.zip";
    member.member = "x/1b.automaticDestinations-ms";
    member.stream = "1a";
    Container offset;
    offset.path = "c.customDestinations-ms";
    offset.offset = 36;
    Container both = offset;
    both.stream = "2";
    const struct {
        const char* label;
        Container where;
        const char* file;
    } rows[] = {
        {"path, member and stream", member, "a.zip#x/1b.automaticDestinations-ms#1a"},
        {"path and offset", offset, "c.customDestinations-ms#36"},
        {"a stream before an offset", both, "c.customDestinations-ms#2"},
        {"the path alone", Where("d.lnk"), "d.lnk"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(shell_link::ContainedFileName(row.where), row.file) << row.label;
    }
}

TEST(JumpListNames, AnEmbeddedLinkEndsWithItsOwnStructures) {
    const Bytes link = NamedLink(u"one");
    const struct {
        const char* label;
        Bytes after;
    } rows[] = {
        {"nothing", Bytes()},
        {"a footer", Footer()},
        {"another link", NamedLink(u"two")},
        {"zeros", Bytes().Zeros(100)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const Bytes input = Bytes().Append(link).Append(row.after);
        shell_link::CodePage codePage;
        const Link read = shell_link::ReadEmbeddedLink(input.Begin(), input.Size(), codePage);
        EXPECT_EQ(read.status, Status::kRead);
        EXPECT_EQ(read.size, link.Size());
        EXPECT_EQ(read.trailing_data.has_value(), false);
        EXPECT_EQ(WarningNames(read), std::vector<std::string>{});
        EXPECT_EQ(DescriptionOf(read), "one");
    }
    // Read whole, the same bytes have trailing data.
    const Bytes input = Bytes().Append(link).Append(Footer());
    shell_link::CodePage codePage;
    const Link whole = shell_link::ReadLink(input.Begin(), input.Size(), codePage);
    EXPECT_EQ(WarningNames(whole), std::vector<std::string>{"trailing_data"});
}

}  // namespace
