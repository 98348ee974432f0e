// SPDX-License-Identifier: MIT
#include "format/well_known.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "format/layout.h"

namespace link_format {

// One row per format ID; its names are kPropertyNames[first, end), sorted by id. Once
// the set is found, ids are compared as integers, and each format ID is stored once.
struct PropertySet {
    // cppcheck-suppress unusedStructMember
    unsigned char guid[16];
    std::uint16_t first;
    std::uint16_t end;
};

namespace {

constexpr std::size_t kGuidBytes = sizeof PropertySet::guid;

// The rows of the generated tables. A name the tables leave empty is null. cppcheck sees
// no use of guid, which only FindGuid's instances read.
struct GuidName {
    // cppcheck-suppress unusedStructMember
    unsigned char guid[kGuidBytes];
    const char* name;
};
struct KnownFolder {
    // cppcheck-suppress unusedStructMember
    unsigned char guid[kGuidBytes];
    const char* name;
    const char* symbol;
};
struct ControlPanelItem {
    // cppcheck-suppress unusedStructMember
    unsigned char guid[kGuidBytes];
    ControlPanelNames names;
};
struct PropertyName {
    std::uint32_t id;
    const char* name;
};

#include "format/well_known_tables.inc"

// A property lookup runs for every property of every link, so the search starts among
// the rows that share the GUID's first byte: at most four memcmp calls, not ten.
template <typename Row, std::size_t N>
const Row* FindGuid(const Row (&rows)[N], const std::uint16_t (&byFirstByte)[257], const unsigned char* guid) {
    if (guid == nullptr) {
        return nullptr;
    }
    const Row* const first = rows + byFirstByte[guid[0]];
    const Row* const last = rows + byFirstByte[guid[0] + 1];
    const Row* const found = std::lower_bound(first, last, guid, [](const Row& row, const unsigned char* key) {
        return std::memcmp(row.guid, key, kGuidBytes) < 0;
    });
    if (found == last || std::memcmp(found->guid, guid, kGuidBytes) != 0) {
        return nullptr;
    }
    return found;
}

constexpr const char* kControlPanelCategories[] = {
    "All Control Panel Items",
    "Appearance and Personalization",
    "Hardware and Sound",
    "Network and Internet",
    "Sounds, Speech and Audio Devices",
    "System and Security",
    "Clock, Language and Region",
    "Ease of Access",
    "Programs",
    "User Accounts",
    "Security Center",
    "Mobile PC",
};

}  // namespace

const char* ShellFolderName(const unsigned char* guid) {
    const GuidName* const row = FindGuid(kShellFolders, kShellFoldersByFirstByte, guid);
    return row != nullptr ? row->name : nullptr;
}

const char* KnownFolderName(const unsigned char* guid) {
    const KnownFolder* const row = FindGuid(kKnownFolders, kKnownFoldersByFirstByte, guid);
    return row != nullptr ? row->name : nullptr;
}

const char* KnownFolderSymbol(const unsigned char* guid) {
    const KnownFolder* const row = FindGuid(kKnownFolders, kKnownFoldersByFirstByte, guid);
    return row != nullptr ? row->symbol : nullptr;
}

const ControlPanelNames* ControlPanelItemNames(const unsigned char* guid) {
    const ControlPanelItem* const row = FindGuid(kControlPanelItems, kControlPanelItemsByFirstByte, guid);
    return row != nullptr ? &row->names : nullptr;
}

const char* ControlPanelCategoryName(std::uint32_t category) {
    return category < std::size(kControlPanelCategories) ? kControlPanelCategories[category] : nullptr;
}

const char* CsidlSymbol(std::uint32_t csidl) {
    const NamedValue* const end = std::end(kCsidlSymbols);
    const NamedValue* const found = std::lower_bound(
        std::begin(kCsidlSymbols), end, csidl, [](const NamedValue& row, std::uint32_t key) { return row.value < key; });
    return found != end && found->value == csidl ? found->name : nullptr;
}

const PropertySet* FindPropertySet(const unsigned char* formatId) {
    return FindGuid(kPropertySets, kPropertySetsByFirstByte, formatId);
}

const char* PropertyCanonicalName(const unsigned char* formatId, std::uint32_t id) {
    return PropertyNameInSet(FindPropertySet(formatId), id);
}

const char* PropertyNameInSet(const PropertySet* set, std::uint32_t id) {
    if (set == nullptr) {
        return nullptr;
    }
    const PropertyName* const first = kPropertyNames + set->first;
    const PropertyName* const last = kPropertyNames + set->end;
    const PropertyName* const found =
        std::lower_bound(first, last, id, [](const PropertyName& row, std::uint32_t key) { return row.id < key; });
    return found != last && found->id == id ? found->name : nullptr;
}

}  // namespace link_format
