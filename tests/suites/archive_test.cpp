// SPDX-License-Identifier: MIT
// Links inside archives: which names and first bytes are archives', the records of the
// members of ZIP, 7z, ISO 9660 and tar archives built here by libarchive's own writer
// (an archive inside one included), damaged and encrypted members, the limit on members,
// and shortcut_inspect's walk and --no-archives.
#include <gtest/gtest.h>
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_containers.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "shortcut_inspect/archive_input.h"
#include "test_support.h"

#ifdef SHORTCUT_WITH_LIBARCHIVE
#include <archive.h>
#include <archive_entry.h>

#include "records.h"
#endif

namespace {

TEST(ArchiveNames, AreKnownByTheirEndingInAnyCase) {
    const struct {
        const char* name;
        bool archive;
    } rows[] = {
        {"x.zip", true},         {"X.ZIP", true},      {"dir/x.7z", true},     {"x.rar", true},
        {"disc.iso", true},      {"x.cab", true},      {"x.tar", true},        {"x.tgz", true},
        {"x.tar.gz", true},      {"x.Tar.Bz2", true},  {"x.tar.xz", true},     {"x.tbz2", true},
        {"x.txz", true},         {"a.lnk", false},     {"x.gz", false},        {"x.zip.txt", false},
        {"zip", false},          {"x.bz2", false},     {"", false},            {"x.xz", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(inspect::IsArchiveName(row.name), row.archive) << row.name;
    }
}

TEST(ArchiveBytes, AreKnownByTheSignatureOfEachFormatAtItsPlace) {
    const auto at = [](std::size_t offset, const std::string& magic) { return Bytes().Zeros(offset).Text(magic); };
    const struct {
        const char* what;
        Bytes bytes;
        bool archive;
    } rows[] = {
        {"zip", Bytes().Text("PK\x03\x04"), true},
        {"empty zip", Bytes().Text("PK\x05\x06").Zeros(18), true},
        {"spanned zip marker", Bytes().Text("PK\x07\x08"), false},
        {"7z", Bytes({0x37, 0x7A, 0xBC, 0xAF, 0x27, 0x1C}), true},
        {"7z cut", Bytes({0x37, 0x7A, 0xBC, 0xAF, 0x27}), false},
        {"rar", Bytes().Text("Rar!\x1A\x07").U8(0), true},
        {"cab", Bytes().Text("MSCF").Zeros(4), true},
        {"xz", Bytes({0xFD, 0x37, 0x7A, 0x58, 0x5A, 0x00}), true},
        {"gzip", Bytes({0x1F, 0x8B, 0x08}), true},
        {"bzip2", Bytes().Text("BZh9"), true},
        {"tar", at(257, "ustar"), true},
        {"tar cut", at(257, "usta"), false},
        {"iso", at(0x8001, "CD001"), true},
        {"iso second descriptor", at(0x8801, "CD001"), true},
        {"iso third descriptor", at(0x9001, "CD001"), true},
        {"iso cut", at(0x9001, "CD00"), false},
        {"iso elsewhere", at(0x8002, "CD001"), false},
        {"link", LinkBuilder().Build(), false},
        {"text", Bytes().Text("PK is not enough"), false},
        {"empty", Bytes(), false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(inspect::LooksLikeArchive(row.bytes.Begin(), row.bytes.Size()), row.archive) << row.what;
    }
    EXPECT_FALSE(inspect::LooksLikeArchive(nullptr, 0));
    EXPECT_EQ(inspect::kArchiveProbeBytes, 0x9006u);  // the last byte of the last place of CD001
}

#ifndef SHORTCUT_WITH_LIBARCHIVE

TEST(ArchiveMembers, AreReadOnlyWithLibarchive) {
    EXPECT_FALSE(inspect::ArchivesAvailable());
    GTEST_SKIP() << "built without libarchive";
}

#else

// What a test wants to know of a record.
struct Got {
    std::string file;
    shell_link::Status status;
    std::string member;  // of the container, or "-" without one
    std::string error;   // or "-"
    bool operator==(const Got& other) const {
        return file == other.file && status == other.status && member == other.member && error == other.error;
    }
};

std::ostream& operator<<(std::ostream& out, const Got& got) {
    return out << "{" << got.file << ", " << static_cast<int>(got.status) << ", " << got.member << ", " << got.error << "}";
}

struct Member {
    std::string name;
    Bytes bytes;
};

enum class Kind { kZip, kSevenZip, kIso, kTar, kTarGz };

// An archive of these members in memory, by libarchive's writer; options and a
// passphrase as its writer takes them.
Bytes WriteArchive(Kind kind, const std::vector<Member>& members, const char* options = nullptr,
                   const char* passphrase = nullptr) {
    std::vector<unsigned char> out;
    archive* writer = archive_write_new();
    switch (kind) {
        case Kind::kZip: archive_write_set_format_zip(writer); break;
        case Kind::kSevenZip: archive_write_set_format_7zip(writer); break;
        case Kind::kIso: archive_write_set_format_iso9660(writer); break;
        case Kind::kTar: archive_write_set_format_ustar(writer); break;  // names as they are given
        case Kind::kTarGz:
            archive_write_set_format_pax_restricted(writer);
            archive_write_add_filter_gzip(writer);
            break;
    }
    if (options != nullptr) {
        EXPECT_EQ(archive_write_set_options(writer, options), ARCHIVE_OK) << archive_error_string(writer);
    }
    if (passphrase != nullptr) {
        EXPECT_EQ(archive_write_set_passphrase(writer, passphrase), ARCHIVE_OK);
    }
    const auto append = [](archive*, void* data, const void* buffer, std::size_t length) -> la_ssize_t {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        static_cast<std::vector<unsigned char>*>(data)->insert(static_cast<std::vector<unsigned char>*>(data)->end(), bytes,
                                                                bytes + length);
        return static_cast<la_ssize_t>(length);
    };
    EXPECT_EQ(archive_write_open(writer, &out, nullptr, append, nullptr), ARCHIVE_OK) << archive_error_string(writer);
    for (const Member& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, member.name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(member.bytes.Size()));
        EXPECT_EQ(archive_write_header(writer, entry), ARCHIVE_OK) << archive_error_string(writer);
        if (member.bytes.Size() > 0) {
            EXPECT_EQ(archive_write_data(writer, member.bytes.Begin(), member.bytes.Size()),
                      static_cast<la_ssize_t>(member.bytes.Size()));
        }
        archive_entry_free(entry);
    }
    EXPECT_EQ(archive_write_close(writer), ARCHIVE_OK) << archive_error_string(writer);
    archive_write_free(writer);
    return Bytes().Text(std::string(out.begin(), out.end()));
}

std::vector<Got> ReadAll(const std::string& path) {
    shell_link::CodePage codePage;
    std::vector<Got> got;
    const bool going = inspect::ReadArchive(path, codePage, [&got](shell_link::Link& link) {
        const bool archived = link.container && link.container->path.size() > 0;
        got.push_back({link.file, link.status, archived && link.container->member ? *link.container->member : "-",
                       link.error.value_or("-")});
        return true;
    });
    EXPECT_TRUE(going);
    return got;
}

std::vector<Got> ReadAll(const Bytes& archive) {
    const TempFile file(archive);
    std::vector<Got> got = ReadAll(file.Path());
    for (Got& each : got) {
        EXPECT_EQ(each.file.compare(0, file.Path().size(), file.Path()), 0) << each.file;
        each.file.erase(0, file.Path().size());
    }
    return got;
}

const Bytes kLink = LinkBuilder().Description(u"in an archive").Build();
const Bytes kOtherLink = LinkBuilder().Description(u"nested").Build();
constexpr shell_link::Status kRead = shell_link::Status::kRead;
constexpr shell_link::Status kFileError = shell_link::Status::kFileError;

// A custom destinations Jump List: its header, then one tasks category holding the link.
Bytes CustomDestinations(const Bytes& link) {
    Bytes bytes = Bytes().U32(2).U32(1).U32(0).U32(2).U32(1);
    bytes.Append(Bytes({0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}));
    return bytes.Append(link).U32(0xBABFFBAB);
}

TEST(ArchiveMembers, GiveTheRecordsOfTheirLinksAndJumpListsByContentInEveryFormat) {
    EXPECT_TRUE(inspect::ArchivesAvailable());
    const Bytes inner = WriteArchive(Kind::kZip, {{"deep/c.lnk", kOtherLink}, {"readme", Bytes().Text("text")}});
    const Bytes innermost = WriteArchive(Kind::kZip, {{"too-deep.zip", inner}});
    const std::string jumpList = "jl/9B9CDC69C1C24E2B.customDestinations-ms";
    const std::vector<Member> members = {
        {"a.lnk", kLink},
        {jumpList, CustomDestinations(kLink)},
        {"notes.txt", Bytes().Text("not a link, and longer than a link's header")},
        {"inner.zip", inner},
        {"named-otherwise.dat", kLink},
        {"deeper.zip", innermost},  // its archive inside is not opened
        {"empty", Bytes()},
    };
    const std::vector<Got> expected = {
        {"#a.lnk", kRead, "a.lnk", "-"},
        {"#" + jumpList + "#36", kRead, jumpList, "-"},
        {"#inner.zip#deep/c.lnk", kRead, "inner.zip#deep/c.lnk", "-"},
        {"#named-otherwise.dat", kRead, "named-otherwise.dat", "-"},
    };
    const struct {
        const char* what;
        Kind kind;
    } rows[] = {{"zip", Kind::kZip}, {"7z", Kind::kSevenZip}, {"iso", Kind::kIso}, {"tar.gz", Kind::kTarGz}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<Got> got = ReadAll(WriteArchive(row.kind, members));
        std::vector<Got> want = expected;
        if (row.kind == Kind::kIso) {  // listed by their place on the disc
            const auto byFile = [](const Got& a, const Got& b) { return a.file < b.file; };
            std::sort(got.begin(), got.end(), byFile);
            std::sort(want.begin(), want.end(), byFile);
        }
        EXPECT_EQ(got, want);
    }
}

TEST(ArchiveMembers, RecordTheirWholeContainerAndTheLinkAsReadFromMemory) {
    shell_link::CodePage codePage;
    const TempFile file(WriteArchive(Kind::kZip, {{"dir/a.lnk", kLink}, {"inner.zip", WriteArchive(Kind::kZip, {{"b.lnk", kOtherLink}})}}));
    std::vector<shell_link::Link> links;
    inspect::ReadArchive(file.Path(), codePage, [&links](shell_link::Link& link) {
        links.push_back(link);
        return true;
    });
    ASSERT_EQ(links.size(), 2u);
    shell_link::CodePage again;
    const shell_link::Link alone = shell_link::ReadLink(kLink.Begin(), kLink.Size(), again);
    EXPECT_EQ(links[0].file, file.Path() + "#dir/a.lnk");
    ASSERT_TRUE(links[0].string_data.name_string && alone.string_data.name_string);
    EXPECT_EQ(links[0].string_data.name_string->text, alone.string_data.name_string->text);
    EXPECT_EQ(links[0].size, alone.size);
    EXPECT_EQ(links[0].warnings.size(), alone.warnings.size());
    EXPECT_FALSE(links[0].link_file.has_value());
    for (const shell_link::Link& link : links) {
        ASSERT_TRUE(link.container.has_value());
        EXPECT_EQ(link.container->kind, shell_link::ContainerKind::kArchive);
        EXPECT_EQ(link.container->path, file.Path());
        EXPECT_FALSE(link.container->app_id || link.container->stream || link.container->offset || link.container->category);
    }
    EXPECT_EQ(links[0].container->member, "dir/a.lnk");
    EXPECT_EQ(links[1].container->member, "inner.zip#b.lnk");
    ASSERT_TRUE(links[1].string_data.name_string.has_value());
    EXPECT_EQ(links[1].string_data.name_string->text, "nested");
}

TEST(ArchiveMembers, ThatAreJumpListsGiveTheirLinksWithTheAppIdOfTheMembersName) {
    shell_link::CodePage codePage;
    const std::string member = "Recent/9B9CDC69C1C24E2B.customDestinations-ms";
    const TempFile file(WriteArchive(Kind::kZip, {{member, CustomDestinations(kLink)}}));
    std::vector<shell_link::Link> links;
    inspect::ReadArchive(file.Path(), codePage, [&links](shell_link::Link& link) {
        links.push_back(link);
        return true;
    });
    ASSERT_EQ(links.size(), 1u);
    ASSERT_TRUE(links[0].container.has_value());
    const shell_link::Container& where = *links[0].container;
    EXPECT_EQ(links[0].status, kRead);
    EXPECT_EQ(links[0].file, file.Path() + "#" + member + "#36");
    EXPECT_EQ(where.kind, shell_link::ContainerKind::kCustomDestinations);
    EXPECT_EQ(where.path, file.Path());
    EXPECT_EQ(where.member, member);
    EXPECT_EQ(where.app_id, "9b9cdc69c1c24e2b");
    EXPECT_EQ(where.offset, 36u);
    EXPECT_EQ(where.category, "Tasks");
}

TEST(ArchiveMembers, ThatCannotBeReadGiveAnErrorRecordAndTheReadingGoesOnWhereItCan) {
    // Stored, not compressed: the links' bytes are found in the archive's.
    const Bytes good = WriteArchive(Kind::kZip, {{"a.lnk", kLink}, {"b.lnk", kOtherLink}}, "zip:compression=store");
    const auto linkAt = [](const Bytes& archive, std::size_t from) {
        const auto start = std::search(archive.Data().begin() + static_cast<std::ptrdiff_t>(from), archive.Data().end(),
                                       std::begin(shell_link::kLinkHeaderBytes), std::end(shell_link::kLinkHeaderBytes));
        EXPECT_NE(start, archive.Data().end());
        return static_cast<std::size_t>(start - archive.Data().begin());
    };
    // A stored member whose bytes no longer match its CRC, and a good one after it.
    Bytes corrupt = WriteArchive(Kind::kZip, {{"bad.lnk", kLink}, {"good.lnk", kOtherLink}}, "zip:compression=store");
    corrupt.Patch(linkAt(corrupt, 0) + 40, 0x99);
    const Bytes encrypted =
        WriteArchive(Kind::kZip, {{"secret.lnk", kLink}, {"notes.txt", Bytes().Text("text")}}, "zip:encryption=zipcrypt", "pass");
    const struct {
        const char* what;
        Bytes archive;
        std::vector<Got> expected;
    } rows[] = {
        {"cut short in its second member",
         good.Prefix(linkAt(good, linkAt(good, 0) + 1) + 40),
         {{"#a.lnk", kRead, "a.lnk", "-"}, {"#b.lnk", kFileError, "b.lnk", "Truncated ZIP file data"}}},
        {"a member's bytes changed", corrupt,
         {{"#bad.lnk", kFileError, "bad.lnk", "ZIP bad CRC: 0x4dad5bb9 should be 0xd6214e71"},
          {"#good.lnk", kRead, "good.lnk", "-"}}},
        {"encrypted members, links or not", encrypted,
         {{"#secret.lnk", kFileError, "secret.lnk", "encrypted, and no passphrase is given"},
          {"#notes.txt", kFileError, "notes.txt", "encrypted, and no passphrase is given"}}},
        {"no archive at all", Bytes().Text("PK\x03\x04 but nothing after"),
         {{"", kFileError, "-", "Truncated ZIP file header"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadAll(row.archive), row.expected);
    }
}

TEST(ArchiveMembers, AreReadUpToTheirLimitThenOneRecordSaysTheRestWereNot) {
    // The last member within the limit is read, the one past it is not.
    std::vector<Member> members(inspect::kMaxArchiveMembers + 1, Member{"", Bytes()});
    for (std::size_t i = 0; i < members.size(); ++i) {
        members[i].name = std::to_string(i);
    }
    members[inspect::kMaxArchiveMembers - 1] = {"last.lnk", kLink};
    members[inspect::kMaxArchiveMembers] = {"past.lnk", kLink};
    EXPECT_EQ(ReadAll(WriteArchive(Kind::kTar, members)),
              (std::vector<Got>{{"#last.lnk", kRead, "last.lnk", "-"},
                                {"", kFileError, "-", "more than 100000 members: the rest were not read"}}));
}

TEST(ArchiveMembers, AreNamedInValidUtf8WhateverTheArchiveHolds) {
    const std::vector<Got> got = ReadAll(WriteArchive(Kind::kTar, {{"\xFF\xC3.lnk", kLink}, {"caf\xC3\xA9.lnk", kLink}}));
    EXPECT_EQ(got, (std::vector<Got>{{"#\xEF\xBF\xBD\xEF\xBF\xBD.lnk", kRead, "\xEF\xBF\xBD\xEF\xBF\xBD.lnk", "-"},
                                     {"#caf\xC3\xA9.lnk", kRead, "caf\xC3\xA9.lnk", "-"}}));
}

// shortcut_inspect's records as (file, status), its files below the folder.
std::vector<std::pair<std::string, std::string>> Inspect(const std::vector<std::string>& args, const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> got;
    std::istringstream lines(RunInspect(args).out);
    std::string line;
    while (std::getline(lines, line)) {
        const nlohmann::json record = ParseRecordLine(line + "\n");
        std::string file = record.value("file", "");
        if (file.compare(0, folder.size() + 1, folder + "/") == 0) {
            file.erase(0, folder.size() + 1);
        }
        got.emplace_back(file, record.value("status", ""));
    }
    return got;
}

TEST(InspectArchives, AreWalkedByNameOrByContentAndReadAsPlainFilesWithNoArchives) {
    const TempDirectory folder;
    const Bytes zip = WriteArchive(Kind::kZip, {{"a.lnk", kLink}, {"notes.txt", Bytes().Text("text")}});
    const auto asText = [](const Bytes& bytes) { return std::string(bytes.Data().begin(), bytes.Data().end()); };
    folder.Write("x.zip", asText(zip));
    folder.Write("y.dat", asText(zip));  // an archive by its bytes alone
    folder.Write("z.lnk", asText(kLink));
    const std::string& root = folder.Path();
    using Rows = std::vector<std::pair<std::string, std::string>>;
    const struct {
        std::vector<std::string> args;
        Rows records;
    } rows[] = {
        {{root + "/x.zip"}, {{"x.zip#a.lnk", "read"}}},
        {{root + "/y.dat"}, {{"y.dat#a.lnk", "read"}}},  // a path given: by its bytes
        {{"--no-archives", root + "/x.zip", root + "/z.lnk"}, {{"x.zip", "not_a_shortcut"}, {"z.lnk", "read"}}},
        {{"-r", root}, {{"x.zip#a.lnk", "read"}, {"z.lnk", "read"}}},
        {{"-r", "--any-name", root}, {{"x.zip#a.lnk", "read"}, {"y.dat#a.lnk", "read"}, {"z.lnk", "read"}}},
        {{"-r", "--no-archives", root}, {{"z.lnk", "read"}}},
        {{"-r", "--any-name", "--no-archives", root}, {{"z.lnk", "read"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        EXPECT_EQ(Inspect(row.args, root), row.records);
    }
}

#endif

}  // namespace
