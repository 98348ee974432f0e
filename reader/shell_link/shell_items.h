// SPDX-License-Identifier: MIT
// The readers of the shell item kinds, one file a family: id_list.cpp tells the kinds
// apart and reads the file-system ones (root, volume, file entry, network), the others
// read the kinds Windows' namespace extensions write. Each reads only inside its item's
// span and returns nothing when the item's bytes do not pass its kind's checks, which
// leaves the item unknown rather than forcing another layout onto it.
#ifndef SHORTCUT_READER_SHELL_LINK_SHELL_ITEMS_H
#define SHORTCUT_READER_SHELL_LINK_SHELL_ITEMS_H

#include <cstdint>
#include <optional>

#include "shell_link/reading.h"

namespace shell_link::detail {

using ItemData = decltype(Item::data);

// {5E591A74-DF96-48D3-8D67-1733BCEE28BA}, which every delegate item carries.
constexpr Guid kDelegateItemId = {0x74, 0x1A, 0x59, 0x5E, 0x96, 0xDF, 0xD3, 0x48,
                                  0x8D, 0x67, 0x17, 0x33, 0xBC, 0xEE, 0x28, 0xBA};

// File entries (id_list.cpp): the fields and primary name of an item of class
// classType, then its 0xBEEF0004 block, looked for from offset on (or where the item's
// last two bytes point).
void ReadFileEntryFields(Reading& reading, ByteSpan item, std::uint8_t classType, FileEntryItem& entry);
// The 0xBEEF0004 block among the extension blocks that start at offset in item, read
// into entry; false when there is none.
bool ReadFileEntryExtensionAt(Reading& reading, ByteSpan item, std::uint64_t offset, FileEntryItem& entry);

// The delegate frame (delegate_items.cpp): its inner data's size N, when the item has the
// frame: at least 0x26 bytes, the delegate ID at 6 + N, the item class ID after it.
std::optional<std::uint16_t> DelegateFrame(ByteSpan item);
// Class 0x74 "CFSF", or a class 0x1F item with the frame.
std::optional<DelegateItem> ReadDelegate(Reading& reading, ByteSpan item, std::uint8_t classType);
// Class 0x2E: a shell folder's GUID, bare or in a delegate frame.
std::optional<VolumeItem> ReadShellFolderVolume(Reading& reading, ByteSpan item);

// The kinds told by a signature or by their class alone (signature_items.cpp,
// control_panel_items.cpp, property_view_items.cpp), in the order their tests must run.
std::optional<ItemData> ReadSignatureItem(Reading& reading, ByteSpan item, std::uint8_t classType);
std::optional<UriItem> ReadUri(Reading& reading, ByteSpan item);
std::optional<ControlPanelItem> ReadControlPanelItem(ByteSpan item);
std::optional<ControlPanelCategoryItem> ReadControlPanelCategory(ByteSpan item);
std::optional<ControlPanelAppletItem> ReadControlPanelApplet(Reading& reading, ByteSpan item);
// A property view frame at offset 6: for a signature the format lists (with its
// identifier's size), or, with exact set, one whose frame fits the item exactly.
std::optional<PropertyViewItem> ReadPropertyView(Reading& reading, ByteSpan item, bool exact);
bool IsListedPropertyViewSignature(std::uint32_t signature);
std::optional<MtpVolumeItem> ReadMtpVolume(Reading& reading, ByteSpan item);
std::optional<MtpFileEntryItem> ReadMtpFileEntry(Reading& reading, ByteSpan item);

// Items inside archives (archive_items.cpp): an Acronis backup's file, told by its
// signature; a ZIP folder's item, tried only after the ZIP file's entry or another such
// item (FollowsZipFolder).
std::optional<AcronisFileItem> ReadAcronisFile(Reading& reading, ByteSpan item);
bool FollowsZipFolder(const Item& previous);
std::optional<ZipFolderItem> ReadZipFolderItem(Reading& reading, ByteSpan item);

// The name a property store gives its item: the parsing name, unless it is a "::{GUID}";
// else the display name, the tile's long name, the application ID, the "::{GUID}"
// parsing name.
std::optional<std::string> PropertyStoreName(const std::vector<PropertyStorage>& storages);

}  // namespace shell_link::detail

#endif
