// SPDX-License-Identifier: MIT
// The shell items Windows' namespace extensions write, a row a kind and a row for each
// check that turns one away (record_rows.h): what each item decodes to, and the path its
// list gives. An item whose checks fail is unknown, or read as the kind its class falls
// back to, and contributes nothing to the path. Then every kind cut short at every
// length, in an ID list and in a Vista ID list block.
#include <gtest/gtest.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_json.h>

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "format/layout.h"
#include "link_builder.h"
#include "record_rows.h"
#include "records.h"
#include "sample_links.h"
#include "shell_item_builders.h"
#include "structure_builders.h"

namespace {

using nlohmann::json;

constexpr char kUsersFiles[] = "{59031A47-3F72-44A7-89C5-5595FE6B30EE}";
constexpr char kLibraries[] = "{031E4825-7B94-4DC3-B131-E946B44C8DD5}";
constexpr char kControlPanel[] = "{26EE0668-A00A-44D7-9371-BEB064C98683}";
constexpr char kAllControlPanelItems[] = "{21EC2020-3AEA-1069-A2DD-08002B30309D}";
constexpr char kInternet[] = "{871C5380-42A0-1069-A2EA-08002B30309D}";
constexpr char kApplications[] = "{4234D49B-0245-4DF3-B780-3893943456E1}";
constexpr char kAllTasks[] = "{ED7BA470-8E54-465E-825C-99712043E01C}";
constexpr char kComputersAndDevices[] = "{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}";
constexpr char kGamesExplorer[] = "{ED228FDF-9EA8-4870-83B1-96B02CFE0D52}";
constexpr char kSearchFolder[] = "{04731B67-D933-450A-90E6-4ACD2E9408FE}";
constexpr char kDesktop[] = "{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}";
constexpr char kDownloads[] = "{374DE290-123F-4565-9164-39C4925E467B}";
constexpr char kDocuments[] = "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}";
constexpr char kPicturesLibrary[] = "{A990AE9F-A03B-4E80-94BC-9912D7504104}";
constexpr char kThisPcPictures[] = "{3ADD1653-EB32-4CB0-BBD7-DFA0ABB5ACCA}";
constexpr char kDisplay[] = "{C555438B-3C23-4769-A71F-B6D3D9B6053A}";
constexpr char kMouse[] = "{6C8EEC18-8D75-41B2-A177-8831D59D2D50}";
constexpr char kFolderContent[] = "{27E2E392-A111-48E0-AB0C-E17705A05F85}";
constexpr char kSpiderSolitaire[] = "{AFA7FF39-1DDF-4F70-A2D5-23FCFFF02E5F}";
// In none of the name tables.
constexpr char kUnnamed[] = "{0A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9}";

// Property sets: names (ParsingName 24, ItemType 11), the item's display name (10), the
// application's ID (5) and the tile's long display name (11).
constexpr char kShellDetails[] = "{28636AA6-953D-11D2-B5D6-00C04FD918D0}";
constexpr char kStorage[] = "{B725F130-47EF-101A-A5F1-02608C9EEBAC}";
constexpr char kAppUserModel[] = "{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}";
constexpr char kTile[] = "{86D40B4D-9069-443C-819A-2A54090DCCEC}";

constexpr std::uint32_t kKnownFolderView = 0x23FEBBEE;
constexpr std::uint32_t kLibraryEntryView = 0x10141981;
constexpr std::uint32_t kNetworkView = 0x3B93AFBB;
constexpr std::uint32_t kApplication = 0x53505041;  // "APPS"
constexpr std::uint32_t kUnlistedView = 0x23018B33;

const std::string kPath = "/link_target_id_list/path";

std::string ItemAt(int index, const std::string& field) {
    return "/link_target_id_list/items/" + std::to_string(index) + "/" + field;
}

Bytes ListLink(std::initializer_list<Bytes> items) { return LinkBuilder().IdList(ItemList(items)).Build(); }

Bytes DisplayName(const std::u16string& name) { return Storage(kStorage, TextProperty(10, name)); }

// A library entry's 32-byte identifier, as Windows writes it, and its store's names.
Bytes LibraryEntry(const std::u16string& parsingName, const std::u16string& displayName) {
    const Bytes store = Storage(kShellDetails, TextProperty(24, parsingName)).Append(DisplayName(displayName));
    return PropertyViewItem(kLibraryEntryView, Bytes{0, 0, 0, 0x60}.Zeros(28), store);
}

Bytes NetworkServer(const std::u16string& server) { return PropertyViewItem(kNetworkView, Bytes().U32(0), DisplayName(server)); }

// The unlisted signature of the All Tasks folder's items: a GUID, the Control Panel
// item's GUID and 1 as the identifier.
Bytes TaskItem(const std::u16string& name) {
    const Bytes identifier = GuidBytes("{4DE175B5-44AB-4397-9E01-38E9DE4F0FB1}").Append(GuidBytes(kMouse)).U32(1);
    return PropertyViewItem(kUnlistedView, identifier, DisplayName(name));
}

Bytes ApplicationItem(const Bytes& storages) { return PropertyViewItem(kApplication, Bytes().U32(3).U32(1), storages); }

const std::string kControlPanelId = "windows.immersivecontrolpanel_cw5n1h2txyewy!microsoft.windows.immersivecontrolpanel";

// A 0x1F delegate of the Search Folder, whose inner data is a users property view's
// (signature 0x23A3DFD5, a 4-byte identifier, no store).
Bytes SearchFolderDelegate() { return DelegateItem(0x1F, Bytes().U32(0x23A3DFD5).U16(0).U16(4).U32(0).U16(0), kSearchFolder); }

Bytes ImDisk() { return AppletItem("C:\\WINDOWS\\System32\\imdisk.cpl", "ImDisk Virtual Disk Driver", "ImDisk Virtual Disk Driver"); }
const std::u16string kMainCpl = u"C:\\Windows\\System32\\main.cpl";
Bytes MouseApplet() { return AppletItem(kMainCpl, u"Mouse", u"Customize your mouse settings."); }

Bytes Phone() { return PortableDevicesItem(u"Schamanamakizhamanu", u"\\\\?\\usb#vid_12d1&pid_107e&mi_00"); }
Bytes InternalStorage() { return MtpVolumeItem(u"Internal storage", u"SID-{10001,,116775714816}", u"Generic hierarchical"); }
constexpr std::uint64_t kSeptember2019 = 132119171880000000;  // 2019-09-02T16:59:48Z
Bytes Uxx() { return MtpFileEntryItem(u".uxx", u"{00000015-0001-0001-0000-000000000000}", kSeptember2019, kFolderContent); }

const Bytes kCfsf = CfsfItem("APPDATA", u"AppData");
const Bytes kLocal = FileEntryWithLongName(0x31, "Local", u"Local");
const Bytes kUri = UriItem(u"http://go.microsoft.com/fwlink/?LinkId=63435");

TEST(ShellItems, DecodeEachKindAndTurnAwayWhatItsChecksRuleOut) {
    const Bytes cfsfAlone = CfsfItem("AppData");
    const Bytes searchFolder = SearchFolderDelegate();
    const Bytes usersFiles = UsersFilesItem();
    const Bytes imDisk = ImDisk();
    const Bytes mouseApplet = MouseApplet();
    const Bytes view = TaskItem(u"Mouse");
    const Bytes volume = InternalStorage();
    const Bytes file = Uxx();
    // The ANSI applet's name starts after "C:\WINDOWS\System32\imdisk.cpl" and its terminator.
    const std::size_t imDiskNameAt = 0x0C + 31;
    CheckRows({
        // Delegates.
        {"a CFSF delegate: the wrapped directory's fields, and its long name from the 0xBEEF0004 block after the frame",
         ListLink({RootFolderItem(kUsersFiles), kCfsf, kLocal}),
         {{ItemAt(1, "kind"), "delegate"},
          {ItemAt(1, "item_id_size"), kCfsf.Size()},
          {ItemAt(1, "delegate_id"), "{5E591A74-DF96-48D3-8D67-1733BCEE28BA}"},
          {ItemAt(1, "item_class_id"), "{DFFACDC5-679F-4156-8947-C5C76BC0B67F}"},
          {ItemAt(1, "short_name"), "APPDATA"},
          {ItemAt(1, "file_size"), 0x1234},
          {ItemAt(1, "modification_time"), "2008-09-12T20:27:18"},
          {ItemAt(1, "file_attributes/names"), {"FILE_ATTRIBUTE_DIRECTORY"}},
          {ItemAt(1, "long_name"), "AppData"},
          {ItemAt(1, "creation_time"), "2008-09-12T20:27:10"},
          {ItemAt(1, "mft_entry"), 0x1E03},
          {ItemAt(0, "name"), "Users Files"},
          {kPath, "Users Files\\AppData\\Local"}}},
        {"a CFSF delegate without a block: its primary name",
         ListLink({RootFolderItem(kUsersFiles), cfsfAlone}),
         {{ItemAt(1, "kind"), "delegate"}, {ItemAt(1, "short_name"), "AppData"}, {ItemAt(1, "long_name"), nullptr},
          {kPath, "Users Files\\AppData"}}},
        {"a CFSF delegate whose inner data's size is one too large",
         ListLink({RootFolderItem(kUsersFiles), AddToU16(kCfsf, 4, 1), kLocal}),
         {{ItemAt(1, "kind"), "unknown"}, {ItemAt(2, "kind"), "file_entry"}, {kPath, "Users Files\\Local"}}},
        {"a CFSF delegate whose delegate ID has one byte changed",
         ListLink({RootFolderItem(kUsersFiles), Flipped(kCfsf, DelegateIdAt(kCfsf))}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate cut inside its delegate folder's GUID",
         ListLink({RootFolderItem(kUsersFiles), Resized(kCfsf, DelegateIdAt(kCfsf) + 31)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate whose wrapped entry runs past the inner data",
         ListLink({RootFolderItem(kUsersFiles), AddToU16(kCfsf, kCfsfEntryAt, 3)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate wrapping a volume, not a file entry",
         ListLink({RootFolderItem(kUsersFiles), Bytes(kCfsf).Patch(kCfsfEntryAt + 2, 0x2F)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate whose wrapped primary name has no terminator",
         ListLink({RootFolderItem(kUsersFiles), Bytes(kCfsf).Patch(kCfsfEntryAt + 0x0E + 7, 'x')}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate whose wrapped entry is too small to hold a name",
         ListLink({RootFolderItem(kUsersFiles), WithU16(kCfsf, kCfsfEntryAt, 0x0E)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a CFSF delegate whose inner data is too small to hold an entry's size",
         ListLink({RootFolderItem(kUsersFiles), DelegateItem(0x74, Bytes().Text("CFSF").U8(0), "{DFFACDC5-679F-4156-8947-C5C76BC0B67F}")}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a delegate frame of class 0x1F",
         ListLink({searchFolder}),
         {{ItemAt(0, "kind"), "delegate"},
          {ItemAt(0, "class_type_indicator"), 0x1F},
          {ItemAt(0, "item_class_id"), kSearchFolder},
          {ItemAt(0, "short_name"), nullptr},
          {kPath, "Search Folder"}}},
        {"a class 0x1F item whose delegate ID has one byte changed is a root folder",
         ListLink({Flipped(searchFolder, DelegateIdAt(searchFolder))}),
         {{ItemAt(0, "kind"), "root_folder"},
          {ItemAt(0, "root_folder_id"), "{DFD5000E-23A3-0000-0400-000000000000}"},
          {ItemAt(0, "name"), nullptr},
          {kPath, "::{DFD5000E-23A3-0000-0400-000000000000}"}}},

        // Volume items of class 0x2E.
        {"a shell folder by its GUID",
         ListLink({RootItem(), ShellFolderItem(kDesktop), FileEntryWithLongName(0x32, "HASHER~1.XLS", u"HasherResults.xlsx")}),
         {{ItemAt(1, "kind"), "volume"},
          {ItemAt(1, "name"), nullptr},
          {ItemAt(1, "shell_folder_id"), kDesktop},
          {ItemAt(1, "shell_folder_name"), "Desktop"},
          {ItemAt(1, "device_name"), nullptr},
          {kPath, "My Computer\\Desktop\\HasherResults.xlsx"}}},
        {"a shell folder with a 0xBEEF0026 block after its GUID",
         ListLink({RootItem(), WithBlock(ShellFolderItem(kDownloads), 0xBEEF0026, 1, Bytes().U32(0x11).Zeros(24))}),
         {{ItemAt(1, "shell_folder_name"), "Downloads"}, {kPath, "My Computer\\Downloads"}}},
        {"a shell folder whose four bytes after the GUID are no block: the GUID still counts",
         ListLink({RootItem(), Resized(ShellFolderItem(kDesktop), 24)}),
         {{ItemAt(1, "shell_folder_name"), "Desktop"}, {kPath, "My Computer\\Desktop"}}},
        {"a shell folder the tables do not name",
         ListLink({RootItem(), ShellFolderItem(kUnnamed)}),
         {{ItemAt(1, "shell_folder_id"), kUnnamed},
          {ItemAt(1, "shell_folder_name"), nullptr},
          {kPath, std::string("My Computer\\::") + kUnnamed}}},
        {"a shell folder item too short for its GUID",
         ListLink({RootItem(), Resized(ShellFolderItem(kDesktop), 19)}),
         {{ItemAt(1, "kind"), "volume"}, {ItemAt(1, "shell_folder_id"), nullptr}, {kPath, "My Computer"}}},
        {"the Users Files folder in a delegate frame",
         ListLink({RootItem(), usersFiles, FileEntryWithLongName(0x31, "MYPICT~1", u"My Pictures")}),
         {{ItemAt(1, "kind"), "volume"},
          {ItemAt(1, "shell_folder_id"), kUsersFiles},
          {ItemAt(1, "shell_folder_name"), "Users Files"},
          {kPath, "My Computer\\Users Files\\My Pictures"}}},
        {"a delegate frame of class 0x2E whose delegate ID has one byte changed: a GUID at 4",
         ListLink({RootItem(), Flipped(usersFiles, DelegateIdAt(usersFiles) + 15)}),
         {{ItemAt(1, "kind"), "volume"},
          {ItemAt(1, "shell_folder_id"), "{0000000C-0000-0000-0000-00000000741A}"},
          {ItemAt(1, "shell_folder_name"), nullptr},
          {kPath, "My Computer\\::{0000000C-0000-0000-0000-00000000741A}"}}},
        {"a class 0x2A volume holds a drive name without bit 0x01",
         ListLink({RootItem(), Bytes(VolumeItem("J:\\")).Patch(2, 0x2A)}),
         {{ItemAt(1, "name"), "J:\\"}, {kPath, "J:\\"}}},

        // Media devices.
        {"a Portable Devices delegate names the device, then a storage and a folder on it",
         ListLink({RootItem(), Phone(), volume, file}),
         {{ItemAt(1, "kind"), "volume"},
          {ItemAt(1, "shell_folder_id"), "{35786D3C-B075-49B9-88DD-029876E11C01}"},
          {ItemAt(1, "shell_folder_name"), "Portable Devices"},
          {ItemAt(1, "device_name"), "Schamanamakizhamanu"},
          {ItemAt(2, "kind"), "mtp_volume"},
          {ItemAt(2, "name"), "Internal storage"},
          {ItemAt(2, "identifier"), "SID-{10001,,116775714816}"},
          {ItemAt(2, "file_system"), "Generic hierarchical"},
          {ItemAt(3, "kind"), "mtp_file_entry"},
          {ItemAt(3, "name"), ".uxx"},
          {ItemAt(3, "object_id"), "{00000015-0001-0001-0000-000000000000}"},
          {ItemAt(3, "creation_time"), "2019-09-02T16:59:48.0000000Z"},
          {ItemAt(3, "content_type"), kFolderContent},
          {kPath, "My Computer\\Schamanamakizhamanu\\Internal storage\\.uxx"}}},
        {"a device name whose length is one too large: the folder's name instead",
         ListLink({RootItem(), AddToU16(Phone(), kDeviceNameLengthAt, 1)}),
         {{ItemAt(1, "device_name"), nullptr}, {ItemAt(1, "shell_folder_name"), "Portable Devices"},
          {kPath, "My Computer\\Portable Devices"}}},
        {"a media storage whose second text has no length: no warning about its first, which is not decoded",
         ListLink({RootItem(), WithU16(MtpVolumeItem(u"a\xD800", u"id", u"fs"), 0x2A, 0)}),
         {{ItemAt(1, "kind"), "unknown"}}},
        {"a media storage's name without its terminator",
         ListLink({RootItem(), Phone(), Bytes(volume).Patch(kMtpVolumeTextsAt + 2 * 16, '!')}),
         {{ItemAt(2, "kind"), "unknown"}, {kPath, "My Computer\\Schamanamakizhamanu"}}},
        {"a media storage's name of no characters, not even its terminator",
         ListLink({RootItem(), Phone(), WithU16(volume, kMtpVolumeLengthsAt, 0)}),
         {{ItemAt(2, "kind"), "unknown"}, {kPath, "My Computer\\Schamanamakizhamanu"}}},
        {"a media file whose data size runs past the item",
         ListLink({RootItem(), Phone(), volume, AddToU16(file, 4, 1)}),
         {{ItemAt(3, "kind"), "unknown"}, {kPath, "My Computer\\Schamanamakizhamanu\\Internal storage"}}},
        {"a media file whose object ID runs past its data",
         ListLink({RootItem(), Phone(), volume, WithU16(file, 0x46, 0x7FFF)}),
         {{ItemAt(3, "kind"), "unknown"}, {kPath, "My Computer\\Schamanamakizhamanu\\Internal storage"}}},

        // URIs.
        {"a UTF-16 URI is the whole path",
         ListLink({RootFolderItem(kInternet), kUri}),
         {{ItemAt(1, "kind"), "uri"}, {ItemAt(1, "uri"), "http://go.microsoft.com/fwlink/?LinkId=63435"},
          {kPath, "http://go.microsoft.com/fwlink/?LinkId=63435"}}},
        {"a code-page URI",
         ListLink({RootFolderItem(kInternet), UriItem("ftp://ftp.example.org/pub/")}),
         {{ItemAt(1, "kind"), "uri"}, {ItemAt(1, "uri"), "ftp://ftp.example.org/pub/"}, {kPath, "ftp://ftp.example.org/pub/"}}},
        {"a URI after named items starts the path afresh",
         ListLink({RootItem(), ShellFolderItem(kDesktop), UriItem(u"https://example.org/a?b=c")}),
         {{kPath, "https://example.org/a?b=c"}}},
        {"a URI without its terminator",
         ListLink({RootFolderItem(kInternet), Resized(kUri, kUri.Size() - 4)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Internet Explorer"}}},
        {"a URI whose data size runs past the item",
         ListLink({RootFolderItem(kInternet), WithU16(kUri, 4, static_cast<std::uint16_t>(kUri.Size() - 5))}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Internet Explorer"}}},

        // Control Panel.
        {"a category, then an item in it",
         ListLink({RootFolderItem(kControlPanel), ControlPanelCategoryItem(1), ControlPanelItem(kDisplay)}),
         {{ItemAt(1, "kind"), "control_panel_category"},
          {ItemAt(1, "category"), 1},
          {ItemAt(1, "name"), "Appearance and Personalization"},
          {ItemAt(2, "kind"), "control_panel_item"},
          {ItemAt(2, "control_panel_id"), kDisplay},
          {ItemAt(2, "name"), "Display"},
          {ItemAt(2, "canonical_name"), "Microsoft.Display"},
          {kPath, "Control Panel\\Appearance and Personalization\\Display"}}},
        {"a Control Panel item whose byte 3 is not 0x80",
         ListLink({RootFolderItem(kControlPanel), ControlPanelItem(kMouse, 0x00)}),
         {{ItemAt(1, "kind"), "control_panel_item"}, {ItemAt(1, "name"), "Mouse"}, {kPath, "Control Panel\\Mouse"}}},
        {"a Control Panel item the tables do not name",
         ListLink({RootFolderItem(kControlPanel), ControlPanelItem(kUnnamed)}),
         {{ItemAt(1, "name"), nullptr}, {ItemAt(1, "canonical_name"), nullptr},
          {kPath, std::string("Control Panel\\::") + kUnnamed}}},
        {"a Control Panel item of 29 bytes",
         ListLink({RootFolderItem(kControlPanel), ControlPanelCategoryItem(1), Resized(ControlPanelItem(kDisplay), 29)}),
         {{ItemAt(2, "kind"), "unknown"}, {kPath, "Control Panel\\Appearance and Personalization"}}},
        {"a Control Panel item of 31 bytes",
         ListLink({RootFolderItem(kControlPanel), Resized(ControlPanelItem(kDisplay), 31)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Control Panel"}}},
        {"a category the tables do not name, by its number",
         ListLink({RootFolderItem(kControlPanel), ControlPanelCategoryItem(99), ControlPanelItem(kDisplay)}),
         {{ItemAt(1, "category"), 99}, {ItemAt(1, "name"), nullptr}, {kPath, "Control Panel\\99\\Display"}}},
        {"a category of 13 bytes",
         ListLink({RootFolderItem(kControlPanel), Resized(ControlPanelCategoryItem(1), 13), ControlPanelItem(kDisplay)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Control Panel\\Display"}}},

        // Control Panel applets.
        {"a code-page applet",
         ListLink({RootItem(), ShellFolderItem(kAllControlPanelItems), imDisk}),
         {{ItemAt(1, "shell_folder_name"), "Control Panel"},
          {ItemAt(2, "kind"), "control_panel_applet"},
          {ItemAt(2, "cpl_path"), "C:\\WINDOWS\\System32\\imdisk.cpl"},
          {ItemAt(2, "name"), "ImDisk Virtual Disk Driver"},
          {ItemAt(2, "comments"), "ImDisk Virtual Disk Driver"},
          {kPath, "My Computer\\Control Panel\\ImDisk Virtual Disk Driver"}}},
        {"a UTF-16 applet",
         ListLink({RootItem(), ShellFolderItem(kAllControlPanelItems), mouseApplet}),
         {{ItemAt(2, "kind"), "control_panel_applet"},
          {ItemAt(2, "cpl_path"), "C:\\Windows\\System32\\main.cpl"},
          {ItemAt(2, "name"), "Mouse"},
          {ItemAt(2, "comments"), "Customize your mouse settings."},
          {kPath, "My Computer\\Control Panel\\Mouse"}}},
        {"a UTF-16 applet of signature 0",
         ListLink({RootItem(), AppletItem(kMainCpl, u"Keyboard", u"", 0)}),
         {{ItemAt(1, "kind"), "control_panel_applet"}, {ItemAt(1, "name"), "Keyboard"}, {ItemAt(1, "comments"), ""},
          {kPath, "My Computer\\Keyboard"}}},
        {"an applet whose name's offset points inside its path: the path alone",
         ListLink({RootItem(), ShellFolderItem(kAllControlPanelItems), WithU16(imDisk, kAnsiAppletOffsetsAt, 3)}),
         {{ItemAt(2, "kind"), "control_panel_applet"},
          {ItemAt(2, "cpl_path"), "C:\\WINDOWS\\System32\\imdisk.cpl"},
          {ItemAt(2, "name"), nullptr},
          {ItemAt(2, "comments"), nullptr},
          {kPath, "My Computer\\Control Panel"}}},
        {"an applet whose name runs to the item's end without a terminator: the path alone",
         ListLink({RootItem(), Resized(imDisk, imDiskNameAt + 26)}),
         {{ItemAt(1, "cpl_path"), "C:\\WINDOWS\\System32\\imdisk.cpl"}, {ItemAt(1, "name"), nullptr}, {kPath, "My Computer"}}},
        {"a UTF-16 applet whose comments' offset points inside its path and whose name has no terminator",
         ListLink({RootItem(), Resized(WithU16(mouseApplet, kUtf16AppletOffsetsAt + 2, 2), 0x18 + 2 * (kMainCpl.size() + 1 + 5))}),
         {{ItemAt(1, "cpl_path"), "C:\\Windows\\System32\\main.cpl"}, {ItemAt(1, "name"), nullptr}, {kPath, "My Computer"}}},
        {"an applet whose offsets are both zero stores no names",
         ListLink({RootItem(), WithU16(WithU16(imDisk, kAnsiAppletOffsetsAt, 0), kAnsiAppletOffsetsAt + 2, 0)}),
         {{ItemAt(1, "kind"), "control_panel_applet"}, {ItemAt(1, "cpl_path"), "C:\\WINDOWS\\System32\\imdisk.cpl"},
          {ItemAt(1, "name"), nullptr}, {kPath, "My Computer"}}},
        {"an applet with an empty path",
         ListLink({RootItem(), AppletItem("", "ImDisk", "ImDisk")}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "My Computer"}}},
        {"an applet of a signature not listed",
         ListLink({RootItem(), AppletItem(kMainCpl, u"Mouse", u"", 0xFFFFFF00)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "My Computer"}}},

        // Property views.
        {"a known folder's view",
         ListLink({RootFolderItem(kUsersFiles), KnownFolderViewItem(kDocuments)}),
         {{ItemAt(1, "kind"), "property_view"},
          {ItemAt(1, "signature"), kKnownFolderView},
          {ItemAt(1, "known_folder_id"), kDocuments},
          {ItemAt(1, "property_storages"), json::array()},
          {ItemAt(1, "name"), "Documents"},
          {kPath, "Users Files\\Documents"}}},
        {"a known folder the tables do not name",
         ListLink({RootFolderItem(kUsersFiles), KnownFolderViewItem(kUnnamed)}),
         {{ItemAt(1, "known_folder_id"), kUnnamed}, {ItemAt(1, "name"), nullptr},
          {kPath, std::string("Users Files\\::") + kUnnamed}}},
        {"library entries named by their parsing names, or display names where those are a GUID",
         ListLink({RootFolderItem(kLibraries), KnownFolderViewItem(kPicturesLibrary),
                   LibraryEntry(u"::" + std::u16string(kThisPcPictures, kThisPcPictures + 38), u"Pictures"),
                   LibraryEntry(u"2013-10-21", u"2013-10-21"), LibraryEntry(u"067.jpg", u"067")}),
         {{ItemAt(2, "signature"), kLibraryEntryView},
          {ItemAt(2, "name"), "Pictures"},
          {ItemAt(4, "property_storages/0/format_id"), kShellDetails},
          {ItemAt(4, "property_storages/0/properties/0"),
           {{"id", 24}, {"name", nullptr}, {"canonical_name", "System.ParsingName"}, {"type", "VT_LPWSTR"}, {"value", "067.jpg"}}},
          {ItemAt(4, "property_storages/1/properties/0/value"), "067"},
          {ItemAt(4, "name"), "067.jpg"},
          {kPath, "Libraries\\Pictures\\Pictures\\2013-10-21\\067.jpg"}}},
        {"a view whose only name is a GUID parsing name",
         ListLink({RootFolderItem(kLibraries), PropertyViewItem(kLibraryEntryView, Bytes().Zeros(32),
                                                                Storage(kShellDetails, TextProperty(24, u"::{3ADD1653-EB32-4CB0-BBD7-DFA0ABB5ACCA}")))}),
         {{ItemAt(1, "name"), "::{3ADD1653-EB32-4CB0-BBD7-DFA0ABB5ACCA}"}}},
        {"a network server's view",
         ListLink({RootFolderItem(kComputersAndDevices), NetworkServer(u"VBOXSVR")}),
         {{ItemAt(1, "kind"), "property_view"}, {ItemAt(1, "signature"), kNetworkView}, {ItemAt(1, "known_folder_id"), nullptr},
          {ItemAt(1, "name"), "VBOXSVR"}, {kPath, "Network\\VBOXSVR"}}},
        {"an application with an empty display name: its application ID",
         ListLink({RootFolderItem(kApplications),
                   ApplicationItem(DisplayName(u"").Append(Storage(kAppUserModel, TextProperty(5, std::u16string(kControlPanelId.begin(), kControlPanelId.end())))))}),
         {{ItemAt(1, "kind"), "property_view"}, {ItemAt(1, "signature"), kApplication}, {ItemAt(1, "name"), kControlPanelId},
          {kPath, "Applications\\" + kControlPanelId}}},
        {"an application's tile name before its ID",
         ListLink({RootFolderItem(kApplications),
                   ApplicationItem(Storage(kAppUserModel, TextProperty(5, u"Microsoft.Windows.Settings")).Append(Storage(kTile, TextProperty(11, u"Settings"))))}),
         {{ItemAt(1, "name"), "Settings"}, {kPath, "Applications\\Settings"}}},
        {"a view of a signature not listed, whose frame fits the item exactly",
         ListLink({RootFolderItem(kAllTasks), view}),
         {{ItemAt(1, "kind"), "property_view"}, {ItemAt(1, "signature"), kUnlistedView}, {ItemAt(1, "name"), "Mouse"},
          {kPath, "All Tasks\\Mouse"}}},
        {"a view of a signature not listed, its frame followed by an extension block",
         ListLink({RootFolderItem(kAllTasks), WithBlock(view, 0xBEEF0000, 0, Bytes().U32(0))}),
         {{ItemAt(1, "kind"), "property_view"}, {kPath, "All Tasks\\Mouse"}}},
        {"a view of a signature not listed, its frame followed by bytes that are no block",
         ListLink({RootFolderItem(kAllTasks), Resized(view, view.Size() + 4)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "All Tasks"}}},
        {"a view of a signature not listed, its data two bytes longer than its frame",
         ListLink({RootFolderItem(kAllTasks), AddToU16(Resized(view, view.Size() + 2), 4, 2)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "All Tasks"}}},
        {"a listed view whose data is two bytes longer than its frame",
         ListLink({RootFolderItem(kComputersAndDevices), AddToU16(Resized(NetworkServer(u"VBOXSVR"), NetworkServer(u"VBOXSVR").Size() + 2), 4, 2)}),
         {{ItemAt(1, "kind"), "property_view"}, {kPath, "Network\\VBOXSVR"}}},
        {"a listed view whose store size is two too large",
         ListLink({RootFolderItem(kLibraries), AddToU16(LibraryEntry(u"067.jpg", u"067"), kStoreSizeAt, 2)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Libraries"}}},

        // Games and CD burning.
        {"a game",
         ListLink({RootFolderItem(kGamesExplorer), GameFolderItem(kSpiderSolitaire)}),
         {{ItemAt(0, "name"), "Games Explorer"}, {ItemAt(1, "kind"), "game_folder"}, {ItemAt(1, "game_id"), kSpiderSolitaire}}},
        {"a game item of 33 bytes",
         ListLink({RootFolderItem(kGamesExplorer), Resized(GameFolderItem(kSpiderSolitaire), 33)}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Games Explorer"}}},
        {"a CD burning item names nothing",
         ListLink({RootItem(), CdBurningItem()}),
         {{ItemAt(1, "kind"), "cd_burning"}, {kPath, "My Computer"}}},

        // Paths.
        {"a root folder the tables do not name",
         ListLink({RootFolderItem(kUnnamed)}),
         {{ItemAt(0, "root_folder_id"), kUnnamed}, {ItemAt(0, "name"), nullptr}, {kPath, std::string("::") + kUnnamed}}},
        {"namespace items, then a named volume: a file-system path from the volume",
         ListLink({RootItem(), ShellFolderItem(kDesktop), VolumeItem("D:\\"), FileEntryWithLongName(0x32, "REPORT~1.TXT", u"Report 2024.txt")}),
         {{kPath, "D:\\Report 2024.txt"}}},
        {"a delegate on a volume joins its file-system path",
         ListLink({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x31, "Users", u"Users"), kCfsf, kLocal}),
         {{kPath, "C:\\Users\\AppData\\Local"}}},
        {"a Vista ID list block holds these kinds too",
         LinkBuilder().Tail(Block(link_format::kVistaAndAboveIdListDataBlock, ItemList({RootFolderItem(kComputersAndDevices),
                                                                                       NetworkServer(u"fatality")}))
                                .Append(TerminalBlock())).Build(),
         {{"/extra_data/0/items/1/kind", "property_view"}, {"/extra_data/0/items/1/name", "fatality"}}},
    });
}

// One record of valid JSON whose offsets stay inside the input, whatever the input. One
// code page serves every reading: thousands of iconv converters opened and closed under
// AddressSanitizer in a 32-bit process run it out of memory.
void ExpectOneRecord(shell_link::CodePage& codePage, const Bytes& input, const std::string& what) {
    std::string line;
    shell_link::AppendJsonLine(shell_link::ReadLink(input.Begin(), input.Size(), codePage), line);
    const json record = ParseRecordLine(line);
    EXPECT_TRUE(record.is_object() && StaysInsideTheInput(record, input.Size())) << what;
}

// The namespace items cut short: the link that holds them, in its ID list or in a Vista
// ID list block, cut at every length from the end of its header on (shorter cuts are the
// header's, which Truncation covers); and each item whole at every size it can have, as
// the last bytes of the input, so that a read past the item would be a read past the
// input (which AddressSanitizer reports). Each cut is a copy of its own size.
TEST(ShellItems, CutShortAtEveryLengthStillGiveOneValidRecord) {
    const std::vector<Bytes> items = NamespaceItems();
    const Bytes list = ItemList(items);
    const Bytes inIdList = LinkBuilder().IdList(list).Build();
    const Bytes inVistaBlock = LinkBuilder().Tail(Block(link_format::kVistaAndAboveIdListDataBlock, list).Append(TerminalBlock())).Build();
    // Whole, both lists hold every kind, and no item is unknown.
    const std::set<std::string> everyKind = {"root_folder", "volume", "delegate", "uri", "control_panel_item",
                                             "control_panel_category", "control_panel_applet", "property_view", "mtp_volume",
                                             "mtp_file_entry", "game_folder", "cd_burning", "acronis_file", "file_entry",
                                             "zip_folder"};
    for (const auto& [link, pointer] : {std::pair(&inIdList, "/link_target_id_list/items"), std::pair(&inVistaBlock, "/extra_data/0/items")}) {
        std::set<std::string> kinds;
        for (const json& item : At(Record(*link), pointer)) {
            kinds.insert(item.value("kind", ""));
        }
        EXPECT_EQ(kinds, everyKind) << pointer;
    }
    shell_link::CodePage codePage;
    for (const Bytes* link : {&inIdList, &inVistaBlock}) {
        for (std::size_t length = link_format::kHeaderBytes; length <= link->Size(); ++length) {
            ExpectOneRecord(codePage, link->Prefix(length), "cut at " + std::to_string(length));
        }
    }
    const Bytes header = LinkBuilder().Flags(flag::kIdList).Build();
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t size = 3; size <= items[i].Size(); ++size) {
            const Bytes input = Bytes(header).U16(static_cast<std::uint16_t>(size)).Append(Resized(items[i], size));
            ExpectOneRecord(codePage, input.Prefix(input.Size()), "item " + std::to_string(i) + " of " + std::to_string(size) + " bytes");
        }
    }
}

// Rows the reader does not pass yet: each one's comment says where it goes wrong. Run
// them with --gtest_also_run_disabled_tests.
TEST(ShellItems, InsideArchives) {
    const Bytes zipFile = FileEntryWithLongName(0x32, "A.ZIP", u"a.zip");
    CheckRows({
        {"an Acronis backup's file", ListLink({RootItem(), AcronisItem(u"report.doc", u"C:\\backup\\report.doc")}),
         {{ItemAt(1, "kind"), "acronis_file"}, {ItemAt(1, "name"), "report.doc"}, {ItemAt(1, "path"), "C:\\backup\\report.doc"},
          {kPath, "My Computer\\report.doc"}}},
        {"an Acronis file without a name gives its path's last component",
         ListLink({RootItem(), AcronisItem(u"", u"C:\\backup\\report.doc")}), {{ItemAt(1, "name"), nullptr}, {kPath, "My Computer\\report.doc"}}},
        {"an Acronis item one byte short of its last text", ListLink({RootItem(), Resized(AcronisItem(u"a", u"b"), AcronisItem(u"a", u"b").Size() - 1)}),
         {{ItemAt(1, "kind"), "unknown"}}},
        {"a ZIP folder item after the ZIP file's entry", ListLink({RootItem(), VolumeItem("C:\\"), zipFile, ZipXpItem(u"inner.txt")}),
         {{ItemAt(3, "kind"), "zip_folder"}, {ItemAt(3, "name"), "inner.txt"}, {kPath, "C:\\a.zip\\inner.txt"}}},
        {"the same bytes after another file's entry",
         ListLink({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x32, "A.TXT", u"a.txt"), ZipXpItem(u"inner.txt")}),
         {{ItemAt(3, "kind"), "unknown"}, {kPath, "C:\\a.txt"}}},
    });
}

// Checks first met as faults of the reader: a listed signature held to its identifier's
// size, an unnamed GUID written as Windows writes it in namespace paths, and a volume
// without the name bit too short to hold a name.
TEST(ShellItems, HoldListedSignaturesToTheirSizeAndNameGuidsAsWindowsDoes) {
    CheckRows({
        {"a known folder's view whose identifier is not 16 bytes",
         ListLink({RootFolderItem(kUsersFiles), PropertyViewItem(kKnownFolderView, GuidBytes(kDocuments).U32(0))}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Users Files"}}},
        {"a network server's view whose identifier is not 4 bytes",
         ListLink({RootFolderItem(kComputersAndDevices), PropertyViewItem(kNetworkView, Bytes().U32(0).U32(0), DisplayName(u"VBOXSVR"))}),
         {{ItemAt(1, "kind"), "unknown"}, {kPath, "Network"}}},
        {"a game's GUID in the path",
         ListLink({RootFolderItem(kGamesExplorer), GameFolderItem(kSpiderSolitaire)}),
         {{kPath, std::string("Games Explorer\\::") + kSpiderSolitaire}}},
        {"a class 0x2A volume too short for its 20 bytes of name",
         ListLink({RootItem(), Item(0x2A, Bytes().TextZ("J:\\").U8(0))}),
         {{ItemAt(1, "kind"), "volume"}, {ItemAt(1, "name"), nullptr}, {kPath, "My Computer"}}},
    });
}

}  // namespace
