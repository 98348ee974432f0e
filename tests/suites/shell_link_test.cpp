// SPDX-License-Identifier: MIT
// The complete reader and its JSON record, one table per structure (record_rows.h); and
// links read from files of every size around the reader's stack buffer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <shortcut_reader/shell_link_json.h>

#include <algorithm>
#include <thread>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "format/layout.h"
#include "link_builder.h"
#include "record_rows.h"
#include "shell_link/mac_vendor.h"
#include "structure_builders.h"
#include "test_support.h"

namespace {

namespace sr = link_format;
using nlohmann::json;

Bytes U64(std::uint64_t value) {
    return Bytes().U32(static_cast<std::uint32_t>(value)).U32(static_cast<std::uint32_t>(value >> 32));
}

const Bytes kTerminal = TerminalBlock();
constexpr char kMyComputer[] = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

TEST(HeaderRecord, HoldsEveryFieldAndNamesItsValues) {
    CheckRows({
        {"a header alone",
         LinkBuilder().Build(),
         {{"/status", "read"},
          {"/error", nullptr},
          {"/size", 76},
          {"/header/header_size", 76},
          {"/header/link_clsid", "{00021401-0000-0000-C000-000000000046}"},
          {"/header/link_flags", {{"value", 0x80}, {"names", {"IsUnicode"}}}},
          {"/header/file_attributes", {{"value", 0x20}, {"names", {"FILE_ATTRIBUTE_ARCHIVE"}}}},
          {"/header/creation_time", nullptr},
          {"/header/show_command", {{"value", 1}, {"name", "SW_SHOWNORMAL"}}},
          {"/header/hot_key", {{"value", 0}, {"key", nullptr}, {"modifiers", json::array()}}},
          {"/link_target_id_list", nullptr},
          {"/link_info", nullptr},
          {"/string_data/name_string", nullptr},
          {"/extra_data", json::array()},
          {"/trailing_data", nullptr}}},
        {"the times of the format's own sample, and the last one a FILETIME can say here",
         LinkBuilder().HeaderBytes(0x1C, U64(0x01C91515F2EEE9D0)).HeaderBytes(0x2C, U64(0x24C85A5ED1C03FFF)).Build(),
         {{"/header/creation_time", "2008-09-12T20:27:17.1010000Z"},
          {"/header/access_time", nullptr},
          {"/header/write_time", "9999-12-31T23:59:59.9999999Z"}}},
        {"a time past the year 9999",
         LinkBuilder().HeaderBytes(0x24, U64(0x24C85A5ED1C04000)).Build(),
         {{"/header/access_time", nullptr}},
         {"invalid_time"}},
        {"a hot key with modifiers",
         LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0646)).Build(),
         {{"/header/hot_key", {{"value", 0x0646}, {"key", "F"}, {"modifiers", {"HOTKEYF_CONTROL", "HOTKEYF_ALT"}}}}}},
        {"a function key", LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0174)).Build(),
         {{"/header/hot_key/key", "F5"}, {"/header/hot_key/modifiers", {"HOTKEYF_SHIFT"}}}},
        {"F24", LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0087)).Build(), {{"/header/hot_key/key", "F24"}}},
        {"a digit", LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0035)).Build(), {{"/header/hot_key/key", "5"}}},
        {"num lock", LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0090)).Build(), {{"/header/hot_key/key", "NUM LOCK"}}},
        {"scroll lock", LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x0091)).Build(),
         {{"/header/hot_key/key", "SCROLL LOCK"}}},
        {"a key and a modifier without names",
         LinkBuilder().HeaderBytes(0x40, Bytes().U16(0x08FF)).Build(),
         {{"/header/hot_key", {{"value", 0x08FF}, {"key", nullptr}, {"modifiers", json::array()}}}}},
        {"a minimised window", LinkBuilder().HeaderBytes(0x3C, Bytes().U32(7)).Build(),
         {{"/header/show_command/name", "SW_SHOWMINNOACTIVE"}}},
        {"a maximised window", LinkBuilder().HeaderBytes(0x3C, Bytes().U32(3)).Build(),
         {{"/header/show_command/name", "SW_SHOWMAXIMIZED"}}},
        {"a show command the format does not define",
         LinkBuilder().HeaderBytes(0x3C, Bytes().U32(2)).Build(),
         {{"/header/show_command", {{"value", 2}, {"name", nullptr}}}}},
        {"a negative icon index and a file size",
         LinkBuilder().HeaderBytes(0x34, Bytes().U32(123456)).HeaderBytes(0x38, Bytes().U32(0xFFFFFFFF)).Build(),
         {{"/header/file_size", 123456}, {"/header/icon_index", -1}}},
        {"flag bits with and without names",
         LinkBuilder().Flags(0x10080200).Build(),
         {{"/header/link_flags", {{"value", 0x10080200}, {"names", {"HasExpString", "EnableTargetMetadata"}}}}}},
        {"a header cut after its size", Bytes{0x4C},
         {{"/status", "read"}, {"/size", 1}, {"/header/header_size", 76}, {"/header/link_flags/value", 0},
          {"/extra_data", json::array()}},
         {"truncated"}},
        {"a first byte that is not 0x4C", Bytes{0x4D, 0, 0, 0},
         {{"/status", "not_a_shortcut"}, {"/size", 4}, {"/header", nullptr}, {"/string_data", nullptr},
          {"/extra_data", nullptr}}},
        {"no bytes at all", Bytes(), {{"/status", "not_a_shortcut"}, {"/size", 0}}},
    });
}

TEST(IdListRecord, DecodesEachKindOfItemAndJoinsThePath) {
    const Bytes longNames = ItemList({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x31, "PROGRA~1", u"Program Files"),
                                      FileEntryWithLongName(0x32, "WINWOR~1.EXE", u"Winword.exe", 3)});
    CheckRows({
        {"the items of a link to notepad",
         LinkBuilder().IdList(NotepadItemList()).Build(),
         {{"/link_target_id_list/id_list_size", NotepadItemList().Size()},
          {"/link_target_id_list/items/0",
           {{"offset", 78}, {"item_id_size", 20}, {"class_type_indicator", 0x1F}, {"kind", "root_folder"},
            {"root_folder_id", kMyComputer}, {"sort_index", 0x50}, {"name", "My Computer"}}},
          {"/link_target_id_list/items/1/kind", "volume"},
          {"/link_target_id_list/items/1/name", "C:\\"},
          {"/link_target_id_list/items/2/short_name", "WINDOWS"},
          {"/link_target_id_list/items/2/file_size", 0x1234},
          {"/link_target_id_list/items/2/file_attributes/names", {"FILE_ATTRIBUTE_DIRECTORY"}},
          {"/link_target_id_list/items/2/long_name", nullptr},
          {"/link_target_id_list/path", "C:\\WINDOWS\\notepad.exe"}}},
        {"long names, times and file references from 0xBEEF0004 blocks of versions 9 and 3",
         LinkBuilder().IdList(longNames).Build(),
         {{"/link_target_id_list/items/2/short_name", "PROGRA~1"},
          {"/link_target_id_list/items/2/long_name", "Program Files"},
          {"/link_target_id_list/items/2/modification_time", "2008-09-12T20:27:18"},
          {"/link_target_id_list/items/2/creation_time", "2008-09-12T20:27:10"},
          {"/link_target_id_list/items/2/access_time", "2008-09-12T20:27:18"},
          {"/link_target_id_list/items/2/mft_entry", 0x1E03},
          {"/link_target_id_list/items/2/mft_sequence", 0x1EF5},
          {"/link_target_id_list/items/3/long_name", "Winword.exe"},
          {"/link_target_id_list/items/3/mft_entry", nullptr},
          {"/link_target_id_list/path", "C:\\Program Files\\Winword.exe"}}},
        {"0xBEEF0004 blocks of versions 7 and 8",
         LinkBuilder().IdList(ItemList({RootItem(), VolumeItem("D:\\"), FileEntryWithLongName(0x31, "A", u"Alpha", 7),
                                        FileEntryWithLongName(0x32, "B", u"Beta", 8)})).Build(),
         {{"/link_target_id_list/path", "D:\\Alpha\\Beta"}}},
        {"a file entry with UTF-16 names",
         LinkBuilder().IdList(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x35, "DONNES", u"Donn\u00e9es")})).Build(),
         {{"/link_target_id_list/items/2/short_name", "DONNES"}, {"/link_target_id_list/path", "C:\\Donn\u00e9es"}}},
        {"a network location, then a folder on it",
         LinkBuilder().IdList(ItemList({RootItem(), NetworkItem(0xC3, "\\\\server\\share", "Microsoft Network", "a share"),
                                        FileEntryWithLongName(0x31, "DOCUME~1", u"Documents")})).Build(),
         {{"/link_target_id_list/items/1/kind", "network_location"},
          {"/link_target_id_list/items/1/location", "\\\\server\\share"},
          {"/link_target_id_list/items/1/description", "Microsoft Network"},
          {"/link_target_id_list/items/1/comments", "a share"},
          {"/link_target_id_list/path", "\\\\server\\share\\Documents"}}},
        {"a network location without description or comments",
         LinkBuilder().IdList(ItemList({RootItem(), NetworkItem(0x41, "WORKGROUP")})).Build(),
         {{"/link_target_id_list/items/1/description", nullptr}, {"/link_target_id_list/path", "WORKGROUP"}}},
        {"a volume item without a name, and an unknown item",
         LinkBuilder().IdList(ItemList({RootItem(), Item(0x2E, Bytes{0x80}.Append(GuidBytes(kMyComputer))),
                                        Item(0x74, Bytes{0xAB, 0xCD})})).Build(),
         {{"/link_target_id_list/items/1/kind", "volume"},
          {"/link_target_id_list/items/1/name", nullptr},
          {"/link_target_id_list/items/1/shell_folder_id", kMyComputer},
          {"/link_target_id_list/items/1/shell_folder_name", "My Computer"},
          {"/link_target_id_list/items/2/kind", "unknown"},
          {"/link_target_id_list/items/2/data_prefix", "74abcd"},
          {"/link_target_id_list/path", "My Computer\\My Computer"}}},
        {"an unknown item keeps only its first 64 bytes",
         LinkBuilder().IdList(ItemList({Item(0x00, Bytes().Zeros(100))})).Build(),
         {{"/link_target_id_list/items/0/data_prefix", std::string(128, '0')}}},
        {"a list without a volume has a namespace path",
         LinkBuilder().IdList(ItemList({RootItem()})).Build(),
         {{"/link_target_id_list/path", "My Computer"}}},
        {"an empty list", LinkBuilder().IdList(Terminator()).Build(),
         {{"/link_target_id_list/items", json::array()}, {"/link_target_id_list/path", nullptr}}},
        {"an item too small for its class type ends the list",
         LinkBuilder().IdList(Bytes().Append(RootItem()).Append(ItemWithSize(2)).Append(VolumeItem("C:\\")).Append(Terminator())).Build(),
         {{"/link_target_id_list/items/0/kind", "root_folder"}, {"/link_target_id_list/items/1", nullptr}},
         {"truncated"}},
        {"a list without its terminal ID",
         LinkBuilder().IdList(Bytes().Append(RootItem()).Append(VolumeItem("C:\\"))).Build(),
         {{"/link_target_id_list/path", "C:\\"}},
         {"truncated"}},
        {"an item that runs past its list is read as far as the list goes",
         LinkBuilder().IdList(Bytes().Append(RootItem()).Append(ItemWithSize(40, Bytes{0x2F}.Text("E:\\")))).Build(),
         {{"/link_target_id_list/items/1/item_id_size", 40}, {"/link_target_id_list/items/1/name", "E:\\"}},
         {"truncated"}},
        {"an IDListSize past the end of the input",
         LinkBuilder().IdListClaiming(0x400, CDriveItemList()).Build(),
         {{"/link_target_id_list/id_list_size", 0x400}, {"/link_target_id_list/path", "C:\\"}},
         {"truncated"}},
        {"a DOS date-time out of range", LinkBuilder().IdList(ItemList({Item(0x31, Bytes{0}.U32(1).U32(0x01A0).U16(0).TextZ("x"))})).Build(),
         {{"/link_target_id_list/items/0/modification_time", nullptr}}},
    });
}

TEST(IdListRecord, ListsAtMostItsLimitOfItems) {
    Bytes list;
    for (std::size_t i = 0; i < 2000; ++i) {
        list.Append(Item(0x00));
    }
    const json record = Record(LinkBuilder().IdList(list.Append(Terminator())).Build());
    EXPECT_EQ(record["link_target_id_list"]["items"].size(), 1024u);
    EXPECT_EQ(WarningCodes(record), std::vector<std::string>{"limit_reached"});
    EXPECT_EQ(record["warnings"][0]["message"], "976 more items are not listed: a record lists 1024 in all");
}

TEST(LinkInfoRecord, ReadsItsPartsThroughTheirOffsetsInTheirUnicodeFormWhereThereIsOne) {
    const Bytes local = LinkInfoOf({VolumeId(3, 0x307A8A81, ""), "C:\\test\\a.txt", std::nullopt, "", {}, {}});
    CheckRows({
        {"a local path in ANSI, as the format's sample has it",
         LinkBuilder().LinkInfo(local).Build(),
         {{"/link_info",
           {{"link_info_size", local.Size()},
            {"link_info_header_size", 0x1C},
            {"link_info_flags", {{"value", 1}, {"names", {"VolumeIDAndLocalBasePath"}}}},
            {"volume_id", {{"drive_type", {{"value", 3}, {"name", "DRIVE_FIXED"}}}, {"drive_serial_number", "307A8A81"}, {"volume_label", ""}}},
            {"local_base_path", "C:\\test\\a.txt"},
            {"common_network_relative_link", nullptr},
            {"common_path_suffix", ""}}}}},
        {"Unicode twins of the paths, and a Unicode volume label",
         LinkBuilder().LinkInfo(LinkInfoOf({VolumeIdUnicode(2, 0x1C3A8B5E, u"USB \u00c9T\u00c9"), "E:\\B?cher", std::nullopt, "x",
                                            u"E:\\B\u00fccher", u"\u00fc"})).Build(),
         {{"/link_info/link_info_header_size", 0x24},
          {"/link_info/volume_id/drive_type/name", "DRIVE_REMOVABLE"},
          {"/link_info/volume_id/drive_serial_number", "1C3A8B5E"},
          {"/link_info/volume_id/volume_label", "USB \u00c9T\u00c9"},
          {"/link_info/local_base_path", "E:\\B\u00fccher"},
          {"/link_info/common_path_suffix", "\u00fc"}}},
        {"a network share with a device and a provider",
         LinkBuilder().LinkInfo(LinkInfoOf({std::nullopt, std::nullopt, NetworkLink(3, "\\\\server\\share", "Z:", 0x00020000), "docs\\a.txt", {}, {}})).Build(),
         {{"/link_info/link_info_flags/names", {"CommonNetworkRelativeLinkAndPathSuffix"}},
          {"/link_info/volume_id", nullptr},
          {"/link_info/local_base_path", nullptr},
          {"/link_info/common_network_relative_link",
           {{"flags", {{"value", 3}, {"names", {"ValidDevice", "ValidNetType"}}}},
            {"net_name", "\\\\server\\share"},
            {"device_name", "Z:"},
            {"network_provider_type", {{"value", 0x00020000}, {"name", "WNNC_NET_LANMAN"}}}}},
          {"/link_info/common_path_suffix", "docs\\a.txt"}}},
        {"a network share with Unicode names",
         LinkBuilder().LinkInfo(LinkInfoOf({std::nullopt, std::nullopt, NetworkLink(3, "\\\\s\\t", "Y:", 0x00430000, true), "", {}, {}})).Build(),
         {{"/link_info/common_network_relative_link/net_name", "\\\\s\\t(u)"},
          {"/link_info/common_network_relative_link/device_name", "Y:(u)"},
          {"/link_info/common_network_relative_link/network_provider_type/name", "WNNC_NET_GOOGLE"}}},
        {"no device, no provider type, and an unknown provider",
         LinkBuilder().LinkInfo(LinkInfoOf({std::nullopt, std::nullopt, NetworkLink(0, "\\\\s\\t", "Y:", 0x00020000), "", {}, {}})).Build(),
         {{"/link_info/common_network_relative_link/device_name", nullptr},
          {"/link_info/common_network_relative_link/network_provider_type", nullptr}}},
        {"an unknown provider type",
         LinkBuilder().LinkInfo(LinkInfoOf({std::nullopt, std::nullopt, NetworkLink(2, "\\\\s\\t", "", 0x00990000), "", {}, {}})).Build(),
         {{"/link_info/common_network_relative_link/network_provider_type", {{"value", 0x00990000}, {"name", nullptr}}}}},
        {"a VolumeID offset outside the LinkInfo",
         LinkBuilder().LinkInfo(Bytes(local).Patch(0x0C, 0xF0)).Build(),
         {{"/link_info/volume_id", nullptr}, {"/link_info/local_base_path", "C:\\test\\a.txt"}},
         {"bad_offset"}},
        {"a LinkInfo shorter than its header",
         LinkBuilder().LinkInfo(Bytes().U32(12).U32(0x1C).U32(1)).Description(u"after").Build(),
         {{"/link_info/link_info_size", 12}, {"/link_info/volume_id", nullptr}, {"/string_data/name_string", "after"}},
         {"truncated"}},
        {"a LinkInfo longer than the input",
         LinkBuilder().LinkInfo(Bytes().U32(0xFFFFFFF0).U32(0x1C)).Description(u"lost").Build(),
         {{"/link_info/link_info_size", 0xFFFFFFF0u}, {"/string_data/name_string", nullptr}},
         {"truncated", "truncated"}},
    });
}

TEST(StringDataRecord, KeepsEachStringAsCountedUpTo260Characters) {
    const Bytes ansiName = Bytes().U16(5).Text("Caf\xE9!");
    CheckRows({
        {"five Unicode strings in flag order",
         LinkBuilder().Description(u"d").RelativePath(u"r").WorkingDir(u"w").Arguments(u"a").IconLocation(u"i").Build(),
         {{"/string_data",
           {{"name_string", "d"}, {"relative_path", "r"}, {"working_dir", "w"}, {"command_line_arguments", "a"}, {"icon_location", "i"}}}}},
        {"what JSON must escape, and a zero unit inside the count",
         LinkBuilder().Arguments(std::u16string(u"\"q\" \\ \n\t\x01 \0end", 13)).Build(),
         {{"/string_data/command_line_arguments", std::string("\"q\" \\ \n\t\x01 \0end", 13)}},
         {"deceptive_characters", "hidden_arguments"}},
        {"a surrogate pair", LinkBuilder().Description(u"\U0001F600").Build(), {{"/string_data/name_string", "\U0001F600"}}},
        {"an unpaired high surrogate", LinkBuilder().Description(u"a\xD800" u"b").Build(),
         {{"/string_data/name_string", "a\xEF\xBF\xBD" "b"}}, {"unpaired_surrogate"}},
        {"an unpaired low surrogate at the end", LinkBuilder().Description(u"a\xDC00").Build(),
         {{"/string_data/name_string", "a\xEF\xBF\xBD"}}, {"unpaired_surrogate"}},
        {"an ANSI string in CP1252", LinkBuilder().Flags(sr::kHasName).Tail(ansiName).Build(),
         {{"/string_data/name_string", "Caf\u00e9!"}}},
        {"the same bytes in CP1251", LinkBuilder().Flags(sr::kHasName).Tail(ansiName).Build(),
         {{"/string_data/name_string", "Caf\u0439!"}}, {}, "CP1251"},
        {"an ANSI string in CP932, whose count counts bytes",
         LinkBuilder().Flags(sr::kHasName | sr::kHasWorkingDir).Tail(Bytes().U16(4).Text("\x82\xA0\x8A\xBF").U16(1).Text("W")).Build(),
         {{"/string_data/name_string", "\u3042\u6f22"}, {"/string_data/working_dir", "W"}}, {}, "CP932"},
        {"a byte CP1252 does not decode", LinkBuilder().Flags(sr::kHasName).Tail(Bytes().U16(3).Text("a\x81z")).Build(),
         {{"/string_data/name_string", "a\xEF\xBF\xBDz"}}, {"undecodable_text"}},
        {"a CP932 lead byte cut short by its count",
         LinkBuilder().Flags(sr::kHasName).Tail(Bytes().U16(2).Text("a\x82")).Build(),
         {{"/string_data/name_string", "a\xEF\xBF\xBD"}}, {"undecodable_text"}, "CP932"},
        {"a string cut short by the input keeps what is there",
         LinkBuilder().Flags(sr::kIsUnicode | sr::kHasName | sr::kHasWorkingDir).Tail(Bytes().U16(10).Units(u"abc")).Build(),
         {{"/string_data/name_string", "abc"}, {"/string_data/working_dir", nullptr}},
         {"truncated"}},
        {"a string whose count the input cuts",
         LinkBuilder().Flags(sr::kIsUnicode | sr::kHasName).Tail(Bytes{0x05}).Build(),
         {{"/string_data/name_string", nullptr}},
         {"truncated"}},
    });
}

Bytes ConsoleBody() {
    Bytes body;
    body.U16(0x07).U16(0xF5).U16(120).U16(3000).U16(120).U16(50).U16(0xFFFF).U16(10);
    body.U32(0).U32(0).U32(0x000C0000).U32(0x36).U32(400);
    Bytes face = Bytes().Units(u"Consolas");
    body.Append(face.Zeros(64 - face.Size()));
    body.U32(25).U32(0).U32(1).U32(1).U32(0).U32(50).U32(4).U32(0);
    for (std::uint32_t i = 0; i < 16; ++i) {
        body.U32(i * 0x111111);
    }
    return body;
}

TEST(ExtraDataRecord, DecodesEveryBlockBySignature) {
    const auto withBlocks = [](std::initializer_list<Bytes> blocks) {
        Bytes tail;
        for (const Bytes& block : blocks) {
            tail.Append(block);
        }
        // With the flags that announce the blocks that have one.
        return LinkBuilder().MoreFlags(sr::kHasExpString | sr::kHasDarwinId | sr::kHasExpIcon | sr::kRunWithShimLayer)
            .Tail(tail.Append(TerminalBlock())).Build();
    };
    const std::string droid = "{7BCD46EC-7F22-11DD-9499-00137216874A}";
    const std::string volume = "{94C77840-FA47-46C7-B356-5C2DC6B6D115}";
    const auto trackerWithBirth = [&](const std::string& birth) {
        return Bytes().U32(0x58).U32(0).Text("chris-xps").Zeros(7).Append(GuidBytes(volume)).Append(GuidBytes(droid))
            .Append(GuidBytes(volume)).Append(GuidBytes(birth));
    };
    const Bytes tracker = trackerWithBirth(droid);
    // The vendor of 00:13:72 when ieee-data is installed, else null.
    const std::optional<std::string> dell = shell_link::detail::InstalledMacVendors().Vendor({0x00, 0x13, 0x72, 0x16, 0x87, 0x4A});
    const json dellVendor = dell ? json(*dell) : json(nullptr);
    const Bytes integerNamed = Storage("{B725F130-47EF-101A-A5F1-02608C9EEBAC}",
        Bytes().Append(PropertyValue(10, 0x1F, Bytes().U32(6).Units(u"a.txt").U16(0).U16(0)))
               .Append(PropertyValue(15, 0x40, U64(0x01C91515F2EEE9D0)))
               .Append(PropertyValue(3, 0x13, Bytes().U32(7)))
               .Append(PropertyValue(4, 0x02, Bytes().U16(0xFFFB).U16(0)))
               .Append(PropertyValue(5, 0x0B, Bytes().U16(0xFFFF).U16(0)))
               .Append(PropertyValue(6, 0x06, U64(123450000)))
               .Append(PropertyValue(7, 0x48, GuidBytes(kMyComputer)))
               .Append(PropertyValue(8, 0x101F, Bytes().U32(0)))
               .Append(PropertyValue(9, 0x1E, Bytes().U32(4).Text("abc").U8(0))));
    const Bytes name = Bytes().Units(u"MyProp").U16(0);
    const Bytes stringNamed = Storage("{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
        Bytes().U32(static_cast<std::uint32_t>(9 + name.Size() + 4 + 8)).U32(static_cast<std::uint32_t>(name.Size())).U8(0)
               .Append(name).U16(0x1F).U16(0).U32(2).Units(u"v").U16(0));
    CheckRows({
        {"environment, icon environment and Darwin blocks",
         withBlocks({Block(sr::kEnvironmentVariableDataBlock, AnsiAndUnicodeBody("%windir%\\a.exe", u"%windir%\\\u00e4.exe")),
                     Block(sr::kIconEnvironmentDataBlock, AnsiAndUnicodeBody("%windir%\\i.ico", u"")),
                     Block(sr::kDarwinDataBlock, AnsiAndUnicodeBody("w_1^VX!!", u"w_1^VX!!"))}),
         {{"/extra_data/0",
           {{"offset", 76}, {"block_size", 0x314}, {"block_signature", "0xA0000001"}, {"block_name", "EnvironmentVariableDataBlock"},
            {"target_ansi", "%windir%\\a.exe"}, {"target_unicode", "%windir%\\\u00e4.exe"}}},
          {"/extra_data/1/block_name", "IconEnvironmentDataBlock"},
          {"/extra_data/1/target_unicode", ""},
          {"/extra_data/2", {{"offset", 76 + 2 * 0x314}, {"block_size", 0x314}, {"block_signature", "0xA0000006"},
                             {"block_name", "DarwinDataBlock"}, {"darwin_data_ansi", "w_1^VX!!"}, {"darwin_data_unicode", "w_1^VX!!"}}}}},
        {"the tracker of the format's sample: a version-1 UUID gives a MAC address and a time",
         withBlocks({Block(sr::kTrackerDataBlock, tracker)}),
         {{"/extra_data/0/version", 0},
          {"/extra_data/0/machine_id", "chris-xps"},
          {"/extra_data/0/droid_volume_id", volume},
          {"/extra_data/0/droid_file_id", droid},
          {"/extra_data/0/droid_birth_file_id", droid},
          {"/extra_data/0/mac_address", "00:13:72:16:87:4A"},
          {"/extra_data/0/droid_file_time", "2008-09-10T10:23:17.3649132Z"},
          {"/extra_data/0/mac_vendor", dellVendor},
          {"/extra_data/0/mac_kind", "universal"},
          {"/extra_data/0/birth_mac_address", "00:13:72:16:87:4A"},
          {"/extra_data/0/birth_droid_file_time", "2008-09-10T10:23:17.3649132Z"},
          {"/extra_data/0/birth_mac_vendor", dellVendor},
          {"/extra_data/0/birth_mac_kind", "universal"}}},
        {"a tracker whose birth identifier was made on another machine, a virtual one",
         withBlocks({Block(sr::kTrackerDataBlock, trackerWithBirth("{0F1E2D3C-1234-11E0-8000-525400ABCDEF}"))}),
         {{"/extra_data/0/mac_address", "00:13:72:16:87:4A"},
          {"/extra_data/0/birth_mac_address", "52:54:00:AB:CD:EF"},
          {"/extra_data/0/birth_droid_file_time", "2010-12-28T03:39:22.2350140Z"},
          {"/extra_data/0/birth_mac_vendor", nullptr},
          {"/extra_data/0/birth_mac_kind", "virtual_machine"}}},
        {"a tracker whose birth identifier's time lies before 1601",
         withBlocks({Block(sr::kTrackerDataBlock, trackerWithBirth("{00000000-0000-1000-8000-01005E0000FB}"))}),
         {{"/extra_data/0/droid_file_time", "2008-09-10T10:23:17.3649132Z"},
          {"/extra_data/0/birth_mac_address", "01:00:5E:00:00:FB"},
          {"/extra_data/0/birth_droid_file_time", nullptr},
          {"/extra_data/0/birth_mac_vendor", nullptr},
          {"/extra_data/0/birth_mac_kind", "multicast"}},
         {"invalid_time"}},
        {"a tracker whose file identifier is a random UUID",
         withBlocks({Block(sr::kTrackerDataBlock, Bytes().U32(0x58).U32(0).Zeros(16).Append(GuidBytes(volume)).Append(GuidBytes(volume))
                                                       .Zeros(32))}),
         {{"/extra_data/0/machine_id", ""}, {"/extra_data/0/mac_address", nullptr}, {"/extra_data/0/droid_file_time", nullptr},
          {"/extra_data/0/mac_vendor", nullptr}, {"/extra_data/0/mac_kind", nullptr}, {"/extra_data/0/birth_mac_address", nullptr},
          {"/extra_data/0/birth_droid_file_time", nullptr}, {"/extra_data/0/birth_mac_vendor", nullptr},
          {"/extra_data/0/birth_mac_kind", nullptr}}},
        {"console, console code page, special and known folder, and shim blocks",
         withBlocks({Block(sr::kConsoleDataBlock, ConsoleBody()), Block(sr::kConsoleFeDataBlock, Bytes().U32(936)),
                     Block(sr::kSpecialFolderDataBlock, Bytes().U32(37).U32(221)),
                     Block(sr::kKnownFolderDataBlock, GuidBytes("{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}").U32(221)),
                     Block(sr::kShimDataBlock, Bytes().Units(u"WinXPSp3").Zeros(112))}),
         {{"/extra_data/0/fill_attributes", 7},
          {"/extra_data/0/popup_fill_attributes", 0xF5},
          {"/extra_data/0/screen_buffer_size_y", 3000},
          {"/extra_data/0/window_origin_x", -1},
          {"/extra_data/0/font_size", 0x000C0000},
          {"/extra_data/0/font_weight", 400},
          {"/extra_data/0/face_name", "Consolas"},
          {"/extra_data/0/quick_edit", 1},
          {"/extra_data/0/number_of_history_buffers", 4},
          {"/extra_data/0/color_table/15", 15 * 0x111111},
          {"/extra_data/1", {{"offset", 76 + 0xCC}, {"block_size", 12}, {"block_signature", "0xA0000004"},
                             {"block_name", "ConsoleFEDataBlock"}, {"code_page", 936}}},
          {"/extra_data/2/special_folder_id", 37},
          {"/extra_data/2/special_folder_name", "CSIDL_SYSTEM"},
          {"/extra_data/2/id_list_offset", 221},
          {"/extra_data/3/known_folder_id", "{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}"},
          {"/extra_data/3/known_folder_name", "System32"},
          {"/extra_data/4/layer_name", "WinXPSp3"}}},
        {"property storages with integer and string names",
         withBlocks({Block(sr::kPropertyStoreDataBlock, Bytes().Append(integerNamed).Append(stringNamed).U32(0))}),
         {{"/extra_data/0/property_storages/0/format_id", "{B725F130-47EF-101A-A5F1-02608C9EEBAC}"},
          {"/extra_data/0/property_storages/0/properties/0", {{"id", 10}, {"name", nullptr}, {"canonical_name", "System.ItemNameDisplay"}, {"type", "VT_LPWSTR"}, {"value", "a.txt"}}},
          {"/extra_data/0/property_storages/0/properties/1/value", "2008-09-12T20:27:17.1010000Z"},
          {"/extra_data/0/property_storages/0/properties/2/value", 7},
          {"/extra_data/0/property_storages/0/properties/3/value", -5},
          {"/extra_data/0/property_storages/0/properties/4/value", true},
          {"/extra_data/0/property_storages/0/properties/5/value", 12345.0},
          {"/extra_data/0/property_storages/0/properties/6/value", kMyComputer},
          {"/extra_data/0/property_storages/0/properties/7", {{"id", 8}, {"name", nullptr}, {"canonical_name", nullptr}, {"type", "VT_VECTOR|VT_LPWSTR"}, {"value", nullptr}}},
          {"/extra_data/0/property_storages/0/properties/8/value", "abc"},
          {"/extra_data/0/property_storages/1/properties/0", {{"id", nullptr}, {"name", "MyProp"}, {"canonical_name", nullptr}, {"type", "VT_LPWSTR"}, {"value", "v"}}}}},
        {"an ID list block for Vista and later",
         withBlocks({Block(sr::kVistaAndAboveIdListDataBlock, CDriveItemList())}),
         {{"/extra_data/0/items/0/offset", 84}, {"/extra_data/0/items/1/name", "C:\\"}}},
        {"a signature the format does not define",
         withBlocks({Block(0xA2000001, Bytes().Text("\"%COMSPEC%\"").Zeros(100))}),
         {{"/extra_data/0/block_name", "UnknownDataBlock"},
          {"/extra_data/0/block_signature", "0xA2000001"},
          {"/extra_data/0/data_prefix", "2225434f4d5350454325220000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"}},
         {"unknown_block"}},
        {"bytes after the terminal block",
         LinkBuilder().Tail(Bytes(kTerminal).Text("MZ\x90")).Build(),
         {{"/extra_data", json::array()}, {"/trailing_data", {{"offset", 80}, {"size", 3}}}},
         {"trailing_data"}},
        {"a terminal block and nothing after it", LinkBuilder().Tail(kTerminal).Build(), {{"/trailing_data", nullptr}}},
        {"no ExtraData at all: the grammar allows it", LinkBuilder().Description(u"d").Build(), {{"/extra_data", json::array()}}},
        {"a terminal block cut short", LinkBuilder().Tail(Bytes{0, 0}).Build(), {{"/trailing_data", nullptr}}, {"truncated"}},
        {"a fixed-size block shorter than it must be keeps what it holds",
         withBlocks({BlockClaiming(16, sr::kTrackerDataBlock, Bytes().U32(0x58).U32(2))}),
         {{"/extra_data/0/version", 2}, {"/extra_data/0/machine_id", nullptr}, {"/extra_data/1", nullptr}},
         {"truncated"}},
        {"a block that runs past the input",
         LinkBuilder().MoreFlags(sr::kHasExpString).Tail(BlockClaiming(0x314, sr::kEnvironmentVariableDataBlock, Bytes().Text("%TEMP%\\x"))).Build(),
         {{"/extra_data/0/target_ansi", "%TEMP%\\x"}, {"/extra_data/0/target_unicode", nullptr}, {"/trailing_data", nullptr}},
         {"truncated"}},
        {"a block too small for its size and signature ends the ExtraData",
         LinkBuilder().Tail(Bytes().U32(6).U32(0).Append(kTerminal).Text("x")).Build(),
         {{"/extra_data", json::array()}, {"/trailing_data", nullptr}},
         {"truncated"}},
    });
}

TEST(ExtraDataRecord, ListsAtMostItsLimitOfBlocksAndStillFindsTheTrailingData) {
    Bytes tail;
    for (int i = 0; i < 1030; ++i) {
        tail.Append(Block(0xA0000004, Bytes().U32(437)));
    }
    const Bytes link = LinkBuilder().Tail(tail.Append(kTerminal).Text("tail")).Build();
    const json record = Record(link);
    EXPECT_EQ(record["extra_data"].size(), 1024u);
    EXPECT_EQ(record["trailing_data"]["size"], 4);
    EXPECT_EQ(WarningCodes(record).front(), "limit_reached");  // then the repeats and the trailing data
}

// A file is read whole whatever its size, as the same bytes in memory are: around the
// storage a small file takes, and through a FIFO, whose size nothing tells in advance.
TEST(LinkFile, IsReadAsItsBytesAreInMemory) {
    const auto sameRecord = [](const std::string& path, const Bytes& link) {
        shell_link::CodePage codePage;
        shell_link::Link fromFile = shell_link::ReadLinkFile(path.c_str(), codePage);
        EXPECT_EQ(fromFile.file, path);
        fromFile.file.clear();
        fromFile.link_file.reset();  // what a file adds to the bytes' record
        std::string fileLine;
        shell_link::AppendJsonLine(fromFile, fileLine);
        return ParseRecordLine(fileLine) == Record(link);
    };
    const Bytes base = LinkBuilder().Tail(kTerminal).Build();
    for (const std::size_t size : {std::size_t{0}, base.Size(), std::size_t{8191}, std::size_t{8192}, std::size_t{8193},
                                   std::size_t{70000}}) {
        const Bytes link = size == 0 ? Bytes() : Bytes(base).Zeros(size > base.Size() ? size - base.Size() : 0);
        const TempFile file(link);
        EXPECT_TRUE(sameRecord(file.Path(), link)) << size;
    }
    const Bytes big = Bytes(base).Zeros(200000);
    const TempFile place(Bytes{});
    const std::string fifo = place.Path() + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened for writing before the reader opens it, so that the reader waits for the bytes.
    const int end = open(fifo.c_str(), O_RDWR);
    ASSERT_GE(end, 0);
    std::thread writer([end, &big] {
        for (std::size_t done = 0; done < big.Size();) {
            const ssize_t wrote = write(end, big.Begin() + done, big.Size() - done);
            if (wrote <= 0) {
                break;
            }
            done += static_cast<std::size_t>(wrote);
        }
        close(end);
    });
    EXPECT_TRUE(sameRecord(fifo, big));
    writer.join();
    unlink(fifo.c_str());
}

TEST(Warnings, AreKeptToTwentyOfEachCodeTheNextSayingHowManyMoreThereWere) {
    Bytes tail;
    for (int i = 0; i < 150; ++i) {
        tail.Append(BlockClaiming(12, sr::kTrackerDataBlock, Bytes().U32(0)));  // each one too short
    }
    const json record = Record(LinkBuilder().Tail(tail.Append(kTerminal)).Build());
    // 150 blocks too short and 149 repeats of their signature: 20 of each, then one
    // too_many_warnings each, where the 21st stood.
    std::vector<std::string> expected(20, "truncated");
    expected.push_back("too_many_warnings");
    expected.insert(expected.end(), 20, "duplicate_block");
    expected.push_back("too_many_warnings");
    EXPECT_EQ(WarningCodes(record), expected);
    EXPECT_EQ(record["warnings"][20]["message"], "130 more truncated warnings were dropped: a record keeps 20 of one code");
    EXPECT_EQ(record["warnings"][20]["category"], "damage");
    EXPECT_EQ(record["warnings"][41]["message"],
              "129 more duplicate_block warnings were dropped: a record keeps 20 of one code");
    EXPECT_EQ(record["warnings"][21]["category"], "suspicious");
}

// A link with every section, cut at every length: each cut keeps one valid record inside
// the input, and says it was cut unless it falls where a section may end the file.
TEST(Truncation, AtEveryLengthIsReadAsFarAsItGoesAndSaysSo) {
    const Bytes blocks = Bytes().Append(Block(sr::kTrackerDataBlock, Bytes().U32(0x58).U32(0).Zeros(80)))
                             .Append(Block(sr::kPropertyStoreDataBlock, Storage("{B725F130-47EF-101A-A5F1-02608C9EEBAC}",
                                 PropertyValue(10, 0x1F, Bytes().U32(3).Units(u"ab").U16(0).U16(0))).U32(0)));
    const Bytes strings = LinkBuilder().IdList(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x32, "A.TXT", u"a.txt")}))
                              .LinkInfo(LinkInfoOf({VolumeId(3, 1, "label"), "C:\\a.txt", NetworkLink(3, "\\\\s\\t", "Z:", 0x20000), "", {}, {}}))
                              .Description(u"description").Arguments(u"--arguments").Build();
    const Bytes link = Bytes(strings).Append(blocks).Append(kTerminal);
    // Where the input may end without a warning: after the strings, and after each block.
    const std::set<std::size_t> ends = {strings.Size(), strings.Size() + 96, strings.Size() + blocks.Size(), link.Size()};
    for (std::size_t length = 1; length <= link.Size(); ++length) {
        SCOPED_TRACE("cut at " + std::to_string(length));
        const Bytes cut = link.Prefix(length);
        const json record = Record(cut);
        ASSERT_TRUE(record.is_object());
        EXPECT_TRUE(StaysInsideTheInput(record, length));
        const std::vector<std::string> codes = WarningCodes(record);
        const bool saysTruncated = std::find(codes.begin(), codes.end(), "truncated") != codes.end();
        EXPECT_EQ(saysTruncated, ends.count(length) == 0);
    }
}

}  // namespace
