// SPDX-License-Identifier: MIT
// The compound file reader: files built here read back stream for stream, and each
// single fault either rejects the file, rejects only the stream that meets it, or is
// reported, with words that say what it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compound/compound_file.h"
#include "compound_builder.h"

namespace {

namespace cf = compound_file;
namespace ct = compound_test;

struct NamedStream {
    std::string path;
    std::size_t size;
};

link_format::ByteSpan Span(const std::vector<unsigned char>& bytes) { return {bytes.data(), bytes.size()}; }

std::vector<unsigned char> Contents(const NamedStream& named) {
    return ct::PatternBytes(named.size, static_cast<unsigned>(named.size + named.path.size() * 7919));
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const auto& text : texts) {
        joined += text + "\n";
    }
    return joined;
}

std::vector<NamedStream> HexStreams(unsigned count, std::size_t size) {
    std::vector<NamedStream> list;
    char name[16];
    for (unsigned i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "%x", i);
        list.push_back({name, size});
    }
    return list;
}

TEST(CompoundFile, ReadsBackEveryStreamItWasBuiltFrom) {
    const struct {
        const char* label;
        ct::CompoundOptions options;
        std::vector<NamedStream> streams;
    } rows[] = {
        {"a Jump List's streams", {}, {{"DestList", 332}, {"1", 203}, {"2", 5000}}},
        {"version 4", {4, 0}, {{"a", 100}, {"b", 4096}, {"c", 10000}, {"d", 0}}},
        {"around the mini stream cutoff", {}, {{"a", 4095}, {"b", 4096}, {"c", 4097}, {"d", 63}, {"e", 64}, {"f", 65}}},
        {"a storage", {}, {{"s/x", 70}, {"s/y", 9000}, {"top", 1}, {"s/t/z", 5}}},
        {"only empty streams", {}, {{"DestList", 0}}},
        {"many directory and mini FAT sectors", {}, HexStreams(150, 64)},
        {"FAT locations in DIFAT sectors", {3, 240}, {{"DestList", 900}, {"1", 6000}}},
        {"FAT locations in DIFAT sectors, version 4", {4, 1200}, {{"x", 3}, {"y", 70000}}},
        {"names beyond ASCII", {}, {{"\xC3\x9C" "ber", 10}, {"\xE2\x82\xAC", 20}, {"\xF0\x9F\x98\x80", 30}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ct::CompoundBuilder builder(row.options);
        for (const auto& named : row.streams) {
            builder.Add(named.path, Contents(named));
        }
        const ct::CompoundImage image = builder.Build();
        EXPECT_TRUE(cf::HasSignature(Span(image.bytes)));
        cf::CompoundFile file(Span(image.bytes));
        ASSERT_TRUE(file.ok()) << file.error();
        EXPECT_EQ(Joined(file.reports()), "");
        ASSERT_EQ(file.streams().size(), row.streams.size());
        for (std::size_t i = 0; i < row.streams.size(); ++i) {
            const cf::Entry& entry = file.streams()[i];
            const NamedStream& named = row.streams[i];  // added in id order
            EXPECT_EQ(entry.name, named.path);
            EXPECT_EQ(entry.id, image.ids.at(named.path));
            EXPECT_EQ(entry.size, named.size);
            std::vector<unsigned char> out{1, 2, 3};
            EXPECT_EQ(file.Read(entry, out), std::nullopt) << entry.name;
            EXPECT_EQ(out, Contents(named)) << entry.name;
            // A second read gives the same bytes: the stream's sectors are its own.
            EXPECT_EQ(file.Read(entry, out), std::nullopt) << entry.name;
            EXPECT_EQ(out, Contents(named)) << entry.name;
        }
    }
}

// Two streams in the mini stream and two in sectors of their own; the DIFAT rows add
// FAT sectors so that their locations reach DIFAT sectors.
const std::vector<NamedStream> kBase = {{"DestList", 332}, {"1", 203}, {"big", 5000}, {"big2", 4100}};

enum class Outcome { kFileRejected, kStreamRejected, kReported };

TEST(CompoundFile, RejectsOrReportsEachFault) {
    using Image = ct::CompoundImage;
    namespace f = ct::field;
    const auto root_child = [](const Image& image) { return image.EntryOffset(image.Entry32("", f::kChild)); };
    const struct {
        const char* label;
        ct::CompoundOptions options;
        std::function<void(Image&)> fault;
        Outcome outcome;
        const char* stream;  // the streams rejected, joined by commas
        const char* words;   // in the error or the reports
    } rows[] = {
        // Header
        {"shorter than a header", {}, [](Image& i) { i.bytes.resize(100); }, Outcome::kFileRejected, "",
         "shorter than the 512-byte header"},
        {"no sector after the header", {}, [](Image& i) { i.bytes.resize(1000); }, Outcome::kFileRejected, "",
         "no whole sector after the header"},
        {"signature", {}, [](Image& i) { i.Put8(7, 0xE0); }, Outcome::kFileRejected, "", "signature"},
        {"byte order", {}, [](Image& i) { i.Put16(f::kByteOrder, 0xFEFF); }, Outcome::kFileRejected, "",
         "byte order mark 65279"},
        {"major version", {}, [](Image& i) { i.Put16(f::kMajorVersion, 5); }, Outcome::kFileRejected, "",
         "major version 5 is neither 3 nor 4"},
        {"version 3 with version 4's shift", {}, [](Image& i) { i.Put16(f::kSectorShift, 12); },
         Outcome::kFileRejected, "", "sector shift 12 does not fit major version 3"},
        {"version 4 with version 3's shift", {4, 0}, [](Image& i) { i.Put16(f::kSectorShift, 9); },
         Outcome::kFileRejected, "", "sector shift 9 does not fit major version 4"},
        {"mini sector shift", {}, [](Image& i) { i.Put16(f::kMiniSectorShift, 7); }, Outcome::kFileRejected, "",
         "mini sector shift 7 is not 6"},
        {"mini stream cutoff", {}, [](Image& i) { i.Put32(f::kMiniStreamCutoff, 8192); }, Outcome::kFileRejected,
         "", "mini stream cutoff 8192 is not 4096"},
        {"more FAT sectors than the file has", {}, [](Image& i) { i.Put32(f::kFatSectors, 0x7FFFFFFF); },
         Outcome::kFileRejected, "", "2147483647 FAT sectors are more than the"},
        {"header CLSID", {}, [](Image& i) { i.Put8(0x10, 1); }, Outcome::kReported, "", "header CLSID is not zero"},
        {"version 3 directory sector count", {}, [](Image& i) { i.Put32(f::kDirectorySectors, 1); },
         Outcome::kReported, "", "version 3 header counts 1 directory sectors"},
        // DIFAT and FAT
        {"FAT sector past the end", {}, [](Image& i) { i.Put32(i.DifatOffset(0), 9999); }, Outcome::kFileRejected,
         "", "FAT sector 0 is at sector 9999, past the end"},
        {"FAT location a marker", {}, [](Image& i) { i.Put32(i.DifatOffset(0), ct::kFreeSect); },
         Outcome::kFileRejected, "", "FAT sector 0 is at a free sector"},
        {"FAT sector listed twice", {3, 240}, [](Image& i) { i.Put32(i.DifatOffset(1), i.fat_sectors[0]); },
         Outcome::kFileRejected, "", "listed twice as a FAT sector"},
        {"DIFAT loop", {3, 240}, [](Image& i) { i.Put32(i.DifatNextOffset(0), i.difat_sectors[0]); },
         Outcome::kFileRejected, "", "DIFAT chain loops at sector"},
        {"DIFAT shorter than the FAT", {3, 240}, [](Image& i) { i.Put32(f::kDifatSectors, 1); },
         Outcome::kFileRejected, "", "DIFAT gives 236 of the 240 FAT sector locations"},
        {"DIFAT ends early", {3, 240}, [](Image& i) { i.Put32(i.DifatNextOffset(0), ct::kEndOfChain); },
         Outcome::kFileRejected, "", "DIFAT gives 236 of the 240"},
        {"DIFAT sector past the end", {3, 240}, [](Image& i) { i.Put32(f::kFirstDifatSector, 99999); },
         Outcome::kFileRejected, "", "DIFAT chain reaches sector 99999, past the end"},
        {"a FAT sector also a DIFAT sector", {3, 240},
         [](Image& i) { i.Put32(i.DifatOffset(200), i.difat_sectors[0]); }, Outcome::kFileRejected, "",
         "listed as both a FAT and a DIFAT sector"},
        {"FAT sector not marked", {}, [](Image& i) { i.SetFat(i.fat_sectors[0], ct::kEndOfChain); },
         Outcome::kReported, "", "1 FAT sectors are not marked as such"},
        {"unused DIFAT slot taken", {}, [](Image& i) { i.Put32(i.DifatOffset(5), 3); }, Outcome::kReported, "",
         "unused DIFAT slots are not free"},
        {"FAT entry past the end not free", {}, [](Image& i) { i.SetFat(120, 0); }, Outcome::kReported, "",
         "FAT entries past the end of the file are not free"},
        // Directory
        {"directory chain loops", {}, [](Image& i) { i.SetFat(i.directory_sectors[0], i.directory_sectors[0]); },
         Outcome::kFileRejected, "", "directory chain loops at sector"},
        {"directory chain meets a free sector", {},
         [](Image& i) { i.SetFat(i.directory_sectors[0], ct::kFreeSect); }, Outcome::kFileRejected, "",
         "directory chain meets a free sector"},
        {"directory chain empty", {}, [](Image& i) { i.Put32(f::kFirstDirectorySector, ct::kEndOfChain); },
         Outcome::kFileRejected, "", "directory chain is empty"},
        {"directory in the FAT's sector", {}, [](Image& i) { i.Put32(f::kFirstDirectorySector, i.fat_sectors[0]); },
         Outcome::kFileRejected, "", "directory chain shares sector 0 with the FAT"},
        {"root of the wrong type", {}, [](Image& i) { i.Put8(i.EntryOffset(0) + f::kType, 1); },
         Outcome::kFileRejected, "", "directory entry 0 has type 1"},
        {"tree loops", {}, [&](Image& i) { i.Put32(root_child(i) + f::kLeft, i.Entry32("", f::kChild)); },
         Outcome::kFileRejected, "", "directory tree loops at entry"},
        {"tree back to the root", {}, [&](Image& i) { i.Put32(root_child(i) + f::kRight, 0); },
         Outcome::kFileRejected, "", "directory tree loops at entry 0"},
        {"tree past the directory", {}, [&](Image& i) { i.Put32(root_child(i) + f::kRight, 1000); },
         Outcome::kFileRejected, "", "directory tree links to entry 1000, past the 8 entries"},
        {"tree to an unallocated entry", {}, [&](Image& i) { i.Put32(root_child(i) + f::kRight, 6); },
         Outcome::kFileRejected, "", "links to entry 6 of type 0"},
        {"name length odd", {}, [](Image& i) { i.Put16(i.EntryOffset("1") + f::kNameLength, 3); },
         Outcome::kReported, "", "1 directory entries have a malformed name"},
        {"colour", {}, [](Image& i) { i.Put8(i.EntryOffset("1") + f::kColour, 7); }, Outcome::kReported, "",
         "colour other than red or black"},
        {"entry outside the tree", {}, [](Image& i) { i.Put8(i.EntryOffset(7) + f::kType, 2); }, Outcome::kReported,
         "", "1 allocated directory entries are not in the tree"},
        {"unallocated entry not blank", {}, [](Image& i) { i.Put8(i.EntryOffset(7) + 3, 'x'); }, Outcome::kReported,
         "", "1 unallocated directory entries are not blank"},
        {"version 3 size with high bits", {}, [](Image& i) { i.SetEntry32("big", f::kSize + 4, 1); },
         Outcome::kReported, "", "high 32 bits set"},
        // Regular streams
        {"stream chain loops", {}, [](Image& i) { i.SetFat(i.Start("big") + 3, i.Start("big") + 1); },
         Outcome::kStreamRejected, "big", "stream 3: chain loops at sector"},
        {"stream chain past the end", {}, [](Image& i) { i.SetFat(i.Start("big") + 2, 5000); },
         Outcome::kStreamRejected, "big", "chain reaches sector 5000, past the end of the file"},
        {"free sector mid-chain", {}, [](Image& i) { i.SetFat(i.Start("big") + 2, ct::kFreeSect); },
         Outcome::kStreamRejected, "big", "chain meets a free sector"},
        {"FAT marker mid-chain", {}, [](Image& i) { i.SetFat(i.Start("big") + 2, ct::kFatSect); },
         Outcome::kStreamRejected, "big", "chain meets a FAT sector marker"},
        {"chain shorter than the size", {}, [](Image& i) { i.SetFat(i.Start("big") + 2, ct::kEndOfChain); },
         Outcome::kStreamRejected, "big", "chain ends after 3 of 10 sectors"},
        {"chain longer than the size", {}, [](Image& i) { i.SetFat(i.Start("big") + 9, i.Start("big2")); },
         Outcome::kReported, "", "stream 3: chain is longer than its size needs"},
        {"cross-linked streams", {}, [](Image& i) { i.SetEntry32("big2", f::kStart, i.Start("big") + 4); },
         Outcome::kStreamRejected, "big2", "shares sector"},
        {"stream in the directory's sector", {},
         [](Image& i) { i.SetEntry32("big", f::kStart, i.directory_sectors[0]); }, Outcome::kStreamRejected, "big",
         "chain shares sector 1 with the directory"},
        {"stream size larger than the file", {}, [](Image& i) { i.SetEntry32("big", f::kSize, 0x7FFFFFFF); },
         Outcome::kStreamRejected, "big", "size 2147483647 is larger than the file"},
        {"version 4 size larger than the file", {4, 0}, [](Image& i) { i.SetEntry32("big", f::kSize + 4, 0x10); },
         Outcome::kStreamRejected, "big", "size 68719481736 is larger than the file"},
        {"version 4 size of 2^64 - 1", {4, 0},
         [](Image& i) {
             i.SetEntry32("big", f::kSize, 0xFFFFFFFF);
             i.SetEntry32("big", f::kSize + 4, 0xFFFFFFFF);
         },
         Outcome::kStreamRejected, "big", "size 18446744073709551615 is larger than the file"},
        // big2 takes 4 bytes of the last sector.
        {"last sector short, its bytes needed", {}, [](Image& i) { i.bytes.resize(i.bytes.size() - 509); },
         Outcome::kStreamRejected, "big2", "stream 4: sector 24 is cut short by the end of the file"},
        {"last sector short, its bytes not needed", {}, [](Image& i) { i.bytes.resize(i.bytes.size() - 508); },
         Outcome::kReported, "", "file ends 508 bytes short of a whole last sector"},
        // Mini streams
        {"mini chain loops", {}, [](Image& i) { i.SetMiniFat(i.Start("1") + 2, i.Start("1")); },
         Outcome::kStreamRejected, "1", "stream 2: mini chain loops at mini sector 6"},
        {"mini chain meets a free mini sector", {}, [](Image& i) { i.SetMiniFat(i.Start("1"), ct::kFreeSect); },
         Outcome::kStreamRejected, "1", "mini chain meets a free sector"},
        {"mini sector past the mini stream", {}, [](Image& i) { i.SetMiniFat(i.Start("1"), 12); },
         Outcome::kStreamRejected, "1", "mini sector 12, past the end of the mini stream"},
        {"mini stream shorter than its streams", {}, [](Image& i) { i.SetEntry32("", f::kSize, 6 * 64); },
         Outcome::kStreamRejected, "1", "mini sector 6, past the end of the mini stream"},
        {"mini stream larger than the file", {}, [](Image& i) { i.SetEntry32("", f::kSize, 0x40000000); },
         Outcome::kStreamRejected, "DestList,1", "mini stream of 1073741824 bytes is larger than the file"},
        {"version 4 mini stream of 2^64 - 1 bytes", {4, 0},
         [](Image& i) {
             i.SetEntry32("", f::kSize, 0xFFFFFFFF);
             i.SetEntry32("", f::kSize + 4, 0xFFFFFFFF);
         },
         Outcome::kStreamRejected, "DestList,1", "mini stream of 18446744073709551615 bytes is larger than the file"},
        {"mini stream past its container", {}, [](Image& i) { i.SetFat(i.mini_stream_sectors[0], ct::kEndOfChain); },
         Outcome::kStreamRejected, "DestList,1", "mini stream chain ends after 1 of 2 sectors"},
        {"stream in the mini stream's sector", {},
         [](Image& i) { i.SetEntry32("big", f::kStart, i.mini_stream_sectors[1]); }, Outcome::kStreamRejected, "big",
         "chain shares sector 5 with the mini stream"},
        {"cross-linked mini streams", {}, [](Image& i) { i.SetEntry32("1", f::kStart, i.Start("DestList") + 1); },
         Outcome::kStreamRejected, "1", "shares mini sector 1 with another stream"},
        {"mini chain longer than the size", {}, [](Image& i) { i.SetMiniFat(i.Start("1") + 3, 20); },
         Outcome::kReported, "", "stream 2: mini chain is longer than its size needs"},
        {"mini FAT chain loops", {}, [](Image& i) { i.SetFat(i.mini_fat_sectors[0], i.mini_fat_sectors[0]); },
         Outcome::kFileRejected, "", "mini FAT chain loops at sector"},
        {"mini FAT sector count", {}, [](Image& i) { i.Put32(f::kMiniFatSectors, 3); }, Outcome::kReported, "",
         "header counts 3 mini FAT sectors, the chain has 1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ct::CompoundBuilder builder(row.options);
        for (const auto& named : kBase) {
            builder.Add(named.path, Contents(named));
        }
        ct::CompoundImage image = builder.Build();
        row.fault(image);
        cf::CompoundFile file(Span(image.bytes));
        if (row.outcome == Outcome::kFileRejected) {
            EXPECT_FALSE(file.ok());
            EXPECT_NE(file.error().find(row.words), std::string::npos) << file.error();
            EXPECT_TRUE(file.streams().empty());
            continue;
        }
        ASSERT_TRUE(file.ok()) << file.error();
        ASSERT_EQ(file.streams().size(), kBase.size());
        std::string rejected;
        for (const cf::Entry& entry : file.streams()) {
            std::vector<unsigned char> out{1};
            const std::optional<std::string> failure = file.Read(entry, out);
            if (failure) {
                EXPECT_TRUE(out.empty());
                rejected += (rejected.empty() ? "" : ",") + entry.name;
                EXPECT_NE(failure->find(row.words), std::string::npos) << *failure;
                EXPECT_EQ(file.Read(entry, out), failure);  // the same answer again
                continue;
            }
            const NamedStream& named = kBase[entry.id - 1];
            EXPECT_EQ(entry.name, named.path);
            std::vector<unsigned char> expected = Contents(named);
            expected.resize(static_cast<std::size_t>(entry.size));
            EXPECT_EQ(out, expected) << entry.name;
        }
        EXPECT_EQ(rejected, row.stream);
        if (row.outcome == Outcome::kReported) {
            EXPECT_NE(Joined(file.reports()).find(row.words), std::string::npos) << Joined(file.reports());
        }
    }
}

// A hostile directory whose entries all name the same long chain: the first takes the
// chain, every other is refused at its first sector, so the work stays linear.
TEST(CompoundFile, HandsEachSectorToOneStreamOnly) {
    ct::CompoundBuilder builder;
    builder.Add("big", ct::PatternBytes(64 * 512, 1));
    for (const auto& named : HexStreams(200, 4096)) {
        builder.Add(named.path, {});
    }
    ct::CompoundImage image = builder.Build();
    for (unsigned i = 1; i <= 200; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%x", i);
        image.SetEntry32(name, ct::field::kStart, image.Start("big"));
        image.SetEntry32(name, ct::field::kSize, 64 * 512);
    }
    cf::CompoundFile file(Span(image.bytes));
    ASSERT_TRUE(file.ok()) << file.error();
    ASSERT_EQ(file.streams().size(), 201U);
    std::size_t read = 0;
    std::size_t refused = 0;
    std::vector<unsigned char> out;
    for (const cf::Entry& entry : file.streams()) {
        const std::optional<std::string> failure = file.Read(entry, out);
        if (failure) {
            EXPECT_NE(failure->find("shares sector " + std::to_string(image.Start("big")) + " with another stream"),
                      std::string::npos)
                << *failure;
            ++refused;
        } else {
            EXPECT_EQ(out, ct::PatternBytes(64 * 512, 1));
            ++read;
        }
    }
    EXPECT_EQ(read, 1U);
    EXPECT_EQ(refused, 200U);
}

TEST(CompoundFile, RefusesAStreamItDoesNotList) {
    const ct::CompoundImage image = ct::CompoundBuilder().Add("DestList", {1, 2, 3}).Build();
    cf::CompoundFile file(Span(image.bytes));
    ASSERT_TRUE(file.ok());
    std::vector<unsigned char> out{9};
    EXPECT_EQ(file.Read(cf::Entry{0, "Root Entry", 64}, out), std::string("stream 0: no such stream"));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(file.Read(cf::Entry{77, "x", 1}, out), std::string("stream 77: no such stream"));
}

TEST(CompoundFile, NamesTheSignatureOnly) {
    const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    EXPECT_TRUE(cf::HasSignature({signature, 8}));
    EXPECT_FALSE(cf::HasSignature({signature, 7}));
    EXPECT_FALSE(cf::HasSignature({nullptr, 0}));
    cf::CompoundFile file({signature, 8});
    EXPECT_FALSE(file.ok());
}

// Two small streams laid out as a Windows 10 Jump List of 3072 bytes: FAT, directory,
// mini FAT, then a mini stream of two sectors holding 10 mini sectors.
TEST(CompoundFile, LaysOutASmallJumpListAsWindowsDoes) {
    const ct::CompoundImage image =
        ct::CompoundBuilder().Add("1", ct::PatternBytes(203, 1)).Add("DestList", ct::PatternBytes(332, 2)).Build();
    EXPECT_EQ(image.bytes.size(), 3072U);
    const struct {
        std::uint64_t offset;
        std::uint32_t value;
    } fields[] = {
        {ct::field::kFatSectors, 1},         {ct::field::kFirstDirectorySector, 1},
        {ct::field::kFirstMiniFatSector, 2}, {ct::field::kMiniFatSectors, 1},
        {ct::field::kFirstDifatSector, ct::kEndOfChain}, {0x4C, 0},
        {0x50, ct::kFreeSect},
    };
    for (const auto& field : fields) {
        EXPECT_EQ(image.Get32(field.offset), field.value) << field.offset;
    }
    const std::vector<std::uint32_t> fat = {ct::kFatSect, ct::kEndOfChain, ct::kEndOfChain, 4, ct::kEndOfChain,
                                            ct::kFreeSect};
    for (std::uint32_t s = 0; s < fat.size(); ++s) {
        EXPECT_EQ(image.Fat(s), fat[s]) << s;
    }
    const std::vector<std::uint32_t> mini_fat = {1, 2, 3, ct::kEndOfChain, 5, 6, 7, 8, 9, ct::kEndOfChain,
                                                 ct::kFreeSect};
    for (std::uint32_t s = 0; s < mini_fat.size(); ++s) {
        EXPECT_EQ(image.MiniFat(s), mini_fat[s]) << s;
    }
    EXPECT_EQ(image.Entry32("", ct::field::kStart), 3U);
    EXPECT_EQ(image.Entry32("", ct::field::kSize), 640U);
    cf::CompoundFile file(Span(image.bytes));
    ASSERT_TRUE(file.ok());
    ASSERT_EQ(file.streams().size(), 2U);
    std::vector<unsigned char> out;
    EXPECT_EQ(file.Read(file.streams()[1], out), std::nullopt);
    // DestList's first mini sector, 4, at (3 + 1) x 512 + 4 x 64.
    ASSERT_EQ(out.size(), 332U);
    EXPECT_EQ(out[0], image.bytes[0x900]);
    EXPECT_EQ(out, ct::PatternBytes(332, 2));
}

}  // namespace
