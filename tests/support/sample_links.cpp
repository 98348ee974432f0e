// SPDX-License-Identifier: MIT
#include "sample_links.h"

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
