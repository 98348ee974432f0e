// SPDX-License-Identifier: MIT
#include "sample_links.h"

#include "format/layout.h"
#include "shell_item_builders.h"
#include "structure_builders.h"

std::vector<SampleLink> ExampleLinks() {
    const Bytes notepad = LinkBuilder()
                              .IdList(NotepadItemList())
                              .LinkInfo(LinkInfoBlock(60))
                              .Description(u"Text editor")
                              .RelativePath(u"..\\..\\..\\WINDOWS\\notepad.exe")
                              .WorkingDir(u"C:\\WINDOWS")
                              .IconLocation(u"%SystemRoot%\\system32\\shell32.dll")
                              .Build();
    const Bytes noIdList = LinkBuilder()
                               .Description(u"Report archive")
                               .RelativePath(u".\\archive\\2026")
                               .WorkingDir(u"D:\\Reports")
                               .Build();
    // A link cut off in the middle of its description.
    const Bytes truncated = LinkBuilder()
                                .IdList(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "Tools"),
                                                  FileEntryItem(0x32, "backup.cmd")}))
                                .Flags(flag::kIdList | flag::kName | flag::kWorkingDir | flag::kIsUnicode)
                                .Tail(Bytes().U16(40).Units(u"Nightly ba"))
                                .Build();
    return {{"notepad.lnk", notepad}, {"no_id_list.lnk", noIdList}, {"truncated.lnk", truncated}};
}

std::vector<SampleLink> SeedLinks() {
    std::vector<SampleLink> seeds = ExampleLinks();
    Bytes deepList = Bytes().Append(RootItem());
    for (int i = 0; i < 130; ++i) {
        deepList.Append(FileEntryItem(0x31, "dir" + std::to_string(i)));
    }
    deepList.Append(Terminator());
    seeds.push_back({"header_only.lnk", LinkBuilder().Build()});
    seeds.push_back({"short_header.lnk", Bytes{0x4C, 0x00}});
    seeds.push_back({"desktop.lnk", LinkBuilder().IdList(ItemList({RootItem()})).Build()});
    seeds.push_back({"network.lnk", LinkBuilder().IdList(ItemList({RootItem(), Item(0xC3, Bytes().TextZ("\\\\server\\share")),
                                                                   Item(0x41, Bytes().TextZ("x"))})).Build()});
    seeds.push_back({"nameless.lnk", LinkBuilder().IdList(ItemList({RootItem(), Item(0x2E, Bytes{0}), FileEntryItem(0x31, "a"),
                                                                   Item(0x1F, Bytes{0}), FileEntryItem(0x32, "b")})).Build()});
    seeds.push_back({"deep_list.lnk", LinkBuilder().IdList(deepList).Build()});
    seeds.push_back({"small_items.lnk", LinkBuilder().IdList(Bytes().Append(RootItem()).Append(ItemWithSize(2)).Append(ItemWithSize(1))).Build()});
    seeds.push_back({"long_list_claim.lnk", LinkBuilder().IdListClaiming(0xFFFF, CDriveItemList()).Build()});
    seeds.push_back({"huge_link_info.lnk", LinkBuilder().IdList(CDriveItemList()).LinkInfo(Bytes().U32(0xFFFFFFF0)).Description(u"d").Build()});
    seeds.push_back({"tiny_link_info.lnk", LinkBuilder().LinkInfo(Bytes().U32(3)).Description(u"d").Build()});
    seeds.push_back({"five_strings.lnk", LinkBuilder().IdList(CDriveItemList()).Description(u"d").RelativePath(u"r").WorkingDir(u"w")
                                             .Arguments(u"a").IconLocation(u"i").Build()});
    seeds.push_back({"odd_strings.lnk", LinkBuilder().Description(std::u16string(u"a\0b", 3)).WorkingDir(u"caf\u00e9")
                                            .RelativePath(u"line\nbreak").Build()});
    seeds.push_back({"long_string.lnk", LinkBuilder().WorkingDir(std::u16string(65535, u'w')).Build()});
    const Bytes namespaceItems = ItemList(NamespaceItems());
    seeds.push_back({"namespace_items.lnk", LinkBuilder().IdList(namespaceItems).Build()});
    seeds.push_back({"vista_namespace_items.lnk", LinkBuilder().IdList(CDriveItemList())
                                                      .Tail(Block(link_format::kVistaAndAboveIdListDataBlock, namespaceItems).Append(TerminalBlock()))
                                                      .Build()});
    return seeds;
}

Bytes TypicalItemList() {
    return ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "PROGRA~1"), FileEntryItem(0x31, "MICROS~1"),
                     FileEntryItem(0x31, "Office16"), FileEntryItem(0x32, "WINWORD.EXE")});
}

std::vector<SampleLink> BenchLinks() {
    const Bytes typical = LinkBuilder()
                              .IdList(TypicalItemList())
                              .LinkInfo(LinkInfoBlock(96))
                              .Description(u"Create and edit professional-looking documents.")
                              .RelativePath(u"..\\..\\..\\Program Files\\Microsoft Office\\root\\Office16\\WINWORD.EXE")
                              .WorkingDir(u"C:\\Program Files\\Microsoft Office\\root\\Office16")
                              .Build();
    Bytes deepList = Bytes().Append(RootItem());
    for (int i = 0; i < 128; ++i) {
        deepList.Append(FileEntryItem(0x31, std::string(250, static_cast<char>('a' + i % 26))));
    }
    deepList.Append(Terminator());
    const std::u16string longest(65535, u'x');
    const LinkBuilder fiveLongest =
        LinkBuilder().Description(longest).RelativePath(longest).WorkingDir(longest).Arguments(longest).IconLocation(longest);
    const Bytes largest = LinkBuilder(fiveLongest).IdList(deepList).Build();
    const Bytes hostile = LinkBuilder()
                              .IdList(CDriveItemList())
                              .LinkInfo(Bytes().U32(0xFFFFFFF0u).Zeros(64))
                              .Description(u"never reached")
                              .Build();
    const Bytes listClaim = LinkBuilder().IdListClaiming(0xFFFF, CDriveItemList()).Build();
    const Bytes longestStrings = fiveLongest.Build();
    const Bytes deepestList = LinkBuilder().IdList(deepList).Build();
    return {{"typical.lnk", typical},          {"largest.lnk", largest},
            {"hostile.lnk", hostile},          {"list_claim.lnk", listClaim},
            {"longest_strings.lnk", longestStrings}, {"deepest_list.lnk", deepestList}};
}

std::vector<Bytes> NamespaceItems() {
    const Bytes storeNames = Storage("{28636AA6-953D-11D2-B5D6-00C04FD918D0}", TextProperty(24, u"067.jpg"))
                                 .Append(Storage("{B725F130-47EF-101A-A5F1-02608C9EEBAC}", TextProperty(10, u"067")));
    const Bytes server = Storage("{B725F130-47EF-101A-A5F1-02608C9EEBAC}", TextProperty(10, u"VBOXSVR"));
    const Bytes application = Storage("{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", TextProperty(5, u"Microsoft.Windows.Settings"));
    const Bytes task = GuidBytes("{4DE175B5-44AB-4397-9E01-38E9DE4F0FB1}").Append(GuidBytes("{6C8EEC18-8D75-41B2-A177-8831D59D2D50}")).U32(1);
    return {
        RootFolderItem("{59031A47-3F72-44A7-89C5-5595FE6B30EE}"),  // Users Files
        CfsfItem("APPDATA", u"AppData"),
        KnownFolderViewItem("{FDD39AD0-238F-46AF-ADB4-6C85480369C7}"),  // Documents
        RootItem(),
        ShellFolderItem("{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}"),  // Desktop
        UsersFilesItem(),
        PortableDevicesItem(u"Phone", u"\\\\?\\usb#vid_12d1&pid_107e"),
        MtpVolumeItem(u"Internal storage", u"SID-{10001,,116775714816}", u"Generic hierarchical"),
        MtpFileEntryItem(u"DCIM", u"o15", 132119171880000000, "{27E2E392-A111-48E0-AB0C-E17705A05F85}"),
        ShellFolderItem("{21EC2020-3AEA-1069-A2DD-08002B30309D}"),  // Control Panel
        AppletItem("C:\\WINDOWS\\System32\\imdisk.cpl", "ImDisk Virtual Disk Driver", "ImDisk Virtual Disk Driver"),
        AppletItem(u"C:\\Windows\\System32\\main.cpl", u"Mouse", u"Customize your mouse settings."),
        RootFolderItem("{871C5380-42A0-1069-A2EA-08002B30309D}"),  // Internet
        UriItem(u"http://go.microsoft.com/fwlink/?LinkId=63435"),
        UriItem("ftp://ftp.example.org/pub/"),
        RootFolderItem("{26EE0668-A00A-44D7-9371-BEB064C98683}"),  // Control Panel
        ControlPanelCategoryItem(1),
        ControlPanelItem("{C555438B-3C23-4769-A71F-B6D3D9B6053A}"),  // Display
        RootFolderItem("{031E4825-7B94-4DC3-B131-E946B44C8DD5}"),  // Libraries
        PropertyViewItem(0x10141981, Bytes{0, 0, 0, 0x60}.Zeros(28), storeNames),
        RootFolderItem("{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}"),  // Computers and Devices
        PropertyViewItem(0x3B93AFBB, Bytes().U32(0), server),
        RootFolderItem("{4234D49B-0245-4DF3-B780-3893943456E1}"),  // Applications
        PropertyViewItem(0x53505041, Bytes().U32(3).U32(1), application),  // "APPS"
        RootFolderItem("{ED7BA470-8E54-465E-825C-99712043E01C}"),  // All Tasks
        WithBlock(PropertyViewItem(0x23018B33, task, server), 0xBEEF0000, 0, Bytes().U32(0)),
        DelegateItem(0x1F, Bytes().U32(0x23A3DFD5).U16(0).U16(4).U32(0).U16(0), "{04731B67-D933-450A-90E6-4ACD2E9408FE}"),
        RootFolderItem("{ED228FDF-9EA8-4870-83B1-96B02CFE0D52}"),  // Games Explorer
        GameFolderItem("{AFA7FF39-1DDF-4F70-A2D5-23FCFFF02E5F}"),
        CdBurningItem(),
        AcronisItem(u"report.doc", u"C:\\backup\\report.doc"),
        VolumeItem("C:\\"),
        FileEntryWithLongName(0x32, "A.ZIP", u"a.zip"),
        ZipXpItem(u"inner.txt"),
    };
}
