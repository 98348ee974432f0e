// SPDX-License-Identifier: MIT
// Property view items: users property view items and Windows application items ("APPS").
// One frame holds them: at 4 the size D of the data from 6, at 6 a signature, at 0x0A
// the store's size P, at 0x0C the identifier's size I, the identifier at 0x0E, the
// property store after it, two bytes, then (at 6 + D) extension blocks. The store is read
// inside its own P bytes, never the item's.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "format/well_known.h"
#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

constexpr std::uint32_t kKnownFolderView = 0x23FEBBEE;
constexpr std::uint64_t kIdentifier = 0x0E;

struct ListedSignature {
    std::uint32_t signature;
    std::uint16_t identifierSize;  // 0: any
};
constexpr ListedSignature kListed[] = {
    {0x10141981, 32}, {0x23A3DFD5, 4}, {kKnownFolderView, 16}, {0x3B93AFBB, 4},
    {0x49505241, 1060},  // "ARPI"
    {0xBEEBEE00, 4},     {0x53505041, 0},  // "APPS"
};

const ListedSignature* Listed(std::uint32_t signature) {
    const ListedSignature* const found = std::find_if(std::begin(kListed), std::end(kListed),
                                                      [signature](const ListedSignature& listed) { return listed.signature == signature; });
    return found != std::end(kListed) ? found : nullptr;
}

// The start of a plausible extension block at offset: its size at least 8 and inside the
// item, a 0xBEEFxxxx signature.
bool ExtensionBlockAt(ByteSpan item, std::uint64_t offset) {
    const std::optional<std::uint16_t> size = Field<std::uint16_t>(item, offset);
    const std::optional<std::uint32_t> signature = Field<std::uint32_t>(item, offset + 4);
    return size && signature && *size >= 8 && item.Holds(offset, *size) && (*signature & 0xFFFF0000u) == 0xBEEF0000u;
}

// The text of an LPWSTR property that is there and not empty.
const std::string* TextProperty(const std::vector<PropertyStorage>& storages, const Guid& formatId, std::uint32_t id) {
    for (const PropertyStorage& storage : storages) {
        if (storage.format_id != formatId) {
            continue;
        }
        for (const Property& property : storage.properties) {
            const auto* text = std::get_if<std::string>(&property.value);
            if (property.id == id && text != nullptr && !text->empty()) {
                return text;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool IsListedPropertyViewSignature(std::uint32_t signature) { return Listed(signature) != nullptr; }

std::optional<std::string> PropertyStoreName(const std::vector<PropertyStorage>& storages) {
    // {28636AA6-953D-11D2-B5D6-00C04FD918D0}: System.ParsingName is 24.
    constexpr Guid kShellDetails = {0xA6, 0x6A, 0x63, 0x28, 0x3D, 0x95, 0xD2, 0x11,
                                    0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0};
    // {B725F130-47EF-101A-A5F1-02608C9EEBAC}: System.ItemNameDisplay is 10.
    constexpr Guid kStorage = {0x30, 0xF1, 0x25, 0xB7, 0xEF, 0x47, 0x1A, 0x10,
                               0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC};
    // {86D40B4D-9069-443C-819A-2A54090DCCEC}: the tile's long display name is 11.
    constexpr Guid kTile = {0x4D, 0x0B, 0xD4, 0x86, 0x69, 0x90, 0x3C, 0x44,
                            0x81, 0x9A, 0x2A, 0x54, 0x09, 0x0D, 0xCC, 0xEC};
    // {9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}: System.AppUserModel.ID is 5.
    constexpr Guid kAppUserModel = {0x55, 0x28, 0x4C, 0x9F, 0x79, 0x9F, 0x39, 0x4B,
                                    0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3};
    const std::string* parsing = TextProperty(storages, kShellDetails, 24);
    if (parsing != nullptr && parsing->compare(0, 2, "::") != 0) {
        return *parsing;  // a file's own name, as file entries give it
    }
    const std::string* const names[] = {TextProperty(storages, kStorage, 10), TextProperty(storages, kTile, 11),
                                        TextProperty(storages, kAppUserModel, 5), parsing};
    const auto* const found = std::find_if(std::begin(names), std::end(names), [](const std::string* name) { return name != nullptr; });
    return found != std::end(names) ? std::optional<std::string>(**found) : std::nullopt;
}

std::optional<PropertyViewItem> ReadPropertyView(Reading& reading, ByteSpan item, bool exact) {
    const std::optional<std::uint16_t> dataSize = Field<std::uint16_t>(item, 4);
    const std::optional<std::uint32_t> signature = Field<std::uint32_t>(item, 6);
    const std::optional<std::uint16_t> storeSize = Field<std::uint16_t>(item, 0x0A);
    const std::optional<std::uint16_t> identifierSize = Field<std::uint16_t>(item, 0x0C);
    if (item.size < 0x10 || !dataSize || !signature || !storeSize || !identifierSize) {
        return std::nullopt;
    }
    const std::uint64_t dataEnd = 6 + std::uint64_t{*dataSize};
    const std::uint64_t storeAt = kIdentifier + *identifierSize;
    const std::uint64_t framed = storeAt + *storeSize + 2;  // the two bytes after the store
    if (dataEnd > item.size || framed > dataEnd) {
        return std::nullopt;
    }
    if (exact) {
        // Only for a signature the format does not list: a listed one is held to its own
        // identifier's size.
        if (Listed(*signature) != nullptr || framed != dataEnd || (dataEnd != item.size && !ExtensionBlockAt(item, dataEnd))) {
            return std::nullopt;
        }
    } else {
        const ListedSignature* listed = Listed(*signature);
        if (listed == nullptr || (listed->identifierSize != 0 && listed->identifierSize != *identifierSize)) {
            return std::nullopt;
        }
    }
    PropertyViewItem view;
    view.signature = *signature;
    if (*signature == kKnownFolderView && *identifierSize == 16) {
        view.known_folder_id = GuidField(item, kIdentifier);
        if (const char* name = link_format::KnownFolderName(view.known_folder_id->data())) {
            view.name = name;
        }
    }
    if (*storeSize > 0) {
        view.property_storages = ReadPropertyStore(reading, item.Sub(storeAt, *storeSize)).property_storages;
    }
    if (!view.name) {
        view.name = PropertyStoreName(view.property_storages);
    }
    return view;
}

}  // namespace shell_link::detail
