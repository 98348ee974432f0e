// SPDX-License-Identifier: MIT
// Read-only access to the streams of a compound file (the OLE container that Jump Lists
// use), from bytes in memory. Made for damaged and hostile files: every sector number is
// checked against the file before use, every chain walk is bounded, each sector and mini
// sector can be handed to one stream only, so listing and reading every stream costs time
// and memory linear in the file's size whatever its tables say.
#ifndef SHORTCUT_READER_COMPOUND_COMPOUND_FILE_H
#define SHORTCUT_READER_COMPOUND_COMPOUND_FILE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bytes/byte_span.h"

namespace compound_file {

struct Entry {
    std::uint32_t id = 0;    // directory entry number (stream ID)
    std::string name;        // UTF-8; a stream inside a storage is "storage/name"
    std::uint64_t size = 0;  // stream size as used (version 3: its low 32 bits)
};

class CompoundFile {
public:
    // Reads the header, DIFAT, FAT, directory and mini FAT of bytes, which must outlive
    // this object.
    explicit CompoundFile(link_format::ByteSpan bytes);

    // False when the file must be rejected as a whole; error() says why.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // Every stream reachable from the root's tree, ordered by id; empty when !ok().
    const std::vector<Entry>& streams() const { return streams_; }
    // The bytes of one stream of streams() into out, replacing its content. Returns
    // std::nullopt on success, else why the stream cannot be read; out is then empty.
    // A stream that failed once fails again with the same reason.
    std::optional<std::string> Read(const Entry& entry, std::vector<unsigned char>& out);
    // Findings that do not stop the reading, at most kMaxReports of them.
    const std::vector<std::string>& reports() const { return reports_; }

    static constexpr std::size_t kMaxReports = 64;
    // Storages nested deeper than this below the root make the file rejected: each
    // stream's name holds the names of all its storages, so deep nesting would multiply
    // the memory the names take.
    static constexpr unsigned kMaxStorageDepth = 8;

private:
    bool ReadHeader();
    bool ReadFat();
    bool ReadDirectory();
    bool ReadMiniFat();
    void ReadMiniStream();
    std::optional<std::string> WalkChain(std::uint32_t start, std::uint64_t limit, std::uint32_t owner,
                                         bool reread, bool whole_sectors, std::vector<std::uint32_t>& sectors,
                                         bool* longer);
    std::optional<std::string> ReadRegular(std::uint32_t start, std::uint64_t size, std::uint32_t owner,
                                           bool reread, std::vector<unsigned char>& out);
    std::optional<std::string> ReadMini(std::uint32_t start, std::uint64_t size, std::uint32_t owner,
                                        bool reread, std::vector<unsigned char>& out);
    std::uint64_t SectorOffset(std::uint32_t sector) const;
    bool SectorIsWhole(std::uint32_t sector) const;
    void Report(std::string text);
    std::string OwnerName(std::uint32_t owner) const;

    link_format::ByteSpan bytes_;
    std::string error_;
    std::vector<std::string> reports_;
    std::vector<Entry> streams_;
    std::vector<unsigned char> stream_state_;  // per stream of streams_: unread, read, failed
    std::vector<std::string> stream_errors_;   // per stream of streams_, when failed

    unsigned major_version_ = 0;
    std::uint32_t sector_size_ = 0;
    std::uint64_t sector_count_ = 0;  // sectors after the header, the last one maybe short
    std::uint32_t fat_sector_count_ = 0;
    std::uint32_t first_directory_sector_ = 0;
    std::uint32_t first_mini_fat_sector_ = 0;
    std::uint32_t mini_fat_sector_count_ = 0;
    std::uint32_t first_difat_sector_ = 0;
    std::uint32_t difat_sector_count_ = 0;
    std::uint32_t directory_sector_count_ = 0;

    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> mini_fat_;
    std::vector<std::uint32_t> directory_sectors_;
    std::vector<std::uint32_t> mini_stream_sectors_;
    std::uint32_t mini_stream_start_ = 0;
    std::uint64_t mini_stream_size_ = 0;
    std::string mini_stream_error_;  // why no mini stream can be read
    std::vector<std::uint32_t> sector_owner_;       // per sector: kFree, a table, or stream id + 1
    std::vector<std::uint32_t> mini_sector_owner_;  // per mini sector: kFree or stream id + 1
};

// True when bytes start with the compound file signature D0 CF 11 E0 A1 B1 1A E1.
bool HasSignature(link_format::ByteSpan bytes);

}  // namespace compound_file

#endif
