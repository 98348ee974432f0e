// SPDX-License-Identifier: MIT
// The five LinkText operations, their edge cases, and what a failed conversion leaves.
#include <shortcut_reader/link_text.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<LinkTextUnit> Units(const std::u16string& text) {
    std::vector<LinkTextUnit> units(text.begin(), text.end());
    units.push_back(0);
    return units;
}

std::u16string Stored(const LinkTextUnit* units) {
    std::u16string text;
    while (*units != 0) {
        text.push_back(static_cast<char16_t>(*units++));
    }
    return text;
}

TEST(LinkTextLength, IsZeroForNoTextAndOneForAnEmptyText) {
    EXPECT_EQ(LinkTextLength(nullptr), 0);
    EXPECT_EQ(LinkTextLength(Units(u"").data()), 1);
    EXPECT_EQ(LinkTextLength(Units(u"abc").data()), 4);
}

TEST(LinkTextLength, MeasuresTextsLongerThanAnyFixedScratch) {
    const std::vector<LinkTextUnit> longest = Units(std::u16string(65535, u'x'));
    EXPECT_EQ(LinkTextLength(longest.data()), 65536);
}

TEST(WidenLinkText, ZeroExtendsEachUnitUpToTheFirstZero) {
    const std::vector<LinkTextUnit> text = {u'a', 0xFFFF, 0, u'z'};
    wchar_t wide[4] = {L'#', L'#', L'#', L'#'};
    WidenLinkText(text.data(), wide);
    EXPECT_EQ(wide[0], L'a');
    EXPECT_EQ(static_cast<unsigned>(wide[1]), 0xFFFFu);
    EXPECT_EQ(wide[2], L'\0');
    EXPECT_EQ(wide[3], L'#');  // nothing past the zero unit

    WidenLinkText(nullptr, wide);
    EXPECT_EQ(wide[0], L'\0');
}

TEST(NarrowToLinkText, KeepsTheLow16BitsAndStopsAtTheFirstZeroUnit) {
    const wchar_t wide[] = {L'a', static_cast<wchar_t>(0x1FFFF), static_cast<wchar_t>(0x10000), L'b', L'\0'};
    LinkTextUnit units[5] = {9, 9, 9, 9, 9};
    NarrowToLinkText(wide, units);
    EXPECT_EQ(units[0], u'a');
    EXPECT_EQ(units[1], 0xFFFF);
    EXPECT_EQ(units[2], 0);  // U+10000 has no low bits: the text ends there
    EXPECT_EQ(units[3], 9);

    NarrowToLinkText(nullptr, units);
    EXPECT_EQ(units[0], 0);
}

TEST(LinkTextToMultibyte, WritesAnEmptyStringForNoText) {
    char out[2] = {'#', '#'};
    EXPECT_EQ(LinkTextToMultibyte(nullptr, 5, out), 0);
    EXPECT_EQ(out[0], '\0');
}

TEST(LinkTextToMultibyte, BoundsItsWriteByTheByteLimit) {
    const std::vector<LinkTextUnit> abc = Units(u"abc");
    char out[5];

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(LinkTextToMultibyte(abc.data(), 4, out), 3);
    EXPECT_STREQ(out, "abc");

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(LinkTextToMultibyte(abc.data(), 3, out), 3);
    EXPECT_EQ(std::string(out, 4), "abc#");  // exactly the letters, no terminator

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(LinkTextToMultibyte(abc.data(), 0, out), 0);
    EXPECT_EQ(out[0], '#');
}

TEST(LinkTextToMultibyte, KeepsTheCharactersBeforeOneOutsideAsciiThenTerminates) {
    const std::vector<LinkTextUnit> text = Units(u"ab\u00e9cd");
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(LinkTextToMultibyte(text.data(), 6, out), -1);
    EXPECT_STREQ(out, "ab");

    const std::vector<LinkTextUnit> first = Units(u"\u4e2d");
    EXPECT_EQ(LinkTextToMultibyte(first.data(), 2, out), -1);
    EXPECT_STREQ(out, "");
}

TEST(MultibyteToLinkText, StoresAsciiExactlyAndCountsItsCharacters) {
    std::vector<LinkTextUnit> dst(8, 9);
    EXPECT_EQ(MultibyteToLinkText("C:\\a b", 6, dst.data()), 6);
    EXPECT_EQ(Stored(dst.data()), u"C:\\a b");

    EXPECT_EQ(MultibyteToLinkText(nullptr, 6, dst.data()), 0);
    EXPECT_EQ(dst[0], 0);
}

TEST(MultibyteToLinkText, KeepsOnlyThePrefixBeforeAByteOutsideAscii) {
    std::vector<LinkTextUnit> dst(16, 9);
    EXPECT_EQ(MultibyteToLinkText("C:\\Jos\xE9\\x.txt", 14, dst.data()), 6);
    EXPECT_EQ(Stored(dst.data()), u"C:\\Jos");
}

TEST(MultibyteToLinkText, NeverStoresMoreThanTheCharacterLimit) {
    std::vector<LinkTextUnit> dst(8, 9);
    EXPECT_EQ(MultibyteToLinkText("abcdef", 3, dst.data()), 3);
    EXPECT_EQ(Stored(dst.data()), u"abc");
    EXPECT_EQ(dst[4], 9);
}

}  // namespace
