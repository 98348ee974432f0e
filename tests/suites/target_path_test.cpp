// SPDX-License-Identifier: MIT
// The walk of the target ID list: names by type byte, the join, the Desktop rule, and
// lists that are cut short, malformed or oversized.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link_builder.h"
#include "shortcut_file/target_path.h"
#include "link_fields.h"
#include "test_support.h"

namespace {

namespace sr = shortcut_file;

std::string Walk(const Bytes& list) {
    char path[sr::kPathBytes];
    std::memset(path, '#', sizeof path);
    sr::BuildTargetPath(list.Begin(), static_cast<unsigned>(list.Size()), path);
    return path;
}

// An item of the given type whose bytes from the type byte on spell "TNNNNNNNNNNNname".
Bytes NamedAt(std::uint8_t type, const std::string& name) {
    return Item(type, Bytes().Text("0123456789A").TextZ(name));
}

TEST(TargetPathJoin, PutsNoSeparatorAfterTheFirstNameAndOneBetweenLaterNames) {
    EXPECT_EQ(Walk(NotepadItemList()), "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(Walk(ItemList({RootItem(), VolumeItem("C:\\")})), "C:\\");
    EXPECT_EQ(Walk(ItemList({RootItem(), FileEntryItem(0x31, "a"), FileEntryItem(0x31, "b"), FileEntryItem(0x32, "c")})),
              "ab\\c");
}

TEST(TargetPathJoin, KeepsTheSeparatorsAroundANamelessItem) {
    EXPECT_EQ(Walk(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "a"), Item(0x1F, Bytes{0}),
                             FileEntryItem(0x32, "b")})),
              "C:\\a\\\\b");
    EXPECT_EQ(Walk(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "a"), Item(0x2E, Bytes{0})})),
              "C:\\a\\");
}

TEST(TargetPathNames, BeginAfterTheTypeByteForVolumeItems) {
    for (const std::uint8_t type : std::initializer_list<std::uint8_t>{0x23, 0x25, 0x29, 0x2F}) {
        EXPECT_EQ(Walk(ItemList({RootItem(), Item(type, Bytes().TextZ("D:\\"))})), "D:\\") << int{type};
    }
}

TEST(TargetPathNames, BeginElevenBytesAfterTheTypeByteForFileEntries) {
    for (const std::uint8_t type : std::initializer_list<std::uint8_t>{0x30, 0x31, 0x32, 0x61, 0xB1}) {
        EXPECT_EQ(Walk(ItemList({RootItem(), NamedAt(type, "name")})), "name") << int{type};
    }
}

TEST(TargetPathNames, BeginAtTheTypeByteItselfForNetworkItems) {
    for (const std::uint8_t type : std::initializer_list<std::uint8_t>{0x41, 0x42, 0x46, 0x47}) {
        const std::string expected = std::string(1, static_cast<char>(type)) + "\\\\server";
        EXPECT_EQ(Walk(ItemList({RootItem(), Item(type, Bytes().TextZ("\\\\server"))})), expected) << int{type};
    }
    EXPECT_EQ(Walk(ItemList({RootItem(), Item(0xC3, Bytes().TextZ("net"))})), "\xC3net");
}

TEST(TargetPathNames, AreEmptyForRootShellAndUnknownTypes) {
    for (const std::uint8_t type : std::initializer_list<std::uint8_t>{0x1F, 0x2E, 0x00, 0x35, 0xFF}) {
        EXPECT_EQ(Walk(ItemList({RootItem(), Item(type, Bytes().TextZ("hidden")), FileEntryItem(0x31, "x"),
                                 FileEntryItem(0x32, "y")})),
                  "x\\y")
            << int{type};
    }
}

TEST(TargetPathNames, RunPastTheirOwnItemUpToTheirZeroByte) {
    const Bytes list = ItemList({RootItem(), Item(0x2F, Bytes().Text("C:")), Item(0x00, Bytes().TextZ("tail"))});
    // "C:" has no zero byte in its own item: the name runs on into the next item's size
    // bytes (08 00) and ends at the zero.
    EXPECT_EQ(Walk(list), std::string("C:") + '\x08');
}

TEST(TargetPathDesktop, NamesTheTerminatorWhenItIsTheSecondItem) {
    EXPECT_EQ(Walk(ItemList({RootItem()})), "Desktop");
}

TEST(TargetPathDesktop, StopsTheWalkWhenTheSecondItemIsNamedDesktop) {
    EXPECT_EQ(Walk(ItemList({RootItem(), NamedAt(0x31, "Desktop"), FileEntryItem(0x32, "a.txt")})), "Desktop");
}

TEST(TargetPathDesktop, JoinsADeeperDesktopLikeAnyOtherName) {
    EXPECT_EQ(Walk(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "Desktop"), FileEntryItem(0x32, "a")})),
              "C:\\Desktop\\a");
}

TEST(TargetPathDesktop, ComparesCaseSensitively) {
    EXPECT_EQ(Walk(ItemList({RootItem(), NamedAt(0x31, "desktop"), FileEntryItem(0x32, "a")})), "desktopa");
}

TEST(TargetPathEnds, GivesAnEmptyPathWhenTheFirstItemIsTheTerminator) {
    EXPECT_EQ(Walk(Terminator()), "");
    EXPECT_EQ(Walk(Bytes{0x00}), "");
}

TEST(TargetPathEnds, StopsAtAListWithoutTerminator) {
    EXPECT_EQ(Walk(RootItem()), "");  // a lone first item is not followed by "Desktop"
    EXPECT_EQ(Walk(Bytes().Append(RootItem()).Append(VolumeItem("C:\\")).Append(FileEntryItem(0x31, "a"))), "C:\\a");
    EXPECT_EQ(Walk(Bytes().Append(RootItem()).Append(VolumeItem("C:\\")).U8(0)), "C:\\");  // one byte left
}

TEST(TargetPathEnds, TakesNoSlotForAnItemTooSmallOrTooLarge) {
    for (const std::uint16_t size : std::initializer_list<std::uint16_t>{1, 2, 200}) {
        const Bytes list = Bytes().Append(RootItem()).Append(VolumeItem("C:\\")).Append(FileEntryItem(0x31, "a"))
                               .Append(ItemWithSize(size, Bytes().TextZ("zzz"))).Append(Terminator());
        EXPECT_EQ(Walk(list), "C:\\a") << size;
    }
}

TEST(TargetPathEnds, GivesAnEmptyPathWhenTheFirstItemCannotBeUsed) {
    EXPECT_EQ(Walk(Bytes().Append(ItemWithSize(1)).Append(ItemList({VolumeItem("C:\\")}))), "");
    EXPECT_EQ(Walk(Bytes().Append(ItemWithSize(400, Bytes().Zeros(20)))), "");
}

TEST(TargetPathEnds, CutsANameAtTheEndOfTheList) {
    // The directory entry's name begins past the list's end: empty, but it keeps its slot.
    const Bytes shortEntry = Bytes().Append(RootItem()).Append(VolumeItem("C:\\")).Append(FileEntryItem(0x31, "a"))
                                 .Append(Item(0x31, Bytes{1, 2, 3}));
    EXPECT_EQ(Walk(shortEntry), "C:\\a\\");
    // A name without its zero byte ends where the list ends.
    const Bytes unterminated = Bytes().Append(RootItem()).Append(VolumeItem("C:\\")).Append(Item(0x32, Bytes().Text("0123456789Aabc")));
    EXPECT_EQ(Walk(unterminated), "C:\\abc");
}

TEST(TargetPathLimits, CutsANameTo259Bytes) {
    const std::string name(300, 'n');
    const Bytes list = ItemList({RootItem(), NamedAt(0x31, name)});
    EXPECT_EQ(Walk(list), std::string(255, 'n'));  // the path buffer cuts it further
    char slot[sr::kComponentBytes];
    const Bytes item = NamedAt(0x31, name);
    EXPECT_EQ(sr::ItemName(item.Begin(), item.Begin() + item.Size(), slot, sizeof slot), 259);
    EXPECT_EQ(std::string(slot), std::string(259, 'n'));
}

TEST(TargetPathLimits, CutsTheJoinedPathAt255Bytes) {
    const std::string name(100, 'd');
    const std::string path = Walk(ItemList({RootItem(), VolumeItem("C:\\"), NamedAt(0x31, name), NamedAt(0x31, name),
                                            NamedAt(0x32, name)}));
    EXPECT_EQ(path, ("C:\\" + name + "\\" + name + "\\" + name).substr(0, 255));
}

TEST(TargetPathLimits, NamesAtMost128Components) {
    Bytes list = Bytes().Append(RootItem());
    for (int i = 0; i < 129; ++i) {
        list.Append(Item(0x2F, Bytes().TextZ(std::string(1, static_cast<char>('a' + i % 26)))));
    }
    list.Append(Terminator());
    // One byte for the first name, two for each later one but the last: 128 names give
    // 254 bytes, where a 129th would have filled the buffer.
    const std::string path = Walk(list);
    EXPECT_EQ(path.size(), 254u);
    EXPECT_EQ(path.substr(path.size() - 4), "\\w\\x");
}

TEST(TargetPathItems, StayInsideTheList) {
    const Bytes list = ItemList({RootItem()});
    const unsigned char* const end = list.Begin() + list.Size();
    EXPECT_EQ(sr::ItemData(nullptr, end), nullptr);
    EXPECT_EQ(sr::ItemData(list.Begin(), end), list.Begin() + 2);
    const unsigned char* const terminator = sr::NextItem(list.Begin(), end);
    ASSERT_NE(terminator, nullptr);
    EXPECT_TRUE(sr::IsTerminalItem(terminator, end));
    EXPECT_EQ(sr::NextItem(terminator, end), nullptr);
    EXPECT_EQ(sr::ItemNameStart(list.Begin(), end), nullptr);  // the root item has no name
    EXPECT_TRUE(sr::IsTerminalItem(nullptr, end));
}

TEST(TargetPathThroughTheReader, KeepsThePrefixBeforeAByteOutsideAscii) {
    const Bytes list = ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "Jos\xE9"), FileEntryItem(0x32, "x.txt")});
    EXPECT_EQ(ReadWithShortcutFile(LinkBuilder().IdList(list).Build()).path, "C:\\Jos");
    EXPECT_EQ(ReadWithShortcutFile(LinkBuilder().IdList(ItemList({RootItem(), Item(0xC3, Bytes().TextZ("net"))})).Build()).path, "");
}

}  // namespace
