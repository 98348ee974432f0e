// SPDX-License-Identifier: MIT
// Links carved from any bytes: found at every occurrence of the header bytes, each read
// up to the next one, in memory and through a descriptor read in tiny windows, which
// must give the same records as the bytes read at once.
#include <gtest/gtest.h>

#include <shortcut_reader/shell_link_containers.h>

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "containers/scan.h"
#include "link_builder.h"
#include "test_support.h"

namespace {

namespace sl = shell_link;

// What a test says of a record.
struct Found {
    std::uint64_t offset;
    std::uint64_t size;
    bool truncated;

    bool operator==(const Found& other) const {
        return offset == other.offset && size == other.size && truncated == other.truncated;
    }
};

void PrintTo(const Found& found, std::ostream* out) {
    *out << "{" << found.offset << ", " << found.size << ", " << (found.truncated ? "truncated" : "whole") << "}";
}

Found FoundOf(const sl::Link& link) {
    const bool truncated = std::any_of(link.warnings.begin(), link.warnings.end(), [](const sl::Warning& warning) {
        return warning.code == sl::WarningCode::kTruncated;
    });
    return {link.container ? link.container->offset.value_or(~std::uint64_t{0}) : ~std::uint64_t{0},
            link.size.value_or(0), truncated};
}

// A whole link of 94 bytes: header, a description, the terminal block.
Bytes WholeLink() { return LinkBuilder().Description(u"carved").Tail(Bytes{0, 0, 0, 0}).Build(); }
constexpr std::uint64_t kWhole = 94;
// The same without its terminal block: what follows is read as its ExtraData.
Bytes OpenLink() { return LinkBuilder().Description(u"carved").Build(); }
constexpr std::uint64_t kOpenEnd = 90;

enum class Fill { kZeros, kRandom };

std::vector<std::uint8_t> Filled(Fill fill, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    if (fill == Fill::kRandom) {
        std::mt19937 random(20260704);
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(random() >> 24);
        }
    }
    return bytes;
}

void Plant(std::vector<std::uint8_t>& bytes, std::size_t at, const Bytes& link) {
    const std::size_t count = std::min(link.Size(), bytes.size() - at);
    std::copy(link.Begin(), link.Begin() + count, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

sl::Container Where() {
    sl::Container where;
    where.kind = sl::ContainerKind::kAutomaticDestinations;  // the scan sets its own kind
    where.path = "image.dd";
    return where;
}

std::vector<Found> ScanOf(const std::vector<std::uint8_t>& bytes, std::uint64_t base = 0) {
    sl::CodePage codePage;
    std::vector<Found> found;
    const bool whole = sl::ScanBytes(bytes.data(), bytes.size(), base, Where(), codePage, [&found](sl::Link& link) {
        found.push_back(FoundOf(link));
        return true;
    });
    EXPECT_TRUE(whole);
    return found;
}

std::vector<Found> SpanOf(const std::vector<std::uint8_t>& bytes, std::size_t maxLink) {
    sl::CodePage codePage;
    std::vector<Found> found;
    sl::detail::ScanSpan(bytes.data(), bytes.size(), 0, Where(), codePage, [&found](sl::Link& link) {
        found.push_back(FoundOf(link));
        return true;
    }, maxLink);
    return found;
}

// The records of the bytes written to a file and read back in windows of chunk bytes.
std::vector<Found> WindowsOf(const std::vector<std::uint8_t>& bytes, std::size_t chunk, std::size_t maxLink) {
    Bytes content;
    for (const std::uint8_t byte : bytes) {
        content.U8(byte);
    }
    const TempFile file(content);
    const int fd = open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    sl::CodePage codePage;
    std::vector<Found> found;
    bool stopped = true;
    const int error = sl::detail::ScanDescriptor(fd, Where(), codePage, [&found](sl::Link& link) {
        found.push_back(FoundOf(link));
        return true;
    }, chunk, maxLink, stopped);
    close(fd);
    EXPECT_EQ(error, 0);
    EXPECT_FALSE(stopped);
    return found;
}

constexpr std::size_t kChunk = 64;

TEST(ScanPlanted, FindsEachLinkWhereverItLies) {
    const struct {
        const char* name;
        std::size_t size;
        std::vector<std::size_t> offsets;
        std::vector<Found> zeros;   // expected in zero-filled bytes
        std::vector<Found> random;  // in random bytes, where it differs
    } rows[] = {
        {"at the start", 400, {0}, {{0, kWhole, false}}, {}},
        {"at offset 1", 400, {1}, {{1, kWhole, false}}, {}},
        {"header split between two windows", 400, {kChunk * 2 - 10}, {{kChunk * 2 - 10, kWhole, false}}, {}},
        {"header split after its first byte", 400, {kChunk - 1}, {{kChunk - 1, kWhole, false}}, {}},
        {"header split before its last byte", 400, {kChunk * 3 - 19}, {{kChunk * 3 - 19, kWhole, false}}, {}},
        {"ending at a window's end", 400, {kChunk * 4 - kWhole}, {{kChunk * 4 - kWhole, kWhole, false}}, {}},
        {"ending at the input's end", 300, {300 - kWhole}, {{300 - kWhole, kWhole, false}}, {}},
        {"header in the last 20 bytes", 300, {280}, {{280, 20, true}}, {}},
        {"three of them", 1000, {5, 300, 640}, {{5, kWhole, false}, {300, kWhole, false}, {640, kWhole, false}}, {}},
        {"one right after another", 400, {10, 10 + kWhole}, {{10, kWhole, false}, {10 + kWhole, kWhole, false}}, {}},
    };
    for (const auto& row : rows) {
        for (const Fill fill : {Fill::kZeros, Fill::kRandom}) {
            SCOPED_TRACE(std::string(row.name) + (fill == Fill::kZeros ? " in zeros" : " in random bytes"));
            std::vector<std::uint8_t> bytes = Filled(fill, row.size);
            for (const std::size_t at : row.offsets) {
                Plant(bytes, at, WholeLink());
            }
            const std::vector<Found>& expected = fill == Fill::kRandom && !row.random.empty() ? row.random : row.zeros;
            EXPECT_EQ(ScanOf(bytes), expected);
            EXPECT_EQ(WindowsOf(bytes, kChunk, 4096), expected);
            EXPECT_EQ(WindowsOf(bytes, kChunk * 1024, 4096), expected);
        }
    }
}

TEST(ScanPlanted, ReadsEachLinkOnlyUpToTheNextHeader) {
    const struct {
        const char* name;
        Fill fill;
        std::size_t size;
        std::vector<std::size_t> whole, open;  // where whole links and links without terminal block lie
        std::vector<Found> expected;
    } rows[] = {
        // Zeros after a link without its terminal block read as one.
        {"open link in zeros", Fill::kZeros, 400, {}, {30}, {{30, kOpenEnd + 4, false}}},
        // Random bytes after it read as a block of any size: the link runs to the next header.
        {"open link cut at the next header", Fill::kRandom, 600, {300}, {100},
         {{100, 200, true}, {300, kWhole, false}}},
        {"open link cut at a header across windows", Fill::kRandom, 600, {kChunk * 5 - 7}, {kChunk},
         {{kChunk, kChunk * 4 - 7, true}, {kChunk * 5 - 7, kWhole, false}}},
        // With no header after it, the input's end.
        {"open link running to the end", Fill::kRandom, 900, {}, {100}, {{100, 800, true}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::uint8_t> bytes = Filled(row.fill, row.size);
        for (const std::size_t at : row.whole) {
            Plant(bytes, at, WholeLink());
        }
        for (const std::size_t at : row.open) {
            Plant(bytes, at, OpenLink());
        }
        EXPECT_EQ(ScanOf(bytes), row.expected);
        EXPECT_EQ(WindowsOf(bytes, kChunk, 4096), row.expected);
        EXPECT_EQ(WindowsOf(bytes, 20, 4096), row.expected);
    }
}

TEST(ScanPlanted, GrowsAWindowForALinkLongerThanIt) {
    // 76 header bytes, 2 + 2 * 250 of description, the terminal block: nine windows of 64.
    const Bytes longLink = LinkBuilder().Description(std::u16string(250, u'x')).Tail(Bytes{0, 0, 0, 0}).Build();
    const std::size_t length = longLink.Size();  // offsets are size_t, also on 32-bit builds
    const struct {
        const char* name;
        std::vector<std::size_t> offsets;
        std::vector<Found> expected;
    } rows[] = {
        {"alone", {30}, {{30, length, false}}},
        {"two, the second right after", {30, 30 + length}, {{30, length, false}, {30 + length, length, false}}},
        {"ending at the input's end", {2000 - length}, {{2000 - length, length, false}}},
    };
    for (const auto& row : rows) {
        for (const Fill fill : {Fill::kZeros, Fill::kRandom}) {
            SCOPED_TRACE(std::string(row.name) + (fill == Fill::kZeros ? " in zeros" : " in random bytes"));
            std::vector<std::uint8_t> bytes = Filled(fill, 2000);
            for (const std::size_t at : row.offsets) {
                Plant(bytes, at, longLink);
            }
            EXPECT_EQ(ScanOf(bytes), row.expected);
            EXPECT_EQ(WindowsOf(bytes, kChunk, 4096), row.expected);
            EXPECT_EQ(WindowsOf(bytes, 20, 4096), row.expected);
        }
    }
}

TEST(ScanPlanted, KeepsALinkToTheLongestACarvedLinkMayBe) {
    const struct {
        const char* name;
        std::size_t size, maxLink;
        std::vector<Found> expected;
    } rows[] = {
        {"longer than the cap", 2000, 500, {{100, 500, true}}},
        {"exactly the cap", 2000, 1900, {{100, 1900, true}}},
        {"shorter than the cap", 600, 4096, {{100, 500, true}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::uint8_t> bytes = Filled(Fill::kRandom, row.size);
        Plant(bytes, 100, OpenLink());
        EXPECT_EQ(SpanOf(bytes, row.maxLink), row.expected);
        EXPECT_EQ(WindowsOf(bytes, kChunk, row.maxLink), row.expected);
        EXPECT_EQ(WindowsOf(bytes, 20, row.maxLink), row.expected);
    }
}

TEST(ScanPlanted, ReadsALinkInsideAnotherAsWellAsTheOuterOne) {
    // The inner link sits in an ExtraData block of the outer one, which is cut there.
    const Bytes inner = WholeLink();
    const Bytes block = Bytes().U32(static_cast<std::uint32_t>(8 + inner.Size())).U32(0xA0000077).Append(inner);
    const Bytes outer = LinkBuilder().Description(u"outer").Tail(Bytes(block).U32(0)).Build();
    const std::size_t innerAt = outer.Size() - 4 - inner.Size();
    for (const Fill fill : {Fill::kZeros, Fill::kRandom}) {
        std::vector<std::uint8_t> bytes = Filled(fill, 700);
        Plant(bytes, 200, outer);
        const std::vector<Found> expected = {{200, innerAt, true}, {200 + innerAt, kWhole, false}};
        EXPECT_EQ(ScanOf(bytes), expected);
        EXPECT_EQ(WindowsOf(bytes, kChunk, 4096), expected);
    }
}

TEST(ScanPlanted, FindsNothingWithoutTheWholeHeader) {
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } rows[] = {
        {"nothing", {}},
        {"zeros", Filled(Fill::kZeros, 1000)},
        {"random bytes", Filled(Fill::kRandom, 1000)},
        {"the header's first 19 bytes at the end",
         [] {
             std::vector<std::uint8_t> bytes = Filled(Fill::kZeros, 200);
             Plant(bytes, 200 - 19, WholeLink());
             return bytes;
         }()},
        {"the header with its last byte changed",
         [] {
             std::vector<std::uint8_t> bytes = Filled(Fill::kZeros, 200);
             Plant(bytes, 50, WholeLink());
             bytes[50 + 19] = 0x47;
             return bytes;
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ScanOf(row.bytes), std::vector<Found>{});
        EXPECT_EQ(WindowsOf(row.bytes, kChunk, 4096), std::vector<Found>{});
    }
}

TEST(ScanRecords, NameTheContainerAndTheOffset) {
    std::vector<std::uint8_t> bytes = Filled(Fill::kZeros, 300);
    Plant(bytes, 17, WholeLink());
    sl::CodePage codePage;
    std::vector<sl::Link> links;
    sl::ScanBytes(bytes.data(), bytes.size(), 1000, Where(), codePage, [&links](sl::Link& link) {
        links.push_back(link);
        return true;
    });
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].file, "image.dd#1017");
    ASSERT_TRUE(links[0].container.has_value());
    EXPECT_EQ(links[0].container->kind, sl::ContainerKind::kScan);
    EXPECT_EQ(links[0].container->path, "image.dd");
    EXPECT_EQ(links[0].container->offset, std::optional<std::uint64_t>(1017));
    ASSERT_TRUE(links[0].string_data.name_string.has_value());
    EXPECT_EQ(links[0].string_data.name_string->text, "carved");
    EXPECT_EQ(ScanOf(bytes, 1000), (std::vector<Found>{{1017, kWhole, false}}));
}

TEST(ScanRecords, StopWhenTheSinkSaysSo) {
    std::vector<std::uint8_t> bytes = Filled(Fill::kZeros, 600);
    for (const std::size_t at : {std::size_t{10}, std::size_t{200}, std::size_t{400}}) {
        Plant(bytes, at, WholeLink());
    }
    sl::CodePage codePage;
    std::vector<std::uint64_t> offsets;
    const auto sink = [&offsets](sl::Link& link) {
        offsets.push_back(*link.container->offset);
        return offsets.size() < 2;
    };
    EXPECT_FALSE(sl::ScanBytes(bytes.data(), bytes.size(), 0, Where(), codePage, sink));
    EXPECT_EQ(offsets, (std::vector<std::uint64_t>{10, 200}));

    Bytes content;
    for (const std::uint8_t byte : bytes) {
        content.U8(byte);
    }
    const TempFile file(content);
    offsets.clear();
    const int fd = open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    bool stopped = false;
    EXPECT_EQ(sl::detail::ScanDescriptor(fd, Where(), codePage, sink, kChunk, 4096, stopped), 0);
    close(fd);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(offsets, (std::vector<std::uint64_t>{10, 200}));
}

TEST(ScanFile, ReadsAFileAndSaysWhyOneCannotBeRead) {
    std::vector<std::uint8_t> bytes = Filled(Fill::kRandom, 5000);
    Plant(bytes, 4000, WholeLink());
    Bytes content;
    for (const std::uint8_t byte : bytes) {
        content.U8(byte);
    }
    const TempFile file(content);
    sl::CodePage codePage;
    std::vector<std::string> files;
    const auto sink = [&files](sl::Link& link) {
        files.push_back(link.file);
        return true;
    };
    EXPECT_EQ(sl::ScanFile(file.Path().c_str(), codePage, sink), 0);
    EXPECT_EQ(files, std::vector<std::string>{file.Path() + "#4000"});

    const TempDirectory directory;
    const struct {
        const char* name;
        std::string path;
        int error;
    } rows[] = {
        {"missing", directory.Path() + "/missing", ENOENT},
        {"a directory", directory.Path(), EISDIR},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        files.clear();
        EXPECT_EQ(sl::ScanFile(row.path.c_str(), codePage, sink), row.error);
        EXPECT_TRUE(files.empty());
    }
    EXPECT_EQ(sl::ScanFile(nullptr, codePage, sink), EINVAL);
}

}  // namespace
