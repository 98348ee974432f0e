// SPDX-License-Identifier: MIT
// The sections after the ID list: the LinkInfo block stepped over, and the counted
// strings, read whenever their flags announce them.
#include <gtest/gtest.h>

#include <string>

#include "link_builder.h"
#include "link_fields.h"
#include "test_support.h"

namespace {

const Bytes kCDrive = CDriveItemList();

TEST(CountedStrings, LandInTheirFieldsInFlagOrder) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder()
                                           .IdList(kCDrive)
                                           .Description(u"desc")
                                           .RelativePath(u".\\rel")
                                           .WorkingDir(u"C:\\Work")
                                           .Arguments(u"--flag value")
                                           .IconLocation(u"%SystemRoot%\\icon.dll")
                                           .Build());
    EXPECT_EQ(fields.path, "C:\\");
    EXPECT_EQ(fields.description, "desc");
    EXPECT_EQ(fields.relativePath, ".\\rel");
    EXPECT_EQ(fields.workingDir, "C:\\Work");
    EXPECT_EQ(fields.arguments, "--flag value");
}

TEST(CountedStrings, AreEmptyForACountOfZero) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).Description(u"").WorkingDir(u"W").Build());
    EXPECT_EQ(fields.description, "");
    EXPECT_EQ(fields.workingDir, "W");
}

TEST(CountedStrings, AreEmptyWhenTheyLiePastTheEndOfTheFile) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).Flags(flag::kIdList | flag::kName | flag::kWorkingDir).Build());
    EXPECT_EQ(fields.path, "C:\\");
    EXPECT_EQ(fields.description, "");
    EXPECT_EQ(fields.workingDir, "");
}

TEST(CountedStrings, KeepTheUnitsReadBeforeTheFileEndsAndLeaveLaterOnesEmpty) {
    // A description of 10 units of which the file holds 3 and one odd byte.
    const Bytes cut = LinkBuilder()
                          .IdList(kCDrive)
                          .Flags(flag::kIdList | flag::kName | flag::kWorkingDir)
                          .Tail(Bytes().U16(10).Units(u"abc").U8('d'))
                          .Build();
    const LinkFields fields = ReadWithShortcutFile(cut);
    EXPECT_EQ(fields.description, "abcd");
    EXPECT_EQ(fields.workingDir, "");
}

TEST(CountedStrings, EndAtAZeroUnit) {
    EXPECT_EQ(ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).Description(std::u16string(u"ab\0cd", 5)).Build()).description, "ab");
}

TEST(CountedStrings, KeepTheCharactersBeforeOneOutsideAscii) {
    const LinkFields fields = ReadWithShortcutFile(
        LinkBuilder().IdList(kCDrive).Description(u"Caf\u00e9 menu").WorkingDir(u"\u65e5\u672c").RelativePath(u"ok").Build());
    EXPECT_EQ(fields.description, "Caf");
    EXPECT_EQ(fields.workingDir, "");
    EXPECT_EQ(fields.relativePath, "ok");  // the strings after it are read as usual
}

TEST(CountedStrings, HoldTheLongestStringTheFormatAllows) {
    const std::u16string longest(65535, u'L');
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).Description(longest).RelativePath(u"after").Build());
    EXPECT_EQ(fields.description, std::string(65535, 'L'));
    EXPECT_EQ(fields.relativePath, "after");
}

TEST(CountedStrings, AreReadAsUnitsWhateverTheUnicodeFlagSays) {
    const Bytes link = LinkBuilder().IdList(kCDrive).Description(u"wide").Flags(flag::kIdList | flag::kName).Build();
    EXPECT_EQ(ReadWithShortcutFile(link).description, "wide");
}

TEST(LinkInfo, IsSteppedOverWholeForEverySizeTheFileHolds) {
    for (const std::uint32_t size : {4u, 5u, 64u, 5000u}) {
        const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).LinkInfo(LinkInfoBlock(size)).Description(u"after").Build());
        EXPECT_EQ(fields.description, "after") << size;
    }
}

TEST(LinkInfo, SkipsNothingMoreForASizeBelowFour) {
    for (const std::uint32_t size : {0u, 1u, 3u}) {
        const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(kCDrive).LinkInfo(Bytes().U32(size)).Description(u"after").Build());
        EXPECT_EQ(fields.description, "after") << size;
    }
}

TEST(LinkInfo, LeavesEveryLaterStringEmptyWhenItClaimsMoreThanTheFileHolds) {
    for (const std::uint32_t size : {0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        const LinkFields fields = ReadWithShortcutFile(
            LinkBuilder().IdList(kCDrive).LinkInfo(Bytes().U32(size).Zeros(40)).Description(u"lost").WorkingDir(u"lost").Build());
        EXPECT_EQ(fields.path, "C:\\") << size;
        EXPECT_EQ(fields.description, "") << size;
        EXPECT_EQ(fields.workingDir, "") << size;
    }
}

TEST(SectionsWithoutIdList, AreReadWhenTheIdListFlagIsClear) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().LinkInfo(LinkInfoBlock(28)).Description(u"Desc").RelativePath(u".\\rel").WorkingDir(u"C:\\Work").Build());
    EXPECT_EQ(fields.path, "");
    EXPECT_EQ(fields.description, "Desc");
    EXPECT_EQ(fields.relativePath, ".\\rel");
    EXPECT_EQ(fields.workingDir, "C:\\Work");
}

TEST(SectionsWithoutIdList, AreReadAfterAnEmptyIdList) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(Bytes()).Description(u"Desc").Build());
    EXPECT_EQ(fields.path, "");
    EXPECT_EQ(fields.description, "Desc");
}

}  // namespace
