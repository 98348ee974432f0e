// SPDX-License-Identifier: MIT
// The forms timeline tools load, written from records built value by value: one link with
// every source of times, and texts that need quoting or escaping in each form.
#include <shortcut_reader/shell_link_timeline.h>

#include <gtest/gtest.h>

#include <string>

#include "structure_builders.h"

namespace {

using shell_link::FileTime;

// 2008-09-12T20:27:17.101Z, 2008-09-10T10:00:00Z, 2008-09-11T11:30:00.123456Z, ...
constexpr std::uint64_t kLinkModified = 128657248371010000;
constexpr std::uint64_t kLinkAccessed = 128655144000000000;
constexpr std::uint64_t kLinkBorn = 128656062001234560;
constexpr std::uint64_t kTargetCreated = 128753390450000000;   // 2009-01-02T03:04:05Z
constexpr std::uint64_t kTargetWritten = 129176032895000000;   // 2010-05-06T07:08:09.5Z
constexpr std::uint64_t kTargetAccessed = 129383136000000000;  // 2011-01-01T00:00:00Z
constexpr std::uint64_t kDroidTime = 128282656270000000;       // 2007-07-07T07:07:07Z

shell_link::Link EveryTimeSource() {
    shell_link::Link link;
    link.file = "C:\\Links\\a \"q\", b.lnk";
    link.size = 405;
    link.link_file = shell_link::LinkFile{FileTime{kLinkModified}, FileTime{kLinkAccessed}, std::nullopt,
                                          FileTime{kLinkBorn}, "0123456789abcdef0123456789abcdef", std::nullopt, std::nullopt};
    link.target.path = "C:\\Tools\\x|y%0A.exe";
    link.target.arguments = "-a\r\n-b";
    link.header.creation_time = FileTime{kTargetCreated};
    link.header.write_time = FileTime{kTargetWritten};
    link.header.access_time = FileTime{kTargetAccessed};
    link.header.file_size = 3827;
    link.header.file_attributes = shell_link::kFileAttributeArchive | shell_link::kFileAttributeReadonly;
    link.header.link_flags = shell_link::kHasLinkTargetIdList | shell_link::kHasArguments;
    shell_link::FileEntryItem entry;
    entry.short_name = "X.EXE";
    entry.long_name = "x.exe";
    entry.file_size = 3827;
    entry.modification_time = shell_link::DosDateTime{DosDateTime(2009, 1, 2, 3, 4, 6)};
    entry.mft_entry = 4242;
    entry.mft_sequence = 7;
    shell_link::IdList list;
    list.items.push_back(shell_link::Item{78, 20, 0x1F, shell_link::RootFolderItem{}});
    list.items.push_back(shell_link::Item{98, 60, 0x32, entry});
    list.path = "C:\\Tools\\x.exe";
    link.link_target_id_list = list;
    shell_link::LinkInfo info;
    info.volume_id = shell_link::VolumeId{shell_link::kDriveFixed, 0x1C2B3D4E, std::string("Sys")};
    info.local_base_path = "C:\\Tools\\x.exe";
    link.link_info = info;
    shell_link::TrackerBlock tracker;
    tracker.machine_id = "pc1";
    tracker.mac_address = "00:0C:29:AA:BB:CC";
    tracker.mac_vendor = "VMware, Inc.";
    tracker.droid_file_time = FileTime{kDroidTime};
    link.extra_data.push_back(shell_link::ExtraDataBlock{300, 0x60, shell_link::kTrackerDataBlock, tracker});
    link.warnings.push_back(shell_link::Warning{shell_link::WarningCode::kHiddenArguments, std::nullopt, "x"});
    return link;
}

TEST(Timeline, CsvHasLecmdsHeaderAndOneQuotedRowALink) {
    std::string out;
    shell_link::AppendCsvHeader(out);
    EXPECT_EQ(out.substr(0, 40), "SourceFile,SourceCreated,SourceModified,");
    EXPECT_EQ(std::count(out.begin(), out.end(), ','), 26);
    EXPECT_EQ(out.substr(out.size() - 20), "ExtraBlocksPresent\r\n");
    out.clear();
    const shell_link::Link link = EveryTimeSource();
    shell_link::AppendCsvRow(link, out);
    EXPECT_EQ(out,
              "\"C:\\Links\\a \"\"q\"\", b.lnk\",2008-09-11 11:30:00,2008-09-12 20:27:17,2008-09-10 10:00:00,"
              "2009-01-02 03:04:05,2010-05-06 07:08:09,2011-01-01 00:00:00,3827,,,"
              "FILE_ATTRIBUTE_READONLY|FILE_ATTRIBUTE_ARCHIVE,HasLinkTargetIDList|HasArguments,DRIVE_FIXED,1C2B-3D4E,Sys,"
              "C:\\Tools\\x.exe,,,\"-a\r\n-b\",C:\\Tools\\x.exe,4242,7,pc1,00:0C:29:AA:BB:CC,\"VMware, Inc.\","
              "2007-07-07 07:07:07,TrackerDataBlock\r\n");
    out.clear();
    shell_link::AppendCsvRow(link, out, true);
    EXPECT_NE(out.find(",2008-09-11 11:30:00.1234560,2008-09-12 20:27:17.1010000,"), std::string::npos) << out;
}

TEST(Timeline, CsvRowOfAFileThatIsNotALinkHoldsItsPathAndOwnTimesOnly) {
    shell_link::Link notLink;
    notLink.file = "notes.txt";
    notLink.status = shell_link::Status::kNotAShortcut;
    notLink.link_file.emplace().modified = FileTime{kLinkModified};
    std::string out;
    shell_link::AppendCsvRow(notLink, out);
    EXPECT_EQ(out, "notes.txt,,2008-09-12 20:27:17," + std::string(23, ',') + "\r\n");
}

TEST(Timeline, BodyFileHasALineForEachSourceOfTimesWithItsNameEscaped) {
    std::string out;
    shell_link::AppendBodyLines(EveryTimeSource(), out);
    const std::string md5 = "0123456789abcdef0123456789abcdef|";
    const std::string file = "C:\\\\Links\\\\a \"q\", b.lnk";
    EXPECT_EQ(out, md5 + file + " (link file times)|0|0|0|0|405|1221040800|1221251237|0|1221132600\n" +
                       md5 + file + " -> C:\\\\Tools\\\\x%7Cy%250A.exe (target times)|0|0|0|0|3827|1293840000|1273129689|0|1230865445\n" +
                       md5 + file + " -> x.exe (shell item times)|0|0|0|0|3827|0|1230865446|0|0\n" +
                       md5 + file + " -> C:\\\\Tools\\\\x%7Cy%250A.exe (tracker droid time)|0|0|0|0|0|0|0|0|1183792027\n");
    shell_link::Link unreadable;
    unreadable.file = "gone.lnk";
    unreadable.status = shell_link::Status::kFileError;
    out.clear();
    shell_link::AppendBodyLines(unreadable, out);
    EXPECT_EQ(out, "");
}

TEST(Timeline, TimesketchHasALineForEachTimeWithTheThreeFieldsTimesketchRequires) {
    std::string out;
    shell_link::AppendTimesketchLines(EveryTimeSource(), out);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 3 + 3 + 1 + 1);
    const std::string first = out.substr(0, out.find('\n'));
    EXPECT_EQ(first,
              "{\"message\":\"Link file accessed: C:\\\\Links\\\\a \\\"q\\\", b.lnk\",\"datetime\":\"2008-09-10T10:00:00.000000+00:00\","
              "\"timestamp\":1221040800000000,\"timestamp_desc\":\"Link file accessed\",\"file\":\"C:\\\\Links\\\\a \\\"q\\\", b.lnk\","
              "\"target_path\":\"C:\\\\Tools\\\\x|y%0A.exe\",\"arguments\":\"-a\\r\\n-b\",\"machine_id\":\"pc1\","
              "\"mac_address\":\"00:0C:29:AA:BB:CC\",\"container_path\":null,\"app_id\":null,\"warnings\":[\"hidden_arguments\"]}");
    EXPECT_NE(out.find("\"datetime\":\"2008-09-11T11:30:00.123456+00:00\",\"timestamp\":1221132600123456,"
                       "\"timestamp_desc\":\"Link file created\""),
              std::string::npos);
    EXPECT_NE(out.find("\"message\":\"Shell item modified: C:\\\\Links\\\\a \\\"q\\\", b.lnk -> x.exe\""), std::string::npos);
    EXPECT_NE(out.find("\"timestamp_desc\":\"Tracker droid created\""), std::string::npos);
}

}  // namespace
