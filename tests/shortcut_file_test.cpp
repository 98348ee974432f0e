// The reader's own contract: headers it accepts or rejects, which sections it reads,
// and what its getters write.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "link_builder.h"
#include "shortcut_file.h"
#include "test_support.h"

namespace {

bool Empty(const LinkFields& fields) {
    return fields.path.empty() && fields.workingDir.empty() && fields.description.empty() &&
           fields.relativePath.empty() && fields.arguments.empty();
}

TEST(DefaultReader, WritesEmptyTextsAndReturnsZero) {
    const ShortcutFile reader;
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(reader.GetPath(buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    buffer[0] = '#';
    EXPECT_EQ(reader.GetArgs(buffer), 0);
    EXPECT_EQ(reader.GetWorkDir(buffer), 0);
    EXPECT_EQ(reader.GetDesc(buffer), 0);
    EXPECT_EQ(reader.GetPathRel(buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(Getters, WriteNothingIntoANullBuffer) {
    const TempFile file(LinkBuilder().IdList(NotepadItemList()).Description(u"d").Build());
    const ShortcutFile reader(file.Path().c_str());
    EXPECT_EQ(reader.GetPath(nullptr), 0);
    EXPECT_EQ(reader.GetDesc(nullptr), 0);
}

TEST(Getters, ReturnTheBytesWritten) {
    const LinkFields fields = ReadLink(LinkBuilder().IdList(NotepadItemList()).Description(u"").Build());
    EXPECT_EQ(fields.pathResult, 22);
    EXPECT_EQ(fields.descriptionResult, 0);
}

TEST(Getters, AlwaysTerminateWithinTheTextLengthWhereCharactersTakeSeveralBytes) {
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    const TempFile file(LinkBuilder().IdList(ItemList({RootItem(), Item(0x2F, Bytes().TextZ("\xC3\xA9\\"))})).Build());
    const ShortcutFile reader(file.Path().c_str());
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    const int written = reader.GetPath(buffer);
    std::setlocale(LC_ALL, "C");
    // Two units, so at most three bytes: the backslash no longer fits after the two-byte
    // character, and the text is cut before it rather than left unterminated.
    EXPECT_EQ(written, 2);
    EXPECT_STREQ(buffer, "\xC3\xA9");
    EXPECT_EQ(buffer[3], '#');
}

TEST(Header, IsAcceptedWhenCutShortAfterItsSize) {
    EXPECT_TRUE(Empty(ReadLink(Bytes{0x4C})));
    EXPECT_TRUE(Empty(ReadLink(Bytes{0x4C, 0x00})));
    EXPECT_TRUE(Empty(ReadLink(Bytes{0x4C, 0x00, 0x00})));
    EXPECT_TRUE(Empty(ReadLink(LinkBuilder().Flags(0xFF).Build().Prefix(4))));
    EXPECT_TRUE(Empty(ReadLink(LinkBuilder().Flags(0xFF).Build().Prefix(75))));
}

TEST(Header, WithTheIdListFlagAndNothingAfterItGivesEmptyTexts) {
    EXPECT_TRUE(Empty(ReadLink(LinkBuilder().Flags(flag::kIdList).Build())));
    EXPECT_TRUE(Empty(ReadLink(LinkBuilder().Flags(flag::kIdList).Build().Append(Bytes{0x05}))));
}

TEST(Header, WithAnEmptyIdListGivesNoPath) {
    EXPECT_TRUE(Empty(ReadLink(LinkBuilder().IdList(Bytes()).Tail(NotepadItemList()).Build())));
}

TEST(Header, WithTheIdListFlagClearReadsNoList) {
    const Bytes link = LinkBuilder().Flags(0).Tail(Bytes().U16(NotepadItemList().Size16()).Append(NotepadItemList())).Build();
    EXPECT_TRUE(Empty(ReadLink(link)));
}

TEST(Header, IgnoresTheClassIdAndFlagsOutsideTheSections) {
    Bytes link = LinkBuilder().IdList(NotepadItemList()).Flags(0xFFFFFF81).Build();
    for (std::size_t offset = 4; offset < 20; ++offset) {
        link.Patch(offset, 0x77);  // LinkCLSID
    }
    EXPECT_EQ(ReadLink(link).path, "C:\\WINDOWS\\notepad.exe");
}

TEST(Header, ThatIsNotAShellLinkOrCannotBeOpenedEndsTheProcessWithStatusOne) {
    const TempFile wrongSize(LinkBuilder().HeaderSize(77).Build());
    EXPECT_EXIT(ShortcutFile reader(wrongSize.Path().c_str()), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(ShortcutFile reader("/nonexistent/link.lnk"), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(ShortcutFile reader(nullptr), testing::ExitedWithCode(1), "");
}

TEST(TargetPath, IsRebuiltFromAListAsWindowsWritesIt) {
    EXPECT_EQ(ReadLink(LinkBuilder().IdList(NotepadItemList()).Build()).path, "C:\\WINDOWS\\notepad.exe");
}

TEST(TargetPath, StaysWithinAListLongerThanTheFile) {
    const Bytes link = LinkBuilder().IdListClaiming(0xFFFF, NotepadItemList().Prefix(40)).Build();
    EXPECT_EQ(ReadLink(link).path, "C:\\");  // the rest reads as zero: a terminator
}

}  // namespace
