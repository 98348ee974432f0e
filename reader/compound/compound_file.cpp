// SPDX-License-Identifier: MIT
// The compound file's tables are read once, at construction, in the order the streams
// depend on them: header, DIFAT and FAT, directory, mini FAT, mini stream. Every sector
// a table or stream takes is recorded as its owner's; a second claim on a sector is
// either a loop (same owner) or a cross-link (another owner), and both are refused. That
// record is what keeps the total work linear: no sector is ever walked for two owners.
//
// A file whose length is not a whole number of sectors has a short last sector. Table
// sectors (FAT, DIFAT, directory, mini FAT) must be whole, else the file is rejected: a
// table entry read as zero would be a valid-looking sector number. A stream is read as
// far as the file holds its bytes: one whose bytes run past the end of the file is
// refused, never padded, so what Read hands out is always what the file holds.
#include "compound/compound_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace compound_file {
namespace {

using link_format::ByteSpan;

constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
constexpr std::uint32_t kReservedSect = 0xFFFFFFFB;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMaxRegularId = 0xFFFFFFF9;

constexpr std::uint32_t kHeaderSize = 512;
constexpr std::uint32_t kHeaderDifatSlots = 109;
constexpr std::uint32_t kHeaderDifatOffset = 0x4C;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint64_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kEntrySize = 128;
constexpr std::uint32_t kNameBytes = 64;

// Owners of sectors, beside stream id + 1. Regular ids stop at 0xFFFFFFF9, so a stream
// owner never reaches these.
constexpr std::uint32_t kFree = 0;
constexpr std::uint32_t kFatOwner = 0xFFFFFFFF;
constexpr std::uint32_t kDifatOwner = 0xFFFFFFFE;
constexpr std::uint32_t kDirectoryOwner = 0xFFFFFFFD;
constexpr std::uint32_t kMiniFatOwner = 0xFFFFFFFC;
constexpr std::uint32_t kMiniStreamOwner = 1;  // the root entry, id 0

enum : unsigned char { kUnread, kRead, kFailed };
enum : unsigned { kUnallocated = 0, kStorage = 1, kStream = 2, kRoot = 5 };

std::string Number(std::uint64_t value) { return std::to_string(value); }

// The units that hold size bytes, without the wrap of (size + unit - 1) / unit that a
// version 4 size near 2^64 would cause.
std::uint64_t UnitsFor(std::uint64_t size, std::uint64_t unit) { return size / unit + (size % unit != 0 ? 1 : 0); }

std::uint32_t U32At(ByteSpan bytes, std::uint64_t offset) {
    std::uint32_t value = 0;
    link_format::ReadLittleEndian(bytes, offset, value);
    return value;
}

std::uint16_t U16At(ByteSpan bytes, std::uint64_t offset) {
    std::uint16_t value = 0;
    link_format::ReadLittleEndian(bytes, offset, value);
    return value;
}

std::uint64_t U64At(ByteSpan bytes, std::uint64_t offset) {
    std::uint64_t value = 0;
    link_format::ReadLittleEndian(bytes, offset, value);
    return value;
}

void PutUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// count UTF-16LE units at units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const unsigned char* units, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t unit = static_cast<std::uint32_t>(units[2 * i] | units[2 * i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
            const std::uint32_t low = static_cast<std::uint32_t>(units[2 * i + 2] | units[2 * i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                PutUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                ++i;
                continue;
            }
        }
        PutUtf8(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit, out);
    }
    return out;
}

struct DirectoryEntry {
    std::string name;
    bool name_well_formed = false;
    bool name_has_forbidden = false;
    unsigned type = 0;
    unsigned colour = 0;
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// The 128 bytes at entry, which the caller has checked lie in the file.
DirectoryEntry ParseEntry(ByteSpan entry) {
    DirectoryEntry parsed;
    const unsigned length = U16At(entry, 0x40);
    // The name ends at its first zero unit, within the units the length allows.
    const std::size_t allowed = std::min<unsigned>(length, kNameBytes) / 2;
    std::size_t units = 0;
    while (units < allowed && (entry.data[2 * units] != 0 || entry.data[2 * units + 1] != 0)) {
        ++units;
    }
    parsed.name_well_formed = length % 2 == 0 && length >= 2 && length <= kNameBytes && units + 1 == allowed;
    parsed.name = Utf16ToUtf8(entry.data, units);
    parsed.name_has_forbidden = parsed.name.find_first_of("/\\:!") != std::string::npos;
    parsed.type = entry.data[0x42];
    parsed.colour = entry.data[0x43];
    parsed.left = U32At(entry, 0x44);
    parsed.right = U32At(entry, 0x48);
    parsed.child = U32At(entry, 0x4C);
    parsed.start = U32At(entry, 0x74);
    parsed.size = U64At(entry, 0x78);
    return parsed;
}

// An unallocated entry is all zero but its three links, which are NOSTREAM.
bool IsBlank(ByteSpan entry) {
    for (std::uint32_t i = 0; i < kEntrySize; ++i) {
        const unsigned expected = i >= 0x44 && i < 0x50 ? 0xFF : 0;
        if (entry.data[i] != expected) {
            return false;
        }
    }
    return true;
}

std::string MarkerMeaning(std::uint32_t marker) {
    switch (marker) {
        case kFreeSect:
            return "a free sector";
        case kFatSect:
            return "a FAT sector marker";
        case kDifSect:
            return "a DIFAT sector marker";
        case kReservedSect:
            return "the reserved marker 0xFFFFFFFB";
        default:
            return "the marker " + Number(marker);
    }
}

}  // namespace

bool HasSignature(ByteSpan bytes) {
    return bytes.Holds(0, sizeof kSignature) && std::memcmp(bytes.data, kSignature, sizeof kSignature) == 0;
}

CompoundFile::CompoundFile(ByteSpan bytes) : bytes_(bytes) {
    if (!ReadHeader() || !ReadFat() || !ReadDirectory() || !ReadMiniFat()) {
        streams_.clear();
        return;
    }
    ReadMiniStream();
    stream_state_.assign(streams_.size(), kUnread);
    stream_errors_.assign(streams_.size(), std::string());
}

void CompoundFile::Report(std::string text) {
    if (reports_.size() < kMaxReports) {
        reports_.push_back(std::move(text));
    }
}

std::uint64_t CompoundFile::SectorOffset(std::uint32_t sector) const {
    return (std::uint64_t{sector} + 1) * sector_size_;
}

bool CompoundFile::SectorIsWhole(std::uint32_t sector) const {
    return bytes_.Holds(SectorOffset(sector), sector_size_);
}

std::string CompoundFile::OwnerName(std::uint32_t owner) const {
    switch (owner) {
        case kFatOwner:
            return "the FAT";
        case kDifatOwner:
            return "the DIFAT";
        case kDirectoryOwner:
            return "the directory";
        case kMiniFatOwner:
            return "the mini FAT";
        case kMiniStreamOwner:
            return "the mini stream";
        default:
            return "another stream";
    }
}

bool CompoundFile::ReadHeader() {
    if (bytes_.size < kHeaderSize) {
        error_ = "file is shorter than the 512-byte header";
        return false;
    }
    if (!HasSignature(bytes_)) {
        error_ = "no compound file signature";
        return false;
    }
    const unsigned byte_order = U16At(bytes_, 0x1C);
    major_version_ = U16At(bytes_, 0x1A);
    const unsigned sector_shift = U16At(bytes_, 0x1E);
    const unsigned mini_shift = U16At(bytes_, 0x20);
    const std::uint32_t cutoff = U32At(bytes_, 0x38);
    if (byte_order != 0xFFFE) {
        error_ = "byte order mark " + Number(byte_order) + " is not 0xFFFE";
        return false;
    }
    if (major_version_ != 3 && major_version_ != 4) {
        error_ = "major version " + Number(major_version_) + " is neither 3 nor 4";
        return false;
    }
    if (sector_shift != (major_version_ == 3 ? 9U : 12U)) {
        error_ = "sector shift " + Number(sector_shift) + " does not fit major version " + Number(major_version_);
        return false;
    }
    if (mini_shift != 6) {
        error_ = "mini sector shift " + Number(mini_shift) + " is not 6";
        return false;
    }
    if (cutoff != kMiniStreamCutoff) {
        error_ = "mini stream cutoff " + Number(cutoff) + " is not 4096";
        return false;
    }
    sector_size_ = std::uint32_t{1} << sector_shift;
    const std::uint64_t file_size = bytes_.size;
    if (file_size < 2 * std::uint64_t{sector_size_}) {
        error_ = "file holds no whole sector after the header";
        return false;
    }
    sector_count_ = UnitsFor(file_size - sector_size_, sector_size_);
    // Sector numbers stop at MAXREGSECT: sectors past it cannot be named, so they do not
    // count (a file that large is not a Jump List anyway).
    sector_count_ = std::min<std::uint64_t>(sector_count_, std::uint64_t{kMaxRegSect} + 1);
    if (file_size % sector_size_ != 0) {
        Report("file ends " + Number(sector_size_ - file_size % sector_size_) + " bytes short of a whole last sector");
    }
    for (std::uint64_t i = 0x08; i < 0x18; ++i) {
        if (bytes_.data[i] != 0) {
            Report("header CLSID is not zero");
            break;
        }
    }
    directory_sector_count_ = U32At(bytes_, 0x28);
    if (major_version_ == 3 && directory_sector_count_ != 0) {
        Report("version 3 header counts " + Number(directory_sector_count_) + " directory sectors instead of 0");
    }
    fat_sector_count_ = U32At(bytes_, 0x2C);
    first_directory_sector_ = U32At(bytes_, 0x30);
    first_mini_fat_sector_ = U32At(bytes_, 0x3C);
    mini_fat_sector_count_ = U32At(bytes_, 0x40);
    first_difat_sector_ = U32At(bytes_, 0x44);
    difat_sector_count_ = U32At(bytes_, 0x48);
    if (fat_sector_count_ > sector_count_) {
        error_ = Number(fat_sector_count_) + " FAT sectors are more than the " + Number(sector_count_) +
                 " sectors in the file";
        return false;
    }
    return true;
}

bool CompoundFile::ReadFat() {
    sector_owner_.assign(static_cast<std::size_t>(sector_count_), kFree);
    std::vector<std::uint32_t> locations;
    locations.reserve(fat_sector_count_);  // at most the sectors in the file
    bool unused_slot_taken = false;
    for (std::uint32_t slot = 0; slot < kHeaderDifatSlots; ++slot) {
        const std::uint32_t value = U32At(bytes_, kHeaderDifatOffset + 4 * slot);
        if (locations.size() < fat_sector_count_) {
            locations.push_back(value);
        } else if (value != kFreeSect) {
            unused_slot_taken = true;
        }
    }

    const std::uint32_t per_difat_sector = sector_size_ / 4 - 1;
    std::vector<std::uint32_t> difat_sectors;
    std::uint32_t next = first_difat_sector_;
    while (locations.size() < fat_sector_count_) {
        // The header's count bounds the walk, as the sectors' owners catch loops.
        if (difat_sectors.size() == difat_sector_count_ || next == kEndOfChain) {
            error_ = "DIFAT gives " + Number(locations.size()) + " of the " + Number(fat_sector_count_) +
                     " FAT sector locations";
            return false;
        }
        if (next > kMaxRegSect || next >= sector_count_) {
            error_ = "DIFAT chain reaches " + (next > kMaxRegSect ? MarkerMeaning(next) : "sector " + Number(next)) +
                     (next > kMaxRegSect ? "" : ", past the end of the file");
            return false;
        }
        if (sector_owner_[next] == kDifatOwner) {
            error_ = "DIFAT chain loops at sector " + Number(next);
            return false;
        }
        if (!SectorIsWhole(next)) {
            error_ = "DIFAT sector " + Number(next) + " is cut short by the end of the file";
            return false;
        }
        sector_owner_[next] = kDifatOwner;
        difat_sectors.push_back(next);
        const std::uint64_t base = SectorOffset(next);
        for (std::uint32_t slot = 0; slot < per_difat_sector; ++slot) {
            const std::uint32_t value = U32At(bytes_, base + 4 * std::uint64_t{slot});
            if (locations.size() < fat_sector_count_) {
                locations.push_back(value);
            } else if (value != kFreeSect) {
                unused_slot_taken = true;
            }
        }
        next = U32At(bytes_, base + 4 * std::uint64_t{per_difat_sector});
    }
    if (unused_slot_taken) {
        Report("unused DIFAT slots are not free");
    }
    if (!difat_sectors.empty() && next != kEndOfChain) {
        Report("last DIFAT sector does not end its chain");
    }
    if (difat_sectors.size() != difat_sector_count_) {
        Report("header counts " + Number(difat_sector_count_) + " DIFAT sectors, " + Number(difat_sectors.size()) +
               " are used");
    }

    for (std::size_t index = 0; index < locations.size(); ++index) {
        const std::uint32_t sector = locations[index];
        if (sector > kMaxRegSect || sector >= sector_count_) {
            error_ = "FAT sector " + Number(index) + " is at " +
                     (sector > kMaxRegSect ? MarkerMeaning(sector) : "sector " + Number(sector) + ", past the end of the file");
            return false;
        }
        if (sector_owner_[sector] == kFatOwner) {
            error_ = "sector " + Number(sector) + " is listed twice as a FAT sector";
            return false;
        }
        if (sector_owner_[sector] == kDifatOwner) {
            error_ = "sector " + Number(sector) + " is listed as both a FAT and a DIFAT sector";
            return false;
        }
        if (!SectorIsWhole(sector)) {
            error_ = "FAT sector " + Number(sector) + " is cut short by the end of the file";
            return false;
        }
        sector_owner_[sector] = kFatOwner;
    }

    const std::uint32_t per_fat_sector = sector_size_ / 4;
    fat_.resize(static_cast<std::size_t>(std::uint64_t{fat_sector_count_} * per_fat_sector));
    for (std::size_t index = 0; index < locations.size(); ++index) {
        const std::uint64_t base = SectorOffset(locations[index]);
        for (std::uint32_t slot = 0; slot < per_fat_sector; ++slot) {
            fat_[index * per_fat_sector + slot] = U32At(bytes_, base + 4 * std::uint64_t{slot});
        }
    }

    const auto unmarked_among = [&](const std::vector<std::uint32_t>& sectors, std::uint32_t mark) {
        return std::count_if(sectors.begin(), sectors.end(), [&](std::uint32_t sector) {
            return sector < fat_.size() && fat_[sector] != mark;
        });
    };
    auto unmarked = unmarked_among(locations, kFatSect);
    if (unmarked != 0) {
        Report(Number(static_cast<std::uint64_t>(unmarked)) + " FAT sectors are not marked as such in the FAT");
    }
    unmarked = unmarked_among(difat_sectors, kDifSect);
    if (unmarked != 0) {
        Report(Number(static_cast<std::uint64_t>(unmarked)) + " DIFAT sectors are not marked as such in the FAT");
    }
    for (std::size_t sector = static_cast<std::size_t>(sector_count_); sector < fat_.size(); ++sector) {
        if (fat_[sector] != kFreeSect) {
            Report("FAT entries past the end of the file are not free");
            break;
        }
    }
    return true;
}

std::optional<std::string> CompoundFile::WalkChain(std::uint32_t start, std::uint64_t limit, std::uint32_t owner,
                                                   bool reread, bool whole_sectors,
                                                   std::vector<std::uint32_t>& sectors, bool* longer) {
    // limit 0: up to ENDOFCHAIN. Else exactly limit sectors, which the caller has checked
    // are no more than the sectors in the file. Either way every step claims a sector not
    // claimed before (a reread retraces a walk that once succeeded), so the walk ends.
    std::uint32_t current = start;
    bool no_entry = false;  // current, the last sector taken, has no FAT entry
    for (std::uint64_t taken = 0;; ++taken) {
        if (limit != 0 && taken == limit) {
            if (longer != nullptr) {
                *longer = current != kEndOfChain && !no_entry;
            }
            return std::nullopt;
        }
        if (no_entry) {
            return "chain reaches sector " + Number(current) + ", which has no FAT entry";
        }
        if (current == kEndOfChain) {
            if (limit == 0) {
                return std::nullopt;
            }
            return "chain ends after " + Number(taken) + " of " + Number(limit) + " sectors";
        }
        if (current > kMaxRegSect) {
            return "chain meets " + MarkerMeaning(current);
        }
        if (current >= sector_count_) {
            return "chain reaches sector " + Number(current) + ", past the end of the file";
        }
        const std::uint32_t previous = sector_owner_[current];
        if (previous == owner && !reread) {
            return "chain loops at sector " + Number(current);
        }
        if (previous != kFree && previous != owner) {
            return "chain shares sector " + Number(current) + " with " + OwnerName(previous);
        }
        if (whole_sectors && !SectorIsWhole(current)) {
            return "chain reaches sector " + Number(current) + ", cut short by the end of the file";
        }
        sector_owner_[current] = owner;
        sectors.push_back(current);
        if (current < fat_.size()) {
            current = fat_[current];
        } else {
            no_entry = true;  // current stays: the message names it
        }
    }
}

bool CompoundFile::ReadDirectory() {
    if (first_directory_sector_ == kEndOfChain) {
        error_ = "directory chain is empty";
        return false;
    }
    const std::optional<std::string> failure =
        WalkChain(first_directory_sector_, 0, kDirectoryOwner, false, true, directory_sectors_, nullptr);
    if (failure) {
        error_ = "directory " + *failure;
        return false;
    }
    if (major_version_ == 4 && directory_sector_count_ != directory_sectors_.size()) {
        Report("header counts " + Number(directory_sector_count_) + " directory sectors, the chain has " +
               Number(directory_sectors_.size()));
    }
    const std::uint32_t per_sector = sector_size_ / kEntrySize;
    const std::uint64_t entry_count = std::min<std::uint64_t>(
        std::uint64_t{per_sector} * directory_sectors_.size(), std::uint64_t{kMaxRegularId} + 1);
    const auto entry_bytes = [&](std::uint64_t id) {
        const std::uint32_t sector = directory_sectors_[static_cast<std::size_t>(id / per_sector)];
        return bytes_.Sub(SectorOffset(sector) + id % per_sector * kEntrySize, kEntrySize);
    };

    const DirectoryEntry root = ParseEntry(entry_bytes(0));
    if (root.type != kRoot) {
        error_ = "directory entry 0 has type " + Number(root.type) + ", not the root's";
        return false;
    }
    mini_stream_start_ = root.start;
    mini_stream_size_ = major_version_ == 3 ? root.size & 0xFFFFFFFF : root.size;

    // The whole tree, without recursion: a hostile tree may be as deep as it is large.
    struct Pending {
        std::uint32_t id;
        std::size_t prefix;  // index into prefixes: the names of the storages above
        unsigned depth;
    };
    std::vector<std::string> prefixes{std::string()};
    std::uint64_t name_bytes = 0;
    std::vector<Pending> pending;
    std::vector<bool> visited(static_cast<std::size_t>(entry_count), false);
    visited[0] = true;
    if (root.child != kNoStream) {
        pending.push_back({root.child, 0, 0});
    }
    std::size_t odd_names = 0;
    std::size_t odd_colours = 0;
    while (!pending.empty()) {
        const Pending at = pending.back();
        pending.pop_back();
        if (at.id >= entry_count) {
            error_ = "directory tree links to entry " + Number(at.id) + ", past the " + Number(entry_count) + " entries";
            return false;
        }
        if (visited[at.id]) {
            error_ = "directory tree loops at entry " + Number(at.id);
            return false;
        }
        visited[at.id] = true;
        const DirectoryEntry entry = ParseEntry(entry_bytes(at.id));
        if (entry.type != kStorage && entry.type != kStream) {
            error_ = "directory tree links to entry " + Number(at.id) + " of type " + Number(entry.type);
            return false;
        }
        if (!entry.name_well_formed || entry.name_has_forbidden) {
            ++odd_names;
        }
        if (entry.colour > 1) {
            ++odd_colours;
        }
        if (entry.left != kNoStream) {
            pending.push_back({entry.left, at.prefix, at.depth});
        }
        if (entry.right != kNoStream) {
            pending.push_back({entry.right, at.prefix, at.depth});
        }
        std::string name = prefixes[at.prefix] + entry.name;
        // Each name holds its storages' names: nested storages could make the names take
        // several times the file. No real file comes near twice its size.
        name_bytes += name.size();
        if (name_bytes > 2 * std::uint64_t{bytes_.size} + 4096) {
            error_ = "the names of streams inside storages take more than twice the file's size";
            return false;
        }
        if (entry.type == kStream) {
            if (entry.child != kNoStream) {
                Report("stream entry " + Number(at.id) + " has a child");
            }
            std::uint64_t size = entry.size;
            if (major_version_ == 3 && size > 0xFFFFFFFF) {
                Report("stream entry " + Number(at.id) + " has a size with high 32 bits set; they are ignored");
                size &= 0xFFFFFFFF;
            }
            streams_.push_back({at.id, std::move(name), size});
            continue;
        }
        if (at.depth == kMaxStorageDepth) {
            error_ = "storages are nested deeper than " + Number(kMaxStorageDepth) + " levels";
            return false;
        }
        if (entry.child != kNoStream) {
            prefixes.push_back(std::move(name) + "/");
            pending.push_back({entry.child, prefixes.size() - 1, at.depth + 1});
        }
    }
    std::sort(streams_.begin(), streams_.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    if (odd_names != 0) {
        Report(Number(odd_names) + " directory entries have a malformed name");
    }
    if (odd_colours != 0) {
        Report(Number(odd_colours) + " directory entries have a colour other than red or black");
    }

    std::size_t outside = 0;
    std::size_t roots = 0;
    std::size_t unknown = 0;
    std::size_t not_blank = 0;
    for (std::uint64_t id = 1; id < entry_count; ++id) {
        if (visited[static_cast<std::size_t>(id)]) {
            continue;
        }
        const ByteSpan bytes = entry_bytes(id);
        const unsigned type = bytes.data[0x42];
        if (type == kUnallocated) {
            if (!IsBlank(bytes)) {
                ++not_blank;
            }
        } else if (type == kRoot) {
            ++roots;
        } else if (type == kStorage || type == kStream) {
            ++outside;
        } else {
            ++unknown;
        }
    }
    if (outside != 0) {
        Report(Number(outside) + " allocated directory entries are not in the tree");
    }
    if (roots != 0) {
        Report(Number(roots) + " more directory entries are of the root's type");
    }
    if (unknown != 0) {
        Report(Number(unknown) + " directory entries have an unknown type");
    }
    if (not_blank != 0) {
        Report(Number(not_blank) + " unallocated directory entries are not blank");
    }
    return true;
}

bool CompoundFile::ReadMiniFat() {
    if (first_mini_fat_sector_ == kEndOfChain) {
        if (mini_fat_sector_count_ != 0) {
            Report("header counts " + Number(mini_fat_sector_count_) + " mini FAT sectors, there are none");
        }
        return true;
    }
    std::vector<std::uint32_t> sectors;
    const std::optional<std::string> failure =
        WalkChain(first_mini_fat_sector_, 0, kMiniFatOwner, false, true, sectors, nullptr);
    if (failure) {
        error_ = "mini FAT " + *failure;
        return false;
    }
    if (sectors.size() != mini_fat_sector_count_) {
        Report("header counts " + Number(mini_fat_sector_count_) + " mini FAT sectors, the chain has " +
               Number(sectors.size()));
    }
    const std::uint32_t per_sector = sector_size_ / 4;
    mini_fat_.resize(sectors.size() * per_sector);
    for (std::size_t index = 0; index < sectors.size(); ++index) {
        const std::uint64_t base = SectorOffset(sectors[index]);
        for (std::uint32_t slot = 0; slot < per_sector; ++slot) {
            mini_fat_[index * per_sector + slot] = U32At(bytes_, base + 4 * std::uint64_t{slot});
        }
    }
    return true;
}

void CompoundFile::ReadMiniStream() {
    if (mini_stream_size_ == 0) {
        return;
    }
    const std::uint64_t needed = UnitsFor(mini_stream_size_, sector_size_);
    if (needed > sector_count_) {
        mini_stream_error_ = "mini stream of " + Number(mini_stream_size_) + " bytes is larger than the file";
        return;
    }
    bool longer = false;
    const std::optional<std::string> failure =
        WalkChain(mini_stream_start_, needed, kMiniStreamOwner, false, false, mini_stream_sectors_, &longer);
    if (failure) {
        mini_stream_error_ = "mini stream " + *failure;
        mini_stream_sectors_.clear();
        return;
    }
    if (longer) {
        Report("mini stream chain is longer than its size needs");
    }
    mini_sector_owner_.assign(static_cast<std::size_t>(UnitsFor(mini_stream_size_, kMiniSectorSize)), kFree);
}

std::optional<std::string> CompoundFile::ReadRegular(std::uint32_t start, std::uint64_t size, std::uint32_t owner,
                                                     bool reread, std::vector<unsigned char>& out) {
    const std::uint64_t needed = UnitsFor(size, sector_size_);
    if (needed > sector_count_ || size > bytes_.size) {
        return "size " + Number(size) + " is larger than the file";
    }
    std::vector<std::uint32_t> sectors;
    sectors.reserve(static_cast<std::size_t>(needed));
    bool longer = false;
    std::optional<std::string> failure = WalkChain(start, needed, owner, reread, false, sectors, &longer);
    if (failure) {
        return failure;
    }
    if (longer && !reread) {
        Report("stream " + Number(owner - 1) + ": chain is longer than its size needs");
    }
    out.reserve(static_cast<std::size_t>(size));
    std::uint64_t left = size;
    for (const std::uint32_t sector : sectors) {
        const std::uint64_t take = std::min<std::uint64_t>(left, sector_size_);
        if (!bytes_.Holds(SectorOffset(sector), take)) {
            return "sector " + Number(sector) + " is cut short by the end of the file";
        }
        const unsigned char* from = bytes_.data + static_cast<std::size_t>(SectorOffset(sector));
        out.insert(out.end(), from, from + static_cast<std::size_t>(take));
        left -= take;
    }
    return std::nullopt;
}

std::optional<std::string> CompoundFile::ReadMini(std::uint32_t start, std::uint64_t size, std::uint32_t owner,
                                                  bool reread, std::vector<unsigned char>& out) {
    if (!mini_stream_error_.empty()) {
        return mini_stream_error_;
    }
    const std::uint64_t needed = UnitsFor(size, kMiniSectorSize);  // at most 64
    const std::uint64_t mini_sector_count = mini_sector_owner_.size();
    std::vector<std::uint32_t> mini_sectors;
    std::uint32_t current = start;
    for (std::uint64_t taken = 0; taken < needed; ++taken) {
        if (current == kEndOfChain) {
            return "mini chain ends after " + Number(taken) + " of " + Number(needed) + " mini sectors";
        }
        if (current > kMaxRegSect) {
            return "mini chain meets " + MarkerMeaning(current);
        }
        if (current >= mini_sector_count) {
            return "mini chain reaches mini sector " + Number(current) + ", past the end of the mini stream";
        }
        const std::uint32_t previous = mini_sector_owner_[current];
        if (previous == owner && !reread) {
            return "mini chain loops at mini sector " + Number(current);
        }
        if (previous != kFree && previous != owner) {
            return "mini chain shares mini sector " + Number(current) + " with another stream";
        }
        mini_sector_owner_[current] = owner;
        mini_sectors.push_back(current);
        if (current >= mini_fat_.size()) {
            if (taken + 1 < needed) {
                return "mini chain reaches mini sector " + Number(current) + ", which has no mini FAT entry";
            }
            current = kEndOfChain;
        } else {
            current = mini_fat_[current];
        }
    }
    if (current != kEndOfChain && !reread) {
        Report("stream " + Number(owner - 1) + ": mini chain is longer than its size needs");
    }
    out.reserve(static_cast<std::size_t>(size));
    std::uint64_t left = size;
    for (const std::uint32_t mini_sector : mini_sectors) {
        // A mini sector below the mini stream's size lies inside one of its sectors.
        const std::uint64_t position = std::uint64_t{mini_sector} * kMiniSectorSize;
        const std::uint32_t sector = mini_stream_sectors_[static_cast<std::size_t>(position / sector_size_)];
        const std::uint64_t offset = SectorOffset(sector) + position % sector_size_;
        const std::uint64_t take = std::min<std::uint64_t>(left, kMiniSectorSize);
        if (!bytes_.Holds(offset, take)) {
            return "mini sector " + Number(mini_sector) + " is cut short by the end of the file";
        }
        const unsigned char* from = bytes_.data + static_cast<std::size_t>(offset);
        out.insert(out.end(), from, from + static_cast<std::size_t>(take));
        left -= take;
    }
    return std::nullopt;
}

std::optional<std::string> CompoundFile::Read(const Entry& entry, std::vector<unsigned char>& out) {
    out.clear();
    if (!ok()) {
        return error_;
    }
    const auto found = std::lower_bound(streams_.begin(), streams_.end(), entry.id,
                                        [](const Entry& a, std::uint32_t id) { return a.id < id; });
    if (found == streams_.end() || found->id != entry.id) {
        return "stream " + Number(entry.id) + ": no such stream";
    }
    const std::size_t index = static_cast<std::size_t>(found - streams_.begin());
    if (stream_state_[index] == kFailed) {
        return stream_errors_[index];
    }
    const bool reread = stream_state_[index] == kRead;
    const ByteSpan directory_entry = [&] {
        const std::uint32_t per_sector = sector_size_ / kEntrySize;
        const std::uint32_t sector = directory_sectors_[found->id / per_sector];
        return bytes_.Sub(SectorOffset(sector) + std::uint64_t{found->id % per_sector} * kEntrySize, kEntrySize);
    }();
    const std::uint32_t start = U32At(directory_entry, 0x74);
    const std::uint64_t size = found->size;
    const std::uint32_t owner = found->id + 1;
    std::optional<std::string> failure;
    if (size == 0) {
        failure = std::nullopt;
    } else if (size < kMiniStreamCutoff) {
        failure = ReadMini(start, size, owner, reread, out);
    } else {
        failure = ReadRegular(start, size, owner, reread, out);
    }
    if (failure) {
        out.clear();
        stream_state_[index] = kFailed;
        stream_errors_[index] = "stream " + Number(found->id) + ": " + *failure;
        return stream_errors_[index];
    }
    stream_state_[index] = kRead;
    return std::nullopt;
}

}  // namespace compound_file
