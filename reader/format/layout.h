// SPDX-License-Identifier: MIT
// The format's vocabulary, shared by both readers: the layout of the ShellLinkHeader, the
// bits of its LinkFlags and FileAttributes words and of the LinkInfo flag words with
// their MS-SHLLINK names, and the ExtraData block signatures with their size rules.
#ifndef SHORTCUT_READER_FORMAT_LAYOUT_H
#define SHORTCUT_READER_FORMAT_LAYOUT_H

#include <cstdint>

namespace link_format {

// ShellLinkHeader: 76 bytes, little-endian, each field at its offset.
constexpr unsigned kHeaderBytes = 76;
constexpr std::uint32_t kShellLinkHeaderSize = 76;  // the value HeaderSize must hold
constexpr unsigned kHeaderSizeOffset = 0x00;        // u32
constexpr unsigned kLinkClsidOffset = 0x04;         // GUID
constexpr unsigned kLinkFlagsOffset = 0x14;         // u32, LinkFlag bits
constexpr unsigned kFileAttributesOffset = 0x18;    // u32, FileAttribute bits
constexpr unsigned kCreationTimeOffset = 0x1C;      // FILETIME
constexpr unsigned kAccessTimeOffset = 0x24;        // FILETIME
constexpr unsigned kWriteTimeOffset = 0x2C;         // FILETIME
constexpr unsigned kFileSizeOffset = 0x34;          // u32
constexpr unsigned kIconIndexOffset = 0x38;         // i32
constexpr unsigned kShowCommandOffset = 0x3C;       // u32
constexpr unsigned kHotKeyOffset = 0x40;            // u16: virtual key, then modifiers
// Reserved1 (u16) at 0x42, Reserved2 and Reserved3 (u32) at 0x44 and 0x48.

// The ShowCommand values the format defines; Windows treats any other as SW_SHOWNORMAL.
constexpr std::uint32_t kSwShowNormal = 1;
constexpr std::uint32_t kSwShowMaximized = 3;
constexpr std::uint32_t kSwShowMinNoActive = 7;

// A bit of a flag word and its name.
struct NamedBit {
    std::uint32_t mask;
    const char* name;
};

// LinkFlags. The sections that bits 0 to 6 announce follow the header in bit order.
enum LinkFlag : std::uint32_t {
    kHasLinkTargetIdList = 1u << 0,
    kHasLinkInfo = 1u << 1,
    kHasName = 1u << 2,
    kHasRelativePath = 1u << 3,
    kHasWorkingDir = 1u << 4,
    kHasArguments = 1u << 5,
    kHasIconLocation = 1u << 6,
    kIsUnicode = 1u << 7,
    kForceNoLinkInfo = 1u << 8,
    kHasExpString = 1u << 9,
    kHasDarwinId = 1u << 12,
    kHasExpIcon = 1u << 14,
    kRunWithShimLayer = 1u << 17,
};

inline constexpr NamedBit kLinkFlagNames[] = {
    {1u << 0, "HasLinkTargetIDList"},     {1u << 1, "HasLinkInfo"},
    {1u << 2, "HasName"},                 {1u << 3, "HasRelativePath"},
    {1u << 4, "HasWorkingDir"},           {1u << 5, "HasArguments"},
    {1u << 6, "HasIconLocation"},         {1u << 7, "IsUnicode"},
    {1u << 8, "ForceNoLinkInfo"},         {1u << 9, "HasExpString"},
    {1u << 10, "RunInSeparateProcess"},   {1u << 11, "Unused1"},
    {1u << 12, "HasDarwinID"},            {1u << 13, "RunAsUser"},
    {1u << 14, "HasExpIcon"},             {1u << 15, "NoPidlAlias"},
    {1u << 16, "Unused2"},                {1u << 17, "RunWithShimLayer"},
    {1u << 18, "ForceNoLinkTrack"},       {1u << 19, "EnableTargetMetadata"},
    {1u << 20, "DisableLinkPathTracking"}, {1u << 21, "DisableKnownFolderTracking"},
    {1u << 22, "DisableKnownFolderAlias"}, {1u << 23, "AllowLinkToLink"},
    {1u << 24, "UnaliasOnSave"},          {1u << 25, "PreferEnvironmentPath"},
    {1u << 26, "KeepLocalIDListForUNCTarget"},
};

// FileAttributesFlags, in the header and (their low 16 bits) in file entry items.
inline constexpr NamedBit kFileAttributeNames[] = {
    {1u << 0, "FILE_ATTRIBUTE_READONLY"},  {1u << 1, "FILE_ATTRIBUTE_HIDDEN"},
    {1u << 2, "FILE_ATTRIBUTE_SYSTEM"},    {1u << 3, "Reserved1"},
    {1u << 4, "FILE_ATTRIBUTE_DIRECTORY"}, {1u << 5, "FILE_ATTRIBUTE_ARCHIVE"},
    {1u << 6, "Reserved2"},                {1u << 7, "FILE_ATTRIBUTE_NORMAL"},
    {1u << 8, "FILE_ATTRIBUTE_TEMPORARY"}, {1u << 9, "FILE_ATTRIBUTE_SPARSE_FILE"},
    {1u << 10, "FILE_ATTRIBUTE_REPARSE_POINT"}, {1u << 11, "FILE_ATTRIBUTE_COMPRESSED"},
    {1u << 12, "FILE_ATTRIBUTE_OFFLINE"},  {1u << 13, "FILE_ATTRIBUTE_NOT_CONTENT_INDEXED"},
    {1u << 14, "FILE_ATTRIBUTE_ENCRYPTED"},
};

// LinkInfoHeaderSize: without the Unicode offsets, and with them (this or more).
constexpr std::uint32_t kLinkInfoHeaderWithoutUnicode = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderWithUnicode = 0x24;

// LinkInfoFlags, and the flags of its CommonNetworkRelativeLink.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 1u << 0;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 1u << 1;
inline constexpr NamedBit kLinkInfoFlagNames[] = {
    {kVolumeIdAndLocalBasePath, "VolumeIDAndLocalBasePath"},
    {kCommonNetworkRelativeLinkAndPathSuffix, "CommonNetworkRelativeLinkAndPathSuffix"},
};
constexpr std::uint32_t kValidDevice = 1u << 0;
constexpr std::uint32_t kValidNetType = 1u << 1;
inline constexpr NamedBit kNetworkLinkFlagNames[] = {{kValidDevice, "ValidDevice"}, {kValidNetType, "ValidNetType"}};

// ExtraData blocks: a u32 BlockSize counting the whole block, then a u32 signature. A
// BlockSize below 4 is the TerminalBlock.
enum BlockSignature : std::uint32_t {
    kEnvironmentVariableDataBlock = 0xA0000001,
    kConsoleDataBlock = 0xA0000002,
    kTrackerDataBlock = 0xA0000003,
    kConsoleFeDataBlock = 0xA0000004,
    kSpecialFolderDataBlock = 0xA0000005,
    kDarwinDataBlock = 0xA0000006,
    kIconEnvironmentDataBlock = 0xA0000007,
    kShimDataBlock = 0xA0000008,
    kPropertyStoreDataBlock = 0xA0000009,
    kKnownFolderDataBlock = 0xA000000B,
    kVistaAndAboveIdListDataBlock = 0xA000000C,
};
constexpr std::uint32_t kTerminalBlockBelow = 4;

struct BlockKind {
    std::uint32_t signature;
    const char* name;
    std::uint32_t size;  // the BlockSize it must have, or at least have when not exact
    bool exact;
};
inline constexpr BlockKind kBlockKinds[] = {
    {kEnvironmentVariableDataBlock, "EnvironmentVariableDataBlock", 0x314, true},
    {kConsoleDataBlock, "ConsoleDataBlock", 0xCC, true},
    {kTrackerDataBlock, "TrackerDataBlock", 0x60, true},
    {kConsoleFeDataBlock, "ConsoleFEDataBlock", 0x0C, true},
    {kSpecialFolderDataBlock, "SpecialFolderDataBlock", 0x10, true},
    {kDarwinDataBlock, "DarwinDataBlock", 0x314, true},
    {kIconEnvironmentDataBlock, "IconEnvironmentDataBlock", 0x314, true},
    {kShimDataBlock, "ShimDataBlock", 0x88, false},
    {kPropertyStoreDataBlock, "PropertyStoreDataBlock", 0x0C, false},
    {kKnownFolderDataBlock, "KnownFolderDataBlock", 0x1C, true},
    {kVistaAndAboveIdListDataBlock, "VistaAndAboveIDListDataBlock", 0x0A, false},
};

}  // namespace link_format

#endif
