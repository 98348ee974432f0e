// SPDX-License-Identifier: MIT
// MAC address kinds and the IEEE registry's organisations. The registry's MA-L file holds
// some 32,500 records in 3 MB and is read once per process, its cost shared by every link
// read after it: the file is read into one buffer, its line feeds found with memchr, and
// at each line the walk only hashes the key bytes there into an open-addressing table of
// line offsets. An organisation's name is unquoted and checked only when a lookup hits
// its record.
#include "shell_link/mac_vendor.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string_view>

#include "bytes/byte_scan.h"
#include "text/utf8.h"

namespace shell_link::detail {

namespace {

// Hypervisors' prefixes for their virtual adapters. 0A:00:27 and 52:54:00 have the local
// bit set, so this table is consulted before the first octet's bits.
struct VirtualPrefix {
    std::uint8_t octets[3];
};
constexpr VirtualPrefix kVirtualPrefixes[] = {
    {{0x00, 0x05, 0x69}},  // VMware, Inc. (IEEE MA-L registry)
    {{0x00, 0x0C, 0x29}},  // VMware, Inc. (IEEE MA-L registry): Workstation's and ESXi's generated addresses
    {{0x00, 0x1C, 0x14}},  // VMware, Inc. (IEEE MA-L registry)
    {{0x00, 0x50, 0x56}},  // VMware, Inc. (IEEE MA-L registry): vSphere's static and vCenter's addresses
    {{0x08, 0x00, 0x27}},  // PCS Systemtechnik GmbH (IEEE MA-L registry): VirtualBox's adapters, per its manual
    {{0x0A, 0x00, 0x27}},  // VirtualBox's host-only adapter on Windows hosts: 08:00:27 with the local bit
    {{0x00, 0x15, 0x5D}},  // Microsoft Corporation (IEEE MA-L registry): Hyper-V's dynamic MAC pool, per its documentation
    {{0x00, 0x03, 0xFF}},  // Microsoft Corporation (IEEE MA-L registry): Virtual PC's and Virtual Server's adapters
    {{0x00, 0x1C, 0x42}},  // Parallels, Inc. (IEEE MA-L registry): Parallels Desktop's adapters
    {{0x00, 0x16, 0x3E}},  // Xensource, Inc. (IEEE MA-L registry): Xen's generated addresses, per its documentation
    {{0x52, 0x54, 0x00}},  // QEMU's default adapter prefix (its documentation), which libvirt's KVM guests use too
};

constexpr std::uint8_t kGroupBit = 0x01;
constexpr std::uint8_t kLocalBit = 0x02;

// Larger than any registry file; past it a file is not taken for one.
constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;
// Bytes after a file's text, all zero: a line's fixed-size reads may run past the text
// into them (15 bytes at most), and no record starts in them.
constexpr std::size_t kPadding = 16;
// The longest name a lookup takes; the registry's run to about 100 bytes.
constexpr std::size_t kMaxNameBytes = 256;

struct RegistryFile {
    const char* name;
    std::string_view registry;  // the first column with its comma: "MA-L,"
    std::size_t digits;         // hex digits of the assignment: 6, 7 or 9
};
enum FileIndex : std::size_t { kMaL, kMaM, kMaS, kIab };
constexpr RegistryFile kFiles[] = {
    {"oui.csv", "MA-L,", 6},
    {"mam.csv", "MA-M,", 7},
    {"oui36.csv", "MA-S,", 9},
    {"iab.csv", "IAB,", 9},
};

// The eight bytes at text, the first lowest.
std::uint64_t Load64(const char* at) { return link_format::LittleEndianWord(at); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Where a record's key starts: the eight bytes that end with the comma after its digits
// (",00000C," of an MA-L record). A lookup makes its key the same way.
constexpr std::size_t KeyAt(const RegistryFile& file) { return file.registry.size() + file.digits + 1 - 8; }

// A key's slot in a table of 2^(64 - shift) slots, and the mask of those slots.
std::size_t KeySlot(std::uint64_t key, unsigned shift) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15) >> shift);
}
std::size_t SlotMask(unsigned shift) { return static_cast<std::size_t>(~std::uint64_t{0} >> shift); }

// A lookup's key: a record's start as the file would hold it, the registry's name, the
// assignment's digits of mac in upper or lower case and a comma, then zero bytes.
constexpr std::size_t kKeyBytes = 24;
const char* MakeKey(const RegistryFile& file, const MacAddress& mac, bool upper, char (&key)[kKeyBytes]) {
    const char* hex = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::memset(key, 0, sizeof key);
    for (std::size_t i = 0; i < file.registry.size(); ++i) {
        key[i] = file.registry[i];
    }
    char* digits = key + file.registry.size();
    for (std::size_t i = 0; i < file.digits; ++i) {
        const std::uint8_t octet = mac[i / 2];
        digits[i] = hex[(i % 2 == 0 ? octet >> 4 : octet) & 0x0F];
    }
    digits[file.digits] = ',';
    return key;
}

// A name field at field, in RFC 4180 quoting (a quoted field may hold commas, line breaks
// and doubled quotes), without its trailing white space and made valid UTF-8; nothing
// when it is empty or its quote never closes.
std::optional<std::string> FieldText(const char* field, const char* end) {
    // Past this a garbage file's field is not searched on every lookup.
    const char* limit = end - field > static_cast<std::ptrdiff_t>(4 * kMaxNameBytes) ? field + 4 * kMaxNameBytes : end;
    std::string name;
    if (field < limit && *field == '"') {
        for (const char* at = field + 1;;) {
            const auto* quote = static_cast<const char*>(std::memchr(at, '"', static_cast<std::size_t>(limit - at)));
            if (quote == nullptr) {
                return std::nullopt;
            }
            if (quote + 1 < limit && quote[1] == '"') {
                name.append(at, quote + 1);
                at = quote + 2;
                continue;
            }
            name.append(at, quote);
            break;
        }
    } else {
        const auto* stop = static_cast<const char*>(std::memchr(field, ',', static_cast<std::size_t>(limit - field)));
        stop = stop != nullptr ? stop : limit;
        // A line with no comma after the name ends it.
        if (const auto* feed = static_cast<const char*>(std::memchr(field, '\n', static_cast<std::size_t>(stop - field)))) {
            stop = feed;
        }
        name.assign(field, stop);
    }
    if (name.size() > kMaxNameBytes) {
        name.resize(kMaxNameBytes);  // a character cut in two becomes U+FFFD below
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r' || name.back() == '\n')) {
        name.pop_back();
    }
    if (name.empty()) {
        return std::nullopt;
    }
    if (IsAscii(reinterpret_cast<const unsigned char*>(name.data()), name.size())) {
        return name;
    }
    std::string valid;
    AppendValidUtf8(name, valid);
    return valid;
}

// A file's bytes, read whole, with kPadding zero bytes after them. Read, not mapped from
// the file: a mapping would bring the process down (SIGBUS) if the file were rewritten in
// place, shorter, while it is read, as a registry update may do.
class FileText {
public:
    // False when path is no regular file of at most kMaxFileBytes that reads whole.
    bool Read(const std::string& path) {
        // Non-blocking, so that a FIFO in the registry's place is refused, not waited on.
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            return false;
        }
        struct stat status {};
        bool read = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size >= 0 &&
                    static_cast<std::uint64_t>(status.st_size) <= kMaxFileBytes;
        if (read) {
            const auto bytes = static_cast<std::size_t>(status.st_size);
            read = Allocate(bytes + kPadding) && ReadAll(fd, text_, bytes);
            size_ = read ? bytes : 0;
        }
        close(fd);
        return read;
    }

    FileText() = default;
    ~FileText() {
        if (text_ != nullptr) {
            munmap(text_, length_);
        }
    }
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    const char* get() const { return text_; }
    std::size_t size() const { return size_; }

private:
    // Exactly bytes from fd; a file that grew or shrank since its size was taken is
    // not taken.
    static bool ReadAll(int fd, char* into, std::size_t bytes) {
        std::size_t done = 0;
        while (done < bytes) {
            const ssize_t got = ::read(fd, into + done, bytes - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        char more = 0;
        return ::read(fd, &more, 1) == 0;
    }

    // Zero pages, populated at once: faulting in megabytes of fresh memory a page at a
    // time costs far more than reading the file (10 ms and more on a virtual machine).
    bool Allocate(std::size_t length) {
        void* pages = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (pages == MAP_FAILED) {
            return false;
        }
        text_ = static_cast<char*>(pages);
        length_ = length;
        return true;
    }

    char* text_ = nullptr;
    std::size_t length_ = 0;
    std::size_t size_ = 0;
};

// The table's slots: calloc, whose large blocks come as fresh zero pages, uncleared.
struct FreeSlots {
    void operator()(std::uint32_t* slots) const { std::free(slots); }
};
using Slots = std::unique_ptr<std::uint32_t[], FreeSlots>;

// How far a line's slot may lie from its key's: a line that would go further is left out
// (only a garbage file of many equal keys has one), and so a lookup stops there too.
constexpr std::size_t kMaxProbe = 64;

// Places the line whose offset plus one is stored, with its key, in the first free slot
// from the key's; false when none is within kMaxProbe.
inline bool PlaceLine(std::uint32_t* slots, unsigned shift, std::uint64_t key, std::uint32_t stored) {
    std::size_t slot = KeySlot(key, shift);
    for (std::size_t probe = 0; slots[slot] != 0; ++probe) {
        if (probe == kMaxProbe) {
            return false;
        }
        slot = (slot + 1) & SlotMask(shift);
    }
    slots[slot] = stored;
    return true;
}

}  // namespace

struct MacVendorRegistry::Assignments {
    const RegistryFile* file = nullptr;
    FileText text;
    std::size_t size = 0;
    // The offset plus one of each line's start, by its key's slot; 0 marks a free slot.
    // Every line is placed, not only those that look like records: checking them would
    // cost as much as placing them, and a lookup checks the few it meets. The table grows
    // when a line finds no slot near its key's and it is half full.
    Slots slots;
    std::size_t capacity = 0;
    unsigned shift = 64;

    std::uint64_t LineKey(std::uint32_t stored) const { return Load64(text.get() + (stored - 1) + KeyAt(*file)); }

    // A table of larger slots (a power of two) with the lines of this one; false when
    // there was no memory for it.
    bool Resize(std::size_t larger) {
        if (larger <= capacity) {
            return false;  // no table was made, or doubling it wrapped
        }
        Slots old(static_cast<std::uint32_t*>(std::calloc(larger, sizeof(std::uint32_t))));
        if (!old) {
            return false;
        }
        old.swap(slots);
        const std::size_t oldCapacity = capacity;
        capacity = larger;
        shift = 64;
        for (std::size_t c = capacity; c > 1; c >>= 1) {
            --shift;
        }
        placed = 0;
        for (std::size_t i = 0; i < oldCapacity; ++i) {
            if (old[i] != 0 && PlaceLine(slots.get(), shift, LineKey(old[i]), old[i])) {
                ++placed;
            }
        }
        return true;
    }

    // A line of the walk: placed near its key's slot, or else in a table grown to twice
    // its size when this one is half full, or else (without memory for that) left out.
    // A file that leaves out more than kMaxLeftOut lines (a garbage file of equal keys)
    // is no registry: it holds no assignments, and the walk stops; false then.
    bool Place(std::uint32_t stored) {
        if (PlaceLine(slots.get(), shift, LineKey(stored), stored)) {
            ++placed;
            return true;
        }
        while (2 * placed >= capacity && Resize(2 * capacity)) {
            if (PlaceLine(slots.get(), shift, LineKey(stored), stored)) {
                ++placed;
                return true;
            }
        }
        if (++leftOut <= kMaxLeftOut) {
            return true;
        }
        slots.reset();
        capacity = 0;
        return false;
    }

    static constexpr std::size_t kMaxLeftOut = 4096;
    std::size_t placed = 0;
    std::size_t leftOut = 0;

    void Index();

    // The record whose start is key (as MakeKey makes it), or null.
    const char* Find(const char* key) const {
        if (capacity == 0) {
            return nullptr;
        }
        // Two words that cover the key from its start to its comma, 12 to 15 bytes: the
        // line's are within the text and its padding, as a line starts at most at its end.
        const std::size_t last = file->registry.size() + file->digits + 1 - 8;
        const std::uint64_t first = Load64(key);
        const std::uint64_t second = Load64(key + last);
        std::size_t at = KeySlot(Load64(key + KeyAt(*file)), shift);
        for (std::size_t probe = 0; probe <= kMaxProbe && slots[at] != 0; ++probe) {
            const char* line = text.get() + (slots[at] - 1);
            if (Load64(line) == first && Load64(line + last) == second) {
                return line;
            }
            at = (at + 1) & SlotMask(shift);
        }
        return nullptr;
    }

    // The record of mac's assignment, its digits in upper case as the registry writes
    // them, or else in lower case; or null.
    const char* Find(const MacAddress& mac) const {
        char key[kKeyBytes];
        const char* record = Find(MakeKey(*file, mac, true, key));
        return record != nullptr ? record : Find(MakeKey(*file, mac, false, key));
    }

    std::optional<std::string> Name(const char* record) const {
        return FieldText(record + file->registry.size() + file->digits + 1, text.get() + size);
    }
};

namespace {

// The lines after the line feeds from from on, found with memchr: the portable way.
void WalkLines(MacVendorRegistry::Assignments& into, std::size_t from) {
    const char* text = into.text.get();
    const char* end = text + into.size;
    // A line feed's offset there is the key of the line after it.
    const char* keys = text + KeyAt(*into.file) + 1;
    for (const char* at = text + from; at < end;) {
        const auto* feed = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (feed == nullptr) {
            break;
        }
        const auto offset = static_cast<std::size_t>(feed - text);
        const auto stored = static_cast<std::uint32_t>(offset + 2);
        if (PlaceLine(into.slots.get(), into.shift, Load64(keys + offset), stored)) {
            ++into.placed;
        } else if (!into.Place(stored)) {
            return;
        }
        at = feed + 1;
    }
}


}  // namespace

void MacVendorRegistry::Assignments::Index() {
    // The registry's lines run to some 90 bytes: room for them all, a quarter full.
    std::size_t start = 64;
    while (start < size / 24) {
        start <<= 1;
    }
    if (!Resize(start)) {
        return;
    }
    // The first line, as if a line feed came before it.
    Place(1);
    WalkLines(*this, 0);
}

const char* MacKind(const MacAddress& mac) {
    const auto virtualPrefix = [&mac](const VirtualPrefix& prefix) {
        return mac[0] == prefix.octets[0] && mac[1] == prefix.octets[1] && mac[2] == prefix.octets[2];
    };
    if (std::any_of(std::begin(kVirtualPrefixes), std::end(kVirtualPrefixes), virtualPrefix)) {
        return "virtual_machine";
    }
    // The group bit says what an address is for, whoever administers it: a multicast
    // address never names an adapter, local or not.
    if ((mac[0] & kGroupBit) != 0) {
        return "multicast";
    }
    if ((mac[0] & kLocalBit) != 0) {
        return "locally_administered";
    }
    return "universal";
}

MacVendorRegistry::MacVendorRegistry(std::string directory) : directory_(std::move(directory)) {}

MacVendorRegistry::~MacVendorRegistry() = default;

const MacVendorRegistry::Assignments& MacVendorRegistry::Loaded(std::size_t file) const {
    // Once loaded, a file is reached without call_once's call into the C library.
    if (const Assignments* ready = ready_[file].load(std::memory_order_acquire)) {
        return *ready;
    }
    std::call_once(once_[file], [this, file] {
        auto assignments = std::make_unique<Assignments>();
        assignments->file = &kFiles[file];
        if (assignments->text.Read(directory_ + '/' + kFiles[file].name)) {
            assignments->size = assignments->text.size();
            assignments->Index();
        }
        files_[file] = std::move(assignments);
        ready_[file].store(files_[file].get(), std::memory_order_release);
    });
    return *files_[file];
}

std::optional<std::string> MacVendorRegistry::Vendor(const MacAddress& mac) const {
    if ((mac[0] & (kGroupBit | kLocalBit)) != 0) {
        return std::nullopt;
    }
    const Assignments& large = Loaded(kMaL);
    const char* found = large.Find(mac);
    if (found == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> name = large.Name(found);
    // The authority's own MA-L blocks are those it divides into MA-S, IAB and MA-M
    // blocks, whose files are read only when an address falls in one.
    constexpr std::string_view kAuthority = "ieee registration authority";
    if (name && name->size() == kAuthority.size()) {
        bool authority = true;
        for (std::size_t i = 0; i < kAuthority.size() && authority; ++i) {
            authority = Lower((*name)[i]) == kAuthority[i];
        }
        if (authority) {
            for (const std::size_t file : {kMaS, kIab, kMaM}) {
                const Assignments& finer = Loaded(file);
                if (const char* within = finer.Find(mac)) {
                    if (std::optional<std::string> finerName = finer.Name(within)) {
                        return finerName;
                    }
                }
            }
        }
    }
    return name;
}

const MacVendorRegistry& InstalledMacVendors() {
    static const MacVendorRegistry installed("/usr/share/ieee-data");
    return installed;
}

}  // namespace shell_link::detail
