// SPDX-License-Identifier: MIT
// Bytes of the shell items Windows' namespace extensions write: delegates, shell folders
// of class 0x2E, URIs, Control Panel items, categories and applets, property views,
// media device items, games and CD burning items. Sizes, offsets and lengths are
// computed, so a case states only what it is about; the tweaks at the end break one
// field of a built item, for the cases an item's checks must turn away.
#ifndef SHORTCUT_TESTS_SHELL_ITEM_BUILDERS_H
#define SHORTCUT_TESTS_SHELL_ITEM_BUILDERS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link_builder.h"

// A root folder item (0x1F) for the folder with this GUID.
Bytes RootFolderItem(const std::string& folder);

// A delegate item of the class type: the size N of the inner data, the inner data, the
// delegate ID {5E591A74-DF96-48D3-8D67-1733BCEE28BA}, the delegate folder, then blocks.
Bytes DelegateItem(std::uint8_t type, const Bytes& inner, const std::string& folder, const Bytes& blocks = {});
// Where a delegate item's delegate ID starts: 6 + N.
std::size_t DelegateIdAt(const Bytes& item);
// Class 0x74 "CFSF" in the Users Files delegate folder {DFFACDC5-679F-4156-8947-C5C76BC0B67F}:
// a directory entry (0x31) named primaryName, as FileEntryWithLongName builds it without
// a block, and a zero u16 as the inner data; then, with longName, a 0xBEEF0004 block of
// version 9 holding it.
Bytes CfsfItem(const std::string& primaryName, const std::optional<std::u16string>& longName = {});
// Where CfsfItem's inner entry starts: its size, then its class type at 2.
constexpr std::size_t kCfsfEntryAt = 0x0A;

// Class 0x2E holding a shell folder's GUID alone (byte 3 0x80).
Bytes ShellFolderItem(const std::string& folder);
// Class 0x2E in a delegate frame: the Users Files folder with 12 zero bytes of inner data;
// the Portable Devices folder with a device's name and path.
Bytes UsersFilesItem();
Bytes PortableDevicesItem(const std::u16string& device, const std::u16string& devicePath);
// Where PortableDevicesItem's name length (in characters, the terminator counted) stands.
constexpr std::size_t kDeviceNameLengthAt = 0x1E;

// Class 0x61 with no data block: two zero bytes, the URI and its terminator, two zero
// bytes. UTF-16 (flags 0x80) or code-page text.
Bytes UriItem(const std::u16string& uri);
Bytes UriItem(const std::string& uri);

// Class 0x71: 30 bytes, byte 3 given (Windows writes 0x80), the item's GUID at 0x0E.
Bytes ControlPanelItem(const std::string& item, std::uint8_t byte3 = 0x80);
// Class 0x01, 12 bytes: signature 0x39DE2184, the category's number.
Bytes ControlPanelCategoryItem(std::uint32_t category);
// A CPL file's applet (class 0x00): the path, the name and the comments back to back,
// each terminated, with the name's and the comments' offsets in characters from the
// path. The UTF-16 form, its signature at 4 given; the code-page form, signature
// 0xFFFFFFFF.
Bytes AppletItem(const std::u16string& path, const std::u16string& name, const std::u16string& comments,
                 std::uint32_t signature = 0xFFFFFF9C);
Bytes AppletItem(const std::string& path, const std::string& name, const std::string& comments);
// Where the name's offset stands, then the comments'.
constexpr std::size_t kUtf16AppletOffsetsAt = 0x14;
constexpr std::size_t kAnsiAppletOffsetsAt = 0x08;

// A property view (class 0x00): the data's size D, the signature, the store's size P,
// the identifier's size I, the identifier, the store (the storages and a u32 0, counted
// in P; no store, P = 0, without storages), two zero bytes.
Bytes PropertyViewItem(std::uint32_t signature, const Bytes& identifier, const Bytes& storages = {});
// Signature 0x23FEBBEE: a known folder's GUID as the identifier, no store.
Bytes KnownFolderViewItem(const std::string& folder);
// Where a property view's store size P and identifier size I stand.
constexpr std::size_t kStoreSizeAt = 0x0A;
constexpr std::size_t kIdentifierSizeAt = 0x0C;

// Media device items (class 0x00), their data up to the item's end: a storage volume
// (0x10312005) with its name, identifier and file system; a file entry (0x07192006) with
// its name (twice), object ID, creation FILETIME and content type. Lengths count
// characters and terminators; no GUID strings, no properties.
Bytes MtpVolumeItem(const std::u16string& name, const std::u16string& identifier, const std::u16string& fileSystem);
Bytes MtpFileEntryItem(const std::u16string& name, const std::u16string& objectId, std::uint64_t created,
                       const std::string& contentType);
// Where their texts start, and where their first length stands.
constexpr std::size_t kMtpVolumeTextsAt = 0x36;
constexpr std::size_t kMtpFileEntryTextsAt = 0x4A;
constexpr std::size_t kMtpVolumeLengthsAt = 0x26;

// "GFSI", 32 bytes: the game's GUID at 8.
Bytes GameFolderItem(const std::string& game);
// "AugM" at 4, then bytes whose layout is not described.
Bytes CdBurningItem();
// An Acronis backup's file: its signature in bytes 2 to 5, then four counted UTF-16 texts
// from 0x2E (the name, a text, the full path, a text).
Bytes AcronisItem(const std::u16string& name, const std::u16string& path);
// A ZIP folder item of Windows XP: 16 zero bytes at 4, a time as text ending at 0x36, the
// name's length (terminator not counted) at 0x3C and the name at 0x44.
Bytes ZipXpItem(const std::u16string& name);

// Tweaks of a built item.
// The item with an extension block at its end: the block's size, version, signature,
// body, then its offset in the item.
Bytes WithBlock(const Bytes& item, std::uint32_t signature, std::uint16_t version, const Bytes& body);
// The item cut, or padded with zero bytes, to size bytes, its ItemIDSize saying so.
Bytes Resized(const Bytes& item, std::size_t size);
// The item with the u16 at offset set to value, or increased by delta.
Bytes WithU16(const Bytes& item, std::size_t offset, std::uint16_t value);
Bytes AddToU16(const Bytes& item, std::size_t offset, int delta);
std::uint16_t U16At(const Bytes& item, std::size_t offset);
// The item with every bit of the byte at offset flipped.
Bytes Flipped(const Bytes& item, std::size_t offset);

#endif
