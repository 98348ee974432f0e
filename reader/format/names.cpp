// SPDX-License-Identifier: MIT
#include "format/names.h"

#include <algorithm>
#include <iterator>

namespace link_format {

namespace {

struct NamedValue {
    std::uint32_t value;
    const char* name;  // cppcheck-suppress unusedStructMember
};

template <std::size_t N>
const char* NameIn(const NamedValue (&table)[N], std::uint32_t value) {
    const auto* const found =
        std::find_if(std::begin(table), std::end(table), [value](const NamedValue& entry) { return entry.value == value; });
    return found == std::end(table) ? nullptr : found->name;
}

constexpr NamedValue kDriveTypes[] = {
    {0, "DRIVE_UNKNOWN"}, {1, "DRIVE_NO_ROOT_DIR"}, {2, "DRIVE_REMOVABLE"}, {3, "DRIVE_FIXED"},
    {4, "DRIVE_REMOTE"},  {5, "DRIVE_CDROM"},       {6, "DRIVE_RAMDISK"},
};

constexpr NamedValue kShowCommands[] = {
    {kSwShowNormal, "SW_SHOWNORMAL"}, {kSwShowMaximized, "SW_SHOWMAXIMIZED"}, {kSwShowMinNoActive, "SW_SHOWMINNOACTIVE"}};

// wnnc.h, which names 0x00020000 both WNNC_NET_SMB and WNNC_NET_LANMAN.
constexpr NamedValue kNetworkProviders[] = {
    {0x00010000, "WNNC_NET_MSNET"},       {0x00020000, "WNNC_NET_LANMAN"},     {0x00030000, "WNNC_NET_NETWARE"},
    {0x00040000, "WNNC_NET_VINES"},       {0x00050000, "WNNC_NET_10NET"},      {0x00060000, "WNNC_NET_LOCUS"},
    {0x00070000, "WNNC_NET_SUN_PC_NFS"},  {0x00080000, "WNNC_NET_LANSTEP"},    {0x00090000, "WNNC_NET_9TILES"},
    {0x000A0000, "WNNC_NET_LANTASTIC"},   {0x000B0000, "WNNC_NET_AS400"},      {0x000C0000, "WNNC_NET_FTP_NFS"},
    {0x000D0000, "WNNC_NET_PATHWORKS"},   {0x000E0000, "WNNC_NET_LIFENET"},    {0x000F0000, "WNNC_NET_POWERLAN"},
    {0x00100000, "WNNC_NET_BWNFS"},       {0x00110000, "WNNC_NET_COGENT"},     {0x00120000, "WNNC_NET_FARALLON"},
    {0x00130000, "WNNC_NET_APPLETALK"},   {0x00140000, "WNNC_NET_INTERGRAPH"}, {0x00150000, "WNNC_NET_SYMFONET"},
    {0x00160000, "WNNC_NET_CLEARCASE"},   {0x00170000, "WNNC_NET_FRONTIER"},   {0x00180000, "WNNC_NET_BMC"},
    {0x00190000, "WNNC_NET_DCE"},         {0x001A0000, "WNNC_NET_AVID"},       {0x001B0000, "WNNC_NET_DOCUSPACE"},
    {0x001C0000, "WNNC_NET_MANGOSOFT"},   {0x001D0000, "WNNC_NET_SERNET"},     {0x001E0000, "WNNC_NET_RIVERFRONT1"},
    {0x001F0000, "WNNC_NET_RIVERFRONT2"}, {0x00200000, "WNNC_NET_DECORB"},     {0x00210000, "WNNC_NET_PROTSTOR"},
    {0x00220000, "WNNC_NET_FJ_REDIR"},    {0x00230000, "WNNC_NET_DISTINCT"},   {0x00240000, "WNNC_NET_TWINS"},
    {0x00250000, "WNNC_NET_RDR2SAMPLE"},  {0x00260000, "WNNC_NET_CSC"},        {0x00270000, "WNNC_NET_3IN1"},
    {0x00290000, "WNNC_NET_EXTENDNET"},   {0x002A0000, "WNNC_NET_STAC"},       {0x002B0000, "WNNC_NET_FOXBAT"},
    {0x002C0000, "WNNC_NET_YAHOO"},       {0x002D0000, "WNNC_NET_EXIFS"},      {0x002E0000, "WNNC_NET_DAV"},
    {0x002F0000, "WNNC_NET_KNOWARE"},     {0x00300000, "WNNC_NET_OBJECT_DIRE"}, {0x00310000, "WNNC_NET_MASFAX"},
    {0x00320000, "WNNC_NET_HOB_NFS"},     {0x00330000, "WNNC_NET_SHIVA"},      {0x00340000, "WNNC_NET_IBMAL"},
    {0x00350000, "WNNC_NET_LOCK"},        {0x00360000, "WNNC_NET_TERMSRV"},    {0x00370000, "WNNC_NET_SRT"},
    {0x00380000, "WNNC_NET_QUINCY"},      {0x00390000, "WNNC_NET_OPENAFS"},    {0x003A0000, "WNNC_NET_AVID1"},
    {0x003B0000, "WNNC_NET_DFS"},         {0x003C0000, "WNNC_NET_KWNP"},       {0x003D0000, "WNNC_NET_ZENWORKS"},
    {0x003E0000, "WNNC_NET_DRIVEONWEB"},  {0x003F0000, "WNNC_NET_VMWARE"},     {0x00400000, "WNNC_NET_RSFX"},
    {0x00410000, "WNNC_NET_MFILES"},      {0x00420000, "WNNC_NET_MS_NFS"},     {0x00430000, "WNNC_NET_GOOGLE"},
    {0x00450000, "WNNC_NET_DOCUSHARE"},
};

constexpr NamedValue kVariantTypes[] = {
    {0x0000, "VT_EMPTY"},    {0x0001, "VT_NULL"},     {0x0002, "VT_I2"},      {0x0003, "VT_I4"},
    {0x0004, "VT_R4"},       {0x0005, "VT_R8"},       {0x0006, "VT_CY"},      {0x0007, "VT_DATE"},
    {0x0008, "VT_BSTR"},     {0x000A, "VT_ERROR"},    {0x000B, "VT_BOOL"},    {0x000C, "VT_VARIANT"},
    {0x000E, "VT_DECIMAL"},  {0x0010, "VT_I1"},       {0x0011, "VT_UI1"},     {0x0012, "VT_UI2"},
    {0x0013, "VT_UI4"},      {0x0014, "VT_I8"},       {0x0015, "VT_UI8"},     {0x0016, "VT_INT"},
    {0x0017, "VT_UINT"},     {0x001E, "VT_LPSTR"},    {0x001F, "VT_LPWSTR"},  {0x0040, "VT_FILETIME"},
    {0x0041, "VT_BLOB"},     {0x0042, "VT_STREAM"},   {0x0043, "VT_STORAGE"}, {0x0044, "VT_STREAMED_OBJECT"},
    {0x0045, "VT_STORED_OBJECT"}, {0x0046, "VT_BLOB_OBJECT"}, {0x0047, "VT_CF"}, {0x0048, "VT_CLSID"},
    {0x0049, "VT_VERSIONED_STREAM"},
};

}  // namespace

const char* DriveTypeName(std::uint32_t driveType) { return NameIn(kDriveTypes, driveType); }
const char* ShowCommandName(std::uint32_t showCommand) { return NameIn(kShowCommands, showCommand); }
const char* NetworkProviderName(std::uint32_t provider) { return NameIn(kNetworkProviders, provider); }
const char* VariantTypeName(std::uint16_t type) { return NameIn(kVariantTypes, type); }

const char* HotKeyName(std::uint8_t virtualKey, char (&text)[12]) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        text[0] = static_cast<char>(virtualKey);
        text[1] = '\0';
        return text;
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87) {  // VK_F1 ... VK_F24
        const unsigned number = virtualKey - 0x6Fu;
        char* at = text;
        *at++ = 'F';
        if (number >= 10) {
            *at++ = static_cast<char>('0' + number / 10);
        }
        *at++ = static_cast<char>('0' + number % 10);
        *at = '\0';
        return text;
    }
    if (virtualKey == 0x90) {
        return "NUM LOCK";
    }
    if (virtualKey == 0x91) {
        return "SCROLL LOCK";
    }
    return nullptr;
}

const BlockKind* BlockKindOf(std::uint32_t signature) {
    const auto* const found = std::find_if(std::begin(kBlockKinds), std::end(kBlockKinds),
                                           [signature](const BlockKind& kind) { return kind.signature == signature; });
    return found == std::end(kBlockKinds) ? nullptr : found;
}

}  // namespace link_format
