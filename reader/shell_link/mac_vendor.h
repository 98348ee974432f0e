// SPDX-License-Identifier: MIT
// What a tracker's MAC address says of the machine that made the link: which kind of
// address it is, and which organisation the IEEE registry assigned its block to.
#ifndef SHORTCUT_READER_SHELL_LINK_MAC_VENDOR_H
#define SHORTCUT_READER_SHELL_LINK_MAC_VENDOR_H

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace shell_link::detail {

using MacAddress = std::array<std::uint8_t, 6>;

// "virtual_machine" for the prefixes hypervisors give their virtual adapters; otherwise
// by the first octet: "multicast" (group bit 0x01), then "locally_administered" (bit
// 0x02), else "universal".
const char* MacKind(const MacAddress& mac);

// The IEEE registry's assignments in the CSV files Debian's ieee-data installs in one
// directory: oui.csv (MA-L, 24-bit blocks), mam.csv (MA-M, 28-bit), oui36.csv (MA-S,
// 36-bit) and iab.csv (IAB, 36-bit). Each file is read on the first lookup that needs it
// and kept; an absent, unreadable or oversized file holds no assignments. Lookups may run
// on several threads at once.
class MacVendorRegistry {
public:
    explicit MacVendorRegistry(std::string directory);
    ~MacVendorRegistry();
    MacVendorRegistry(const MacVendorRegistry&) = delete;
    MacVendorRegistry& operator=(const MacVendorRegistry&) = delete;

    // The organisation of the most specific block that holds mac, as valid UTF-8 without
    // trailing white space; nothing for a multicast or locally administered address,
    // which no one is assigned, or for one the files do not hold.
    std::optional<std::string> Vendor(const MacAddress& mac) const;

    struct Assignments;  // one file's, indexed by block

private:
    static constexpr std::size_t kFileCount = 4;

    const Assignments& Loaded(std::size_t file) const;

    std::string directory_;
    mutable std::array<std::once_flag, kFileCount> once_;
    mutable std::array<std::unique_ptr<Assignments>, kFileCount> files_;
    mutable std::array<std::atomic<const Assignments*>, kFileCount> ready_{};
};

// The registry as the ieee-data package installs it, in /usr/share/ieee-data.
const MacVendorRegistry& InstalledMacVendors();

}  // namespace shell_link::detail

#endif
