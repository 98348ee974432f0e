// SPDX-License-Identifier: MIT
// shortcut_dump end to end: exact standard output, nothing on standard error, and the
// exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "link_builder.h"
#include "test_support.h"

namespace {

const std::string kEmptyFields = DumpLines("", "", "", "");

RunResult DumpBytes(const Bytes& bytes) {
    const TempFile file(bytes);
    return RunDump({file.Path()});
}

void ExpectError(const RunResult& run, const std::string& line) {
    EXPECT_EQ(run.out, line + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 1);
}

void ExpectPrinted(const RunResult& run, const std::string& out) {
    EXPECT_EQ(run.out, out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
}

TEST(DumpErrors, ReportAFileThatCannotBeOpened) {
    ExpectError(RunDump({"/nonexistent/link.lnk"}), "File error");
    ExpectError(RunDump({}), "File error");
}

TEST(DumpErrors, ReportAFileWithoutPermissionToRead) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    const TempFile file(LinkBuilder().Build());
    chmod(file.Path().c_str(), 0);
    ExpectError(RunDump({file.Path()}), "File error");
}

TEST(DumpErrors, ReportAHeaderThatIsNotAShellLink) {
    ExpectError(DumpBytes(Bytes()), "Not a shortcut");
    ExpectError(DumpBytes(LinkBuilder().HeaderSize(77).Build()), "Not a shortcut");
    ExpectError(DumpBytes(Bytes{0x4D}), "Not a shortcut");
    ExpectError(DumpBytes(Bytes{0x4C, 0x01}), "Not a shortcut");
    ExpectError(DumpBytes(Bytes().Text("MZ\x90")), "Not a shortcut");
}

TEST(DumpErrors, ReportADirectoryAsOneOfTheTwoErrors) {
    const RunResult run = RunDump({"/"});
    EXPECT_TRUE(run.out == "File error\n" || run.out == "Not a shortcut\n") << run.out;
    EXPECT_EQ(run.status, 1);
}

TEST(DumpOutput, PrintsEightLinesWithEmptyFieldsForAHeaderAlone) {
    ExpectPrinted(DumpBytes(LinkBuilder().Build()), "\nGetPath :\n\nGetWorkDir :\n\nGetDesc: \n\nGetPathRel :\n");
    ExpectPrinted(DumpBytes(Bytes{0x4C}), kEmptyFields);
    ExpectPrinted(DumpBytes(Bytes{0x4C, 0x00}), kEmptyFields);
    ExpectPrinted(DumpBytes(Bytes{0x4C, 0x00, 0x00}), kEmptyFields);
}

TEST(DumpOutput, PrintsTheTargetPathOfALinkAsWindowsWritesIt) {
    ExpectPrinted(DumpBytes(LinkBuilder().IdList(NotepadItemList()).Build()), DumpLines("C:\\WINDOWS\\notepad.exe", "", "", ""));
}

TEST(DumpOutput, PrintsThePathAndTheThreeStrings) {
    const LinkBuilder strings = LinkBuilder().Description(u"Desc").RelativePath(u".\\rel").WorkingDir(u"C:\\Work");
    const std::string expected = "\n"
                                 "GetPath :C:\\\n"
                                 "\n"
                                 "GetWorkDir :C:\\Work\n"
                                 "\n"
                                 "GetDesc: Desc\n"
                                 "\n"
                                 "GetPathRel :.\\rel\n";
    ExpectPrinted(DumpBytes(LinkBuilder(strings).IdList(CDriveItemList()).Build()), expected);
    ExpectPrinted(DumpBytes(strings.Build()), DumpLines("", "C:\\Work", "Desc", ".\\rel"));
}

TEST(DumpOutput, PrintsLineBreaksInAFieldAsTheyAre) {
    ExpectPrinted(DumpBytes(LinkBuilder().Description(u"first\nsecond\r\n\tthird").Build()),
                  DumpLines("", "", "first\nsecond\r\n\tthird", ""));
}

TEST(DumpOutput, PrintsTheLongestStringWhole) {
    const std::string longest(65535, 'w');
    ExpectPrinted(DumpBytes(LinkBuilder().WorkingDir(std::u16string(65535, u'w')).RelativePath(u"r").Build()),
                  DumpLines("", longest, "", "r"));
}

TEST(DumpOutput, PrintsTheConvertedPrefixOfAPathOutsideAscii) {
    const Bytes list = ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "Jos\xE9"), FileEntryItem(0x32, "x.txt")});
    ExpectPrinted(DumpBytes(LinkBuilder().IdList(list).Build()), DumpLines("C:\\Jos", "", "", ""));
}

TEST(DumpOutput, IgnoresFurtherArguments) {
    const TempFile file(LinkBuilder().IdList(NotepadItemList()).Build());
    ExpectPrinted(RunDump({file.Path(), "/nonexistent", "--help"}), DumpLines("C:\\WINDOWS\\notepad.exe", "", "", ""));
}

TEST(DumpOutput, FailsWhenStandardOutputCannotBeWritten) {
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    const TempFile file(LinkBuilder().IdList(NotepadItemList()).Build());
    const RunResult run = RunDump({file.Path()}, "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
}

}  // namespace
