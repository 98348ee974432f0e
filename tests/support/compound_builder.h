// SPDX-License-Identifier: MIT
// Builds compound files (version 3 or 4) in test code from a list of named streams, laid
// out as writers do: streams under 4096 bytes in the mini stream, larger ones in sectors
// of their own. The result says where every table went, so a test can then break one
// field and see what the reader makes of it.
#ifndef SHORTCUT_TESTS_COMPOUND_BUILDER_H
#define SHORTCUT_TESTS_COMPOUND_BUILDER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace compound_test {

constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Offsets inside a directory entry and the header, for patching.
namespace field {
constexpr unsigned kNameLength = 0x40;
constexpr unsigned kType = 0x42;
constexpr unsigned kColour = 0x43;
constexpr unsigned kLeft = 0x44;
constexpr unsigned kRight = 0x48;
constexpr unsigned kChild = 0x4C;
constexpr unsigned kStart = 0x74;
constexpr unsigned kSize = 0x78;

constexpr unsigned kMinorVersion = 0x18;
constexpr unsigned kMajorVersion = 0x1A;
constexpr unsigned kByteOrder = 0x1C;
constexpr unsigned kSectorShift = 0x1E;
constexpr unsigned kMiniSectorShift = 0x20;
constexpr unsigned kDirectorySectors = 0x28;
constexpr unsigned kFatSectors = 0x2C;
constexpr unsigned kFirstDirectorySector = 0x30;
constexpr unsigned kMiniStreamCutoff = 0x38;
constexpr unsigned kFirstMiniFatSector = 0x3C;
constexpr unsigned kMiniFatSectors = 0x40;
constexpr unsigned kFirstDifatSector = 0x44;
constexpr unsigned kDifatSectors = 0x48;
}  // namespace field

struct CompoundOptions {
    unsigned version = 3;
    // At least this many FAT sectors (the extra ones all free): over 109 puts FAT
    // locations in DIFAT sectors.
    std::uint32_t min_fat_sectors = 0;
};

// A built file and where its parts are.
struct CompoundImage {
    std::vector<unsigned char> bytes;
    std::uint32_t sector_size = 512;
    std::vector<std::uint32_t> fat_sectors;
    std::vector<std::uint32_t> difat_sectors;
    std::vector<std::uint32_t> directory_sectors;
    std::vector<std::uint32_t> mini_fat_sectors;
    std::vector<std::uint32_t> mini_stream_sectors;
    std::map<std::string, std::uint32_t> ids;  // directory entry id by path; the root is ""

    std::uint64_t SectorOffset(std::uint32_t sector) const;
    // Where the FAT entry of sector is, the mini FAT entry of a mini sector, the index-th
    // FAT sector location (header slots first, then DIFAT sectors), the "next" link of
    // the index-th DIFAT sector, and the directory entry of id or path.
    std::uint64_t FatOffset(std::uint32_t sector) const;
    std::uint64_t MiniFatOffset(std::uint32_t mini_sector) const;
    std::uint64_t DifatOffset(std::uint32_t index) const;
    std::uint64_t DifatNextOffset(std::size_t difat_sector) const;
    std::uint64_t EntryOffset(std::uint32_t id) const;
    std::uint64_t EntryOffset(const std::string& path) const;

    std::uint32_t Get32(std::uint64_t offset) const;
    void Put8(std::uint64_t offset, std::uint8_t value);
    void Put16(std::uint64_t offset, std::uint16_t value);
    void Put32(std::uint64_t offset, std::uint32_t value);

    std::uint32_t Fat(std::uint32_t sector) const { return Get32(FatOffset(sector)); }
    void SetFat(std::uint32_t sector, std::uint32_t value) { Put32(FatOffset(sector), value); }
    std::uint32_t MiniFat(std::uint32_t mini_sector) const { return Get32(MiniFatOffset(mini_sector)); }
    void SetMiniFat(std::uint32_t mini_sector, std::uint32_t value) { Put32(MiniFatOffset(mini_sector), value); }
    // A 32-bit field of the directory entry of path.
    std::uint32_t Entry32(const std::string& path, unsigned offset) const { return Get32(EntryOffset(path) + offset); }
    void SetEntry32(const std::string& path, unsigned offset, std::uint32_t value) {
        Put32(EntryOffset(path) + offset, value);
    }
    // The starting (mini) sector of a stream.
    std::uint32_t Start(const std::string& path) const { return Entry32(path, field::kStart); }
};

class CompoundBuilder {
public:
    explicit CompoundBuilder(CompoundOptions options = {}) : options_(options) {}

    // A stream; "storage/name" puts it inside that storage, made on first use. Names are
    // UTF-8 of at most 31 UTF-16 units per part.
    CompoundBuilder& Add(const std::string& path, std::vector<unsigned char> bytes);
    CompoundBuilder& AddStorage(const std::string& path);
    CompoundImage Build() const;

private:
    struct Node {
        std::string path;
        std::u16string name;
        unsigned type = 0;
        std::size_t parent = 0;
        std::vector<unsigned char> bytes;
    };
    std::size_t NodeFor(const std::string& path, unsigned type);

    CompoundOptions options_;
    std::vector<Node> nodes_{Node{"", u"Root Entry", 5, 0, {}}};
};

// count bytes of a recognisable pattern that differs with seed.
std::vector<unsigned char> PatternBytes(std::size_t count, unsigned seed);

}  // namespace compound_test

#endif
