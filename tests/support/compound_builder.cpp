// SPDX-License-Identifier: MIT
#include "compound_builder.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace compound_test {
namespace {

constexpr std::uint32_t kMiniSector = 64;
constexpr std::size_t kCutoff = 4096;
constexpr std::uint32_t kHeaderSlots = 109;

std::u16string Utf16(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::uint32_t code = lead;
        std::size_t length = 1;
        if (lead >= 0xF0) {
            code = lead & 0x07U;
            length = 4;
        } else if (lead >= 0xE0) {
            code = lead & 0x0FU;
            length = 3;
        } else if (lead >= 0xC0) {
            code = lead & 0x1FU;
            length = 2;
        }
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3FU);
        }
        i += length;
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

// The directory's order: shorter names first, then unit by unit after upper-casing.
bool NameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) {
            return upper(a[i]) < upper(b[i]);
        }
    }
    return false;
}

std::uint64_t Ceil(std::uint64_t value, std::uint64_t unit) { return (value + unit - 1) / unit; }

}  // namespace

std::vector<unsigned char> PatternBytes(std::size_t count, unsigned seed) {
    std::vector<unsigned char> bytes(count);
    std::uint32_t state = seed * 2654435761U + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<unsigned char>(state >> 16);
    }
    return bytes;
}

std::uint64_t CompoundImage::SectorOffset(std::uint32_t sector) const {
    return (std::uint64_t{sector} + 1) * sector_size;
}

std::uint64_t CompoundImage::FatOffset(std::uint32_t sector) const {
    const std::uint32_t per = sector_size / 4;
    return SectorOffset(fat_sectors.at(sector / per)) + 4 * std::uint64_t{sector % per};
}

std::uint64_t CompoundImage::MiniFatOffset(std::uint32_t mini_sector) const {
    const std::uint32_t per = sector_size / 4;
    return SectorOffset(mini_fat_sectors.at(mini_sector / per)) + 4 * std::uint64_t{mini_sector % per};
}

std::uint64_t CompoundImage::DifatOffset(std::uint32_t index) const {
    if (index < kHeaderSlots) {
        return 0x4C + 4 * std::uint64_t{index};
    }
    const std::uint32_t per = sector_size / 4 - 1;
    const std::uint32_t rest = index - kHeaderSlots;
    return SectorOffset(difat_sectors.at(rest / per)) + 4 * std::uint64_t{rest % per};
}

std::uint64_t CompoundImage::DifatNextOffset(std::size_t difat_sector) const {
    return SectorOffset(difat_sectors.at(difat_sector)) + sector_size - 4;
}

std::uint64_t CompoundImage::EntryOffset(std::uint32_t id) const {
    const std::uint32_t per = sector_size / 128;
    return SectorOffset(directory_sectors.at(id / per)) + 128 * std::uint64_t{id % per};
}

std::uint64_t CompoundImage::EntryOffset(const std::string& path) const { return EntryOffset(ids.at(path)); }

std::uint32_t CompoundImage::Get32(std::uint64_t offset) const {
    std::uint32_t value = 0;
    for (unsigned i = 4; i > 0; --i) {
        value = value << 8 | bytes.at(static_cast<std::size_t>(offset) + i - 1);
    }
    return value;
}

void CompoundImage::Put8(std::uint64_t offset, std::uint8_t value) { bytes.at(static_cast<std::size_t>(offset)) = value; }

void CompoundImage::Put16(std::uint64_t offset, std::uint16_t value) {
    Put8(offset, static_cast<std::uint8_t>(value));
    Put8(offset + 1, static_cast<std::uint8_t>(value >> 8));
}

void CompoundImage::Put32(std::uint64_t offset, std::uint32_t value) {
    Put16(offset, static_cast<std::uint16_t>(value));
    Put16(offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::size_t CompoundBuilder::NodeFor(const std::string& path, unsigned type) {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].path == path) {
            return i;
        }
    }
    const std::size_t slash = path.rfind('/');
    const std::size_t parent = slash == std::string::npos ? 0 : NodeFor(path.substr(0, slash), 1);
    Node node;
    node.path = path;
    node.name = Utf16(slash == std::string::npos ? path : path.substr(slash + 1));
    if (node.name.size() > 31) {
        throw std::invalid_argument("compound file names hold at most 31 units: " + path);
    }
    node.type = type;
    node.parent = parent;
    nodes_.push_back(std::move(node));
    return nodes_.size() - 1;
}

CompoundBuilder& CompoundBuilder::Add(const std::string& path, std::vector<unsigned char> bytes) {
    nodes_[NodeFor(path, 2)].bytes = std::move(bytes);
    return *this;
}

CompoundBuilder& CompoundBuilder::AddStorage(const std::string& path) {
    NodeFor(path, 1);
    return *this;
}

CompoundImage CompoundBuilder::Build() const {
    CompoundImage image;
    const std::uint32_t ss = options_.version == 4 ? 4096 : 512;
    image.sector_size = ss;
    const std::uint32_t per_fat = ss / 4;
    const std::uint32_t per_dir = ss / 128;

    // Mini sectors and regular sectors each stream takes.
    std::vector<std::uint32_t> start(nodes_.size(), kEndOfChain);
    std::uint32_t mini_count = 0;
    std::uint64_t large_sectors = 0;
    for (std::size_t i = 1; i < nodes_.size(); ++i) {
        const Node& node = nodes_[i];
        if (node.type == 1) {
            start[i] = 0;
        } else if (!node.bytes.empty() && node.bytes.size() < kCutoff) {
            start[i] = mini_count;
            mini_count += static_cast<std::uint32_t>(Ceil(node.bytes.size(), kMiniSector));
        } else if (!node.bytes.empty()) {
            large_sectors += Ceil(node.bytes.size(), ss);
        }
    }
    const std::uint64_t mini_stream_size = std::uint64_t{mini_count} * kMiniSector;
    const auto directory_count = static_cast<std::uint32_t>(Ceil(nodes_.size(), per_dir));
    const auto mini_fat_count = static_cast<std::uint32_t>(Ceil(mini_count, per_fat));
    const auto container_count = static_cast<std::uint32_t>(Ceil(mini_stream_size, ss));
    const std::uint64_t data_sectors = directory_count + mini_fat_count + container_count + large_sectors;
    std::uint32_t fat_count = 0;
    std::uint32_t difat_count = 0;
    for (;;) {
        const auto fat = std::max<std::uint32_t>(
            options_.min_fat_sectors, static_cast<std::uint32_t>(Ceil(fat_count + difat_count + data_sectors, per_fat)));
        const std::uint32_t difat = fat > kHeaderSlots ? static_cast<std::uint32_t>(Ceil(fat - kHeaderSlots, per_fat - 1)) : 0;
        if (fat == fat_count && difat == difat_count) {
            break;
        }
        fat_count = fat;
        difat_count = difat;
    }
    const std::uint64_t total = fat_count + difat_count + data_sectors;
    image.bytes.assign(static_cast<std::size_t>((total + 1) * ss), 0);
    std::vector<std::uint32_t> fat(std::size_t{fat_count} * per_fat, kFreeSect);

    std::uint32_t next = 0;
    const auto take = [&](std::uint32_t count, std::vector<std::uint32_t>& sectors) {
        const std::uint32_t first = next;
        for (std::uint32_t i = 0; i < count; ++i) {
            sectors.push_back(next);
            fat[next] = i + 1 < count ? next + 1 : kEndOfChain;
            ++next;
        }
        return count == 0 ? kEndOfChain : first;
    };
    take(fat_count, image.fat_sectors);
    take(difat_count, image.difat_sectors);
    for (const std::uint32_t s : image.fat_sectors) {
        fat[s] = kFatSect;
    }
    for (const std::uint32_t s : image.difat_sectors) {
        fat[s] = kDifSect;
    }
    const std::uint32_t first_directory = take(directory_count, image.directory_sectors);
    const std::uint32_t first_mini_fat = take(mini_fat_count, image.mini_fat_sectors);
    const std::uint32_t first_container = take(container_count, image.mini_stream_sectors);
    for (std::size_t i = 1; i < nodes_.size(); ++i) {
        if (nodes_[i].type == 2 && nodes_[i].bytes.size() >= kCutoff) {
            std::vector<std::uint32_t> sectors;
            start[i] = take(static_cast<std::uint32_t>(Ceil(nodes_[i].bytes.size(), ss)), sectors);
            std::copy(nodes_[i].bytes.begin(), nodes_[i].bytes.end(),
                      image.bytes.begin() + static_cast<std::ptrdiff_t>(image.SectorOffset(start[i])));
        }
    }
    start[0] = first_container;

    // Header.
    const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), image.bytes.begin());
    image.Put16(field::kMinorVersion, 0x3E);
    image.Put16(field::kMajorVersion, static_cast<std::uint16_t>(options_.version));
    image.Put16(field::kByteOrder, 0xFFFE);
    image.Put16(field::kSectorShift, ss == 512 ? 9 : 12);
    image.Put16(field::kMiniSectorShift, 6);
    image.Put32(field::kDirectorySectors, options_.version == 4 ? directory_count : 0);
    image.Put32(field::kFatSectors, fat_count);
    image.Put32(field::kFirstDirectorySector, first_directory);
    image.Put32(field::kMiniStreamCutoff, static_cast<std::uint32_t>(kCutoff));
    image.Put32(field::kFirstMiniFatSector, first_mini_fat);
    image.Put32(field::kMiniFatSectors, mini_fat_count);
    image.Put32(field::kFirstDifatSector, difat_count == 0 ? kEndOfChain : image.difat_sectors[0]);
    image.Put32(field::kDifatSectors, difat_count);
    for (std::uint32_t i = 0; i < kHeaderSlots; ++i) {
        image.Put32(image.DifatOffset(i), kFreeSect);
    }
    for (std::size_t d = 0; d < image.difat_sectors.size(); ++d) {
        for (std::uint32_t slot = 0; slot < per_fat; ++slot) {
            image.Put32(image.SectorOffset(image.difat_sectors[d]) + 4 * slot, kFreeSect);
        }
        image.Put32(image.DifatNextOffset(d), d + 1 < image.difat_sectors.size() ? image.difat_sectors[d + 1] : kEndOfChain);
    }
    for (std::uint32_t i = 0; i < fat_count; ++i) {
        image.Put32(image.DifatOffset(i), image.fat_sectors[i]);
    }
    for (std::size_t i = 0; i < fat.size(); ++i) {
        image.Put32(image.FatOffset(static_cast<std::uint32_t>(i)), fat[i]);
    }

    // Mini FAT and mini stream.
    for (std::uint32_t k = 0; k < mini_fat_count * per_fat; ++k) {
        image.SetMiniFat(k, kFreeSect);
    }
    for (std::size_t i = 1; i < nodes_.size(); ++i) {
        const Node& node = nodes_[i];
        if (node.type != 2 || node.bytes.empty() || node.bytes.size() >= kCutoff) {
            continue;
        }
        const auto count = static_cast<std::uint32_t>(Ceil(node.bytes.size(), kMiniSector));
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t mini = start[i] + k;
            image.SetMiniFat(mini, k + 1 < count ? mini + 1 : kEndOfChain);
            const std::uint64_t position = std::uint64_t{mini} * kMiniSector;
            const std::uint64_t at = image.SectorOffset(image.mini_stream_sectors[static_cast<std::size_t>(position / ss)]) + position % ss;
            const std::size_t from = std::size_t{k} * kMiniSector;
            const std::size_t length = std::min<std::size_t>(kMiniSector, node.bytes.size() - from);
            std::copy_n(node.bytes.begin() + static_cast<std::ptrdiff_t>(from), length,
                        image.bytes.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }

    // Directory: each storage's children as a balanced search tree, all black.
    std::vector<std::uint32_t> left(nodes_.size(), kNoStream);
    std::vector<std::uint32_t> right(nodes_.size(), kNoStream);
    std::vector<std::uint32_t> child(nodes_.size(), kNoStream);
    for (std::size_t parent = 0; parent < nodes_.size(); ++parent) {
        std::vector<std::uint32_t> children;
        for (std::size_t i = 1; i < nodes_.size(); ++i) {
            if (nodes_[i].parent == parent) {
                children.push_back(static_cast<std::uint32_t>(i));
            }
        }
        std::sort(children.begin(), children.end(),
                  [&](std::uint32_t a, std::uint32_t b) { return NameLess(nodes_[a].name, nodes_[b].name); });
        const std::function<std::uint32_t(std::size_t, std::size_t)> tree = [&](std::size_t lo, std::size_t hi) {
            if (lo >= hi) {
                return kNoStream;
            }
            const std::size_t mid = lo + (hi - lo) / 2;
            left[children[mid]] = tree(lo, mid);
            right[children[mid]] = tree(mid + 1, hi);
            return children[mid];
        };
        child[parent] = tree(0, children.size());
    }
    for (std::uint32_t id = 0; id < directory_count * per_dir; ++id) {
        const std::uint64_t at = image.EntryOffset(id);
        image.Put32(at + field::kLeft, kNoStream);
        image.Put32(at + field::kRight, kNoStream);
        image.Put32(at + field::kChild, kNoStream);
        if (id >= nodes_.size()) {
            continue;
        }
        const Node& node = nodes_[id];
        image.ids[node.path] = id;
        for (std::size_t u = 0; u < node.name.size(); ++u) {
            image.Put16(at + 2 * u, node.name[u]);
        }
        image.Put16(at + field::kNameLength, static_cast<std::uint16_t>(2 * (node.name.size() + 1)));
        image.Put8(at + field::kType, static_cast<std::uint8_t>(node.type));
        image.Put8(at + field::kColour, 1);
        image.Put32(at + field::kLeft, left[id]);
        image.Put32(at + field::kRight, right[id]);
        if (node.type != 2) {
            image.Put32(at + field::kChild, child[id]);
        }
        image.Put32(at + field::kStart, start[id]);
        const std::uint64_t size = id == 0 ? mini_stream_size : node.bytes.size();
        image.Put32(at + field::kSize, static_cast<std::uint32_t>(size));
        image.Put32(at + field::kSize + 4, static_cast<std::uint32_t>(size >> 32));
    }
    return image;
}

}  // namespace compound_test
