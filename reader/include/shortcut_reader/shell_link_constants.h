// SPDX-License-Identifier: MIT
// The shell link format's named values, with their MS-SHLLINK names: the LinkFlags and
// FileAttributes bits, the show commands and hot key modifiers of the header, the LinkInfo
// and CommonNetworkRelativeLink flags, drive types, network provider types and ExtraData
// block signatures. Both readers and the JSON record use these definitions; a program
// that reads Link values tests them against the same ones:
//
//     if (link.header.link_flags & shell_link::kHasArguments) ...
//     if (const auto* tracker = shell_link::FindBlock<shell_link::TrackerBlock>(link)) ...
//
// Each name table lists a word's bits (or an enumeration's values) in order; the Name
// functions give null for a value the format does not name.
#ifndef SHORTCUT_READER_SHELL_LINK_CONSTANTS_H
#define SHORTCUT_READER_SHELL_LINK_CONSTANTS_H

#include <cstddef>
#include <cstdint>

namespace shell_link {
// Inline, so that shell_link::kHasName names them; a separate namespace, so that the
// shared layer below the readers can take them in alone.
inline namespace constants {

struct NamedBit {
    std::uint32_t mask;
    const char* name;
};
struct NamedValue {
    std::uint32_t value;
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
    kRunInSeparateProcess = 1u << 10,
    kUnused1 = 1u << 11,
    kHasDarwinId = 1u << 12,
    kRunAsUser = 1u << 13,
    kHasExpIcon = 1u << 14,
    kNoPidlAlias = 1u << 15,
    kUnused2 = 1u << 16,
    kRunWithShimLayer = 1u << 17,
    kForceNoLinkTrack = 1u << 18,
    kEnableTargetMetadata = 1u << 19,
    kDisableLinkPathTracking = 1u << 20,
    kDisableKnownFolderTracking = 1u << 21,
    kDisableKnownFolderAlias = 1u << 22,
    kAllowLinkToLink = 1u << 23,
    kUnaliasOnSave = 1u << 24,
    kPreferEnvironmentPath = 1u << 25,
    kKeepLocalIdListForUncTarget = 1u << 26,
};
inline constexpr NamedBit kLinkFlagNames[] = {
    {kHasLinkTargetIdList, "HasLinkTargetIDList"},     {kHasLinkInfo, "HasLinkInfo"},
    {kHasName, "HasName"},                             {kHasRelativePath, "HasRelativePath"},
    {kHasWorkingDir, "HasWorkingDir"},                 {kHasArguments, "HasArguments"},
    {kHasIconLocation, "HasIconLocation"},             {kIsUnicode, "IsUnicode"},
    {kForceNoLinkInfo, "ForceNoLinkInfo"},             {kHasExpString, "HasExpString"},
    {kRunInSeparateProcess, "RunInSeparateProcess"},   {kUnused1, "Unused1"},
    {kHasDarwinId, "HasDarwinID"},                     {kRunAsUser, "RunAsUser"},
    {kHasExpIcon, "HasExpIcon"},                       {kNoPidlAlias, "NoPidlAlias"},
    {kUnused2, "Unused2"},                             {kRunWithShimLayer, "RunWithShimLayer"},
    {kForceNoLinkTrack, "ForceNoLinkTrack"},           {kEnableTargetMetadata, "EnableTargetMetadata"},
    {kDisableLinkPathTracking, "DisableLinkPathTracking"}, {kDisableKnownFolderTracking, "DisableKnownFolderTracking"},
    {kDisableKnownFolderAlias, "DisableKnownFolderAlias"}, {kAllowLinkToLink, "AllowLinkToLink"},
    {kUnaliasOnSave, "UnaliasOnSave"},                 {kPreferEnvironmentPath, "PreferEnvironmentPath"},
    {kKeepLocalIdListForUncTarget, "KeepLocalIDListForUNCTarget"},
};

// FileAttributesFlags, in the header and (their low 16 bits) in file entry items.
enum FileAttribute : std::uint32_t {
    kFileAttributeReadonly = 1u << 0,
    kFileAttributeHidden = 1u << 1,
    kFileAttributeSystem = 1u << 2,
    kFileAttributeReserved1 = 1u << 3,
    kFileAttributeDirectory = 1u << 4,
    kFileAttributeArchive = 1u << 5,
    kFileAttributeReserved2 = 1u << 6,
    kFileAttributeNormal = 1u << 7,
    kFileAttributeTemporary = 1u << 8,
    kFileAttributeSparseFile = 1u << 9,
    kFileAttributeReparsePoint = 1u << 10,
    kFileAttributeCompressed = 1u << 11,
    kFileAttributeOffline = 1u << 12,
    kFileAttributeNotContentIndexed = 1u << 13,
    kFileAttributeEncrypted = 1u << 14,
};
inline constexpr NamedBit kFileAttributeNames[] = {
    {kFileAttributeReadonly, "FILE_ATTRIBUTE_READONLY"},   {kFileAttributeHidden, "FILE_ATTRIBUTE_HIDDEN"},
    {kFileAttributeSystem, "FILE_ATTRIBUTE_SYSTEM"},       {kFileAttributeReserved1, "Reserved1"},
    {kFileAttributeDirectory, "FILE_ATTRIBUTE_DIRECTORY"}, {kFileAttributeArchive, "FILE_ATTRIBUTE_ARCHIVE"},
    {kFileAttributeReserved2, "Reserved2"},                {kFileAttributeNormal, "FILE_ATTRIBUTE_NORMAL"},
    {kFileAttributeTemporary, "FILE_ATTRIBUTE_TEMPORARY"}, {kFileAttributeSparseFile, "FILE_ATTRIBUTE_SPARSE_FILE"},
    {kFileAttributeReparsePoint, "FILE_ATTRIBUTE_REPARSE_POINT"},
    {kFileAttributeCompressed, "FILE_ATTRIBUTE_COMPRESSED"},
    {kFileAttributeOffline, "FILE_ATTRIBUTE_OFFLINE"},
    {kFileAttributeNotContentIndexed, "FILE_ATTRIBUTE_NOT_CONTENT_INDEXED"},
    {kFileAttributeEncrypted, "FILE_ATTRIBUTE_ENCRYPTED"},
};

// ShowCommand: the values the format defines; Windows treats any other as SW_SHOWNORMAL.
enum ShowCommand : std::uint32_t {
    kSwShowNormal = 1,
    kSwShowMaximized = 3,
    kSwShowMinNoActive = 7,
};
inline constexpr NamedValue kShowCommandNames[] = {
    {kSwShowNormal, "SW_SHOWNORMAL"}, {kSwShowMaximized, "SW_SHOWMAXIMIZED"}, {kSwShowMinNoActive, "SW_SHOWMINNOACTIVE"}};

// HotKeyFlags: the high byte's modifier bits (the low byte is the virtual key).
enum HotKeyModifier : std::uint32_t {
    kHotKeyShift = 0x01,
    kHotKeyControl = 0x02,
    kHotKeyAlt = 0x04,
};
inline constexpr NamedBit kHotKeyModifierNames[] = {
    {kHotKeyShift, "HOTKEYF_SHIFT"}, {kHotKeyControl, "HOTKEYF_CONTROL"}, {kHotKeyAlt, "HOTKEYF_ALT"}};

// LinkInfoFlags.
enum LinkInfoFlag : std::uint32_t {
    kVolumeIdAndLocalBasePath = 1u << 0,
    kCommonNetworkRelativeLinkAndPathSuffix = 1u << 1,
};
inline constexpr NamedBit kLinkInfoFlagNames[] = {
    {kVolumeIdAndLocalBasePath, "VolumeIDAndLocalBasePath"},
    {kCommonNetworkRelativeLinkAndPathSuffix, "CommonNetworkRelativeLinkAndPathSuffix"},
};

// The CommonNetworkRelativeLink's flags.
enum NetworkLinkFlag : std::uint32_t {
    kValidDevice = 1u << 0,
    kValidNetType = 1u << 1,
};
inline constexpr NamedBit kNetworkLinkFlagNames[] = {{kValidDevice, "ValidDevice"}, {kValidNetType, "ValidNetType"}};

// The VolumeID's DriveType.
enum DriveType : std::uint32_t {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdrom = 5,
    kDriveRamdisk = 6,
};
inline constexpr NamedValue kDriveTypeNames[] = {
    {kDriveUnknown, "DRIVE_UNKNOWN"}, {kDriveNoRootDir, "DRIVE_NO_ROOT_DIR"}, {kDriveRemovable, "DRIVE_REMOVABLE"},
    {kDriveFixed, "DRIVE_FIXED"},     {kDriveRemote, "DRIVE_REMOTE"},         {kDriveCdrom, "DRIVE_CDROM"},
    {kDriveRamdisk, "DRIVE_RAMDISK"},
};

// The CommonNetworkRelativeLink's NetworkProviderType: the Windows SDK's WNNC_NET_*
// values (wnnc.h names 0x00020000 both WNNC_NET_SMB and WNNC_NET_LANMAN; the format,
// LANMAN).
enum NetworkProviderType : std::uint32_t {
    kWnncNetMsnet = 0x00010000,
    kWnncNetLanman = 0x00020000,
    kWnncNetNetware = 0x00030000,
    kWnncNetVines = 0x00040000,
    kWnncNet10net = 0x00050000,
    kWnncNetLocus = 0x00060000,
    kWnncNetSunPcNfs = 0x00070000,
    kWnncNetLanstep = 0x00080000,
    kWnncNet9tiles = 0x00090000,
    kWnncNetLantastic = 0x000A0000,
    kWnncNetAs400 = 0x000B0000,
    kWnncNetFtpNfs = 0x000C0000,
    kWnncNetPathworks = 0x000D0000,
    kWnncNetLifenet = 0x000E0000,
    kWnncNetPowerlan = 0x000F0000,
    kWnncNetBwnfs = 0x00100000,
    kWnncNetCogent = 0x00110000,
    kWnncNetFarallon = 0x00120000,
    kWnncNetAppletalk = 0x00130000,
    kWnncNetIntergraph = 0x00140000,
    kWnncNetSymfonet = 0x00150000,
    kWnncNetClearcase = 0x00160000,
    kWnncNetFrontier = 0x00170000,
    kWnncNetBmc = 0x00180000,
    kWnncNetDce = 0x00190000,
    kWnncNetAvid = 0x001A0000,
    kWnncNetDocuspace = 0x001B0000,
    kWnncNetMangosoft = 0x001C0000,
    kWnncNetSernet = 0x001D0000,
    kWnncNetRiverfront1 = 0x001E0000,
    kWnncNetRiverfront2 = 0x001F0000,
    kWnncNetDecorb = 0x00200000,
    kWnncNetProtstor = 0x00210000,
    kWnncNetFjRedir = 0x00220000,
    kWnncNetDistinct = 0x00230000,
    kWnncNetTwins = 0x00240000,
    kWnncNetRdr2sample = 0x00250000,
    kWnncNetCsc = 0x00260000,
    kWnncNet3in1 = 0x00270000,
    kWnncNetExtendnet = 0x00290000,
    kWnncNetStac = 0x002A0000,
    kWnncNetFoxbat = 0x002B0000,
    kWnncNetYahoo = 0x002C0000,
    kWnncNetExifs = 0x002D0000,
    kWnncNetDav = 0x002E0000,
    kWnncNetKnoware = 0x002F0000,
    kWnncNetObjectDire = 0x00300000,
    kWnncNetMasfax = 0x00310000,
    kWnncNetHobNfs = 0x00320000,
    kWnncNetShiva = 0x00330000,
    kWnncNetIbmal = 0x00340000,
    kWnncNetLock = 0x00350000,
    kWnncNetTermsrv = 0x00360000,
    kWnncNetSrt = 0x00370000,
    kWnncNetQuincy = 0x00380000,
    kWnncNetOpenafs = 0x00390000,
    kWnncNetAvid1 = 0x003A0000,
    kWnncNetDfs = 0x003B0000,
    kWnncNetKwnp = 0x003C0000,
    kWnncNetZenworks = 0x003D0000,
    kWnncNetDriveonweb = 0x003E0000,
    kWnncNetVmware = 0x003F0000,
    kWnncNetRsfx = 0x00400000,
    kWnncNetMfiles = 0x00410000,
    kWnncNetMsNfs = 0x00420000,
    kWnncNetGoogle = 0x00430000,
    kWnncNetDocushare = 0x00450000,
};
inline constexpr NamedValue kNetworkProviderNames[] = {
    {kWnncNetMsnet, "WNNC_NET_MSNET"}, {kWnncNetLanman, "WNNC_NET_LANMAN"}, {kWnncNetNetware, "WNNC_NET_NETWARE"},
    {kWnncNetVines, "WNNC_NET_VINES"}, {kWnncNet10net, "WNNC_NET_10NET"}, {kWnncNetLocus, "WNNC_NET_LOCUS"},
    {kWnncNetSunPcNfs, "WNNC_NET_SUN_PC_NFS"}, {kWnncNetLanstep, "WNNC_NET_LANSTEP"}, {kWnncNet9tiles, "WNNC_NET_9TILES"},
    {kWnncNetLantastic, "WNNC_NET_LANTASTIC"}, {kWnncNetAs400, "WNNC_NET_AS400"}, {kWnncNetFtpNfs, "WNNC_NET_FTP_NFS"},
    {kWnncNetPathworks, "WNNC_NET_PATHWORKS"}, {kWnncNetLifenet, "WNNC_NET_LIFENET"}, {kWnncNetPowerlan, "WNNC_NET_POWERLAN"},
    {kWnncNetBwnfs, "WNNC_NET_BWNFS"}, {kWnncNetCogent, "WNNC_NET_COGENT"}, {kWnncNetFarallon, "WNNC_NET_FARALLON"},
    {kWnncNetAppletalk, "WNNC_NET_APPLETALK"}, {kWnncNetIntergraph, "WNNC_NET_INTERGRAPH"}, {kWnncNetSymfonet, "WNNC_NET_SYMFONET"},
    {kWnncNetClearcase, "WNNC_NET_CLEARCASE"}, {kWnncNetFrontier, "WNNC_NET_FRONTIER"}, {kWnncNetBmc, "WNNC_NET_BMC"},
    {kWnncNetDce, "WNNC_NET_DCE"}, {kWnncNetAvid, "WNNC_NET_AVID"}, {kWnncNetDocuspace, "WNNC_NET_DOCUSPACE"},
    {kWnncNetMangosoft, "WNNC_NET_MANGOSOFT"}, {kWnncNetSernet, "WNNC_NET_SERNET"}, {kWnncNetRiverfront1, "WNNC_NET_RIVERFRONT1"},
    {kWnncNetRiverfront2, "WNNC_NET_RIVERFRONT2"}, {kWnncNetDecorb, "WNNC_NET_DECORB"}, {kWnncNetProtstor, "WNNC_NET_PROTSTOR"},
    {kWnncNetFjRedir, "WNNC_NET_FJ_REDIR"}, {kWnncNetDistinct, "WNNC_NET_DISTINCT"}, {kWnncNetTwins, "WNNC_NET_TWINS"},
    {kWnncNetRdr2sample, "WNNC_NET_RDR2SAMPLE"}, {kWnncNetCsc, "WNNC_NET_CSC"}, {kWnncNet3in1, "WNNC_NET_3IN1"},
    {kWnncNetExtendnet, "WNNC_NET_EXTENDNET"}, {kWnncNetStac, "WNNC_NET_STAC"}, {kWnncNetFoxbat, "WNNC_NET_FOXBAT"},
    {kWnncNetYahoo, "WNNC_NET_YAHOO"}, {kWnncNetExifs, "WNNC_NET_EXIFS"}, {kWnncNetDav, "WNNC_NET_DAV"},
    {kWnncNetKnoware, "WNNC_NET_KNOWARE"}, {kWnncNetObjectDire, "WNNC_NET_OBJECT_DIRE"}, {kWnncNetMasfax, "WNNC_NET_MASFAX"},
    {kWnncNetHobNfs, "WNNC_NET_HOB_NFS"}, {kWnncNetShiva, "WNNC_NET_SHIVA"}, {kWnncNetIbmal, "WNNC_NET_IBMAL"},
    {kWnncNetLock, "WNNC_NET_LOCK"}, {kWnncNetTermsrv, "WNNC_NET_TERMSRV"}, {kWnncNetSrt, "WNNC_NET_SRT"},
    {kWnncNetQuincy, "WNNC_NET_QUINCY"}, {kWnncNetOpenafs, "WNNC_NET_OPENAFS"}, {kWnncNetAvid1, "WNNC_NET_AVID1"},
    {kWnncNetDfs, "WNNC_NET_DFS"}, {kWnncNetKwnp, "WNNC_NET_KWNP"}, {kWnncNetZenworks, "WNNC_NET_ZENWORKS"},
    {kWnncNetDriveonweb, "WNNC_NET_DRIVEONWEB"}, {kWnncNetVmware, "WNNC_NET_VMWARE"}, {kWnncNetRsfx, "WNNC_NET_RSFX"},
    {kWnncNetMfiles, "WNNC_NET_MFILES"}, {kWnncNetMsNfs, "WNNC_NET_MS_NFS"}, {kWnncNetGoogle, "WNNC_NET_GOOGLE"},
    {kWnncNetDocushare, "WNNC_NET_DOCUSHARE"},
};

// ExtraData blocks: a u32 BlockSize counting the whole block, then a u32 signature. A
// BlockSize below kTerminalBlockBelow is the TerminalBlock.
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

// The name of value in table, or null.
template <std::size_t N>
constexpr const char* NameOf(const NamedValue (&table)[N], std::uint32_t value) {
    for (const NamedValue& entry : table) {  // std::find_if is not constexpr in C++17
        // cppcheck-suppress useStlAlgorithm
        if (entry.value == value) {
            return entry.name;
        }
    }
    return nullptr;
}
constexpr const char* ShowCommandName(std::uint32_t value) { return NameOf(kShowCommandNames, value); }
constexpr const char* DriveTypeName(std::uint32_t value) { return NameOf(kDriveTypeNames, value); }
constexpr const char* NetworkProviderName(std::uint32_t value) { return NameOf(kNetworkProviderNames, value); }

// The block an ExtraData signature names, or null for a signature the format does not define.
constexpr const BlockKind* BlockKindOf(std::uint32_t signature) {
    for (const BlockKind& kind : kBlockKinds) {
        // cppcheck-suppress useStlAlgorithm
        if (kind.signature == signature) {
            return &kind;
        }
    }
    return nullptr;
}

}  // namespace constants
}  // namespace shell_link

#endif
