// SPDX-License-Identifier: MIT
// The tracker's MAC addresses: the kind of each, and the organisation the IEEE registry
// gives, from registry files each case writes for itself (walked both ways: with AVX2
// where the machine has it, and the portable way), or from the installed ieee-data when
// it is there; and the Link of a tracker whose birth identifier names a machine too.
#include <gtest/gtest.h>

#include <shortcut_reader/shell_link.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "link_builder.h"
#include "shell_link/mac_vendor.h"
#include "structure_builders.h"
#include "test_support.h"

namespace {

namespace sl = shell_link;
using sl::detail::MacAddress;
using sl::detail::MacKind;
using sl::detail::MacVendorRegistry;

constexpr char kHeader[] = "Registry,Assignment,Organization Name,Organization Address\n";
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// "00:13:72:16:87:4A" as octets.
MacAddress Mac(const char* text) {
    unsigned octets[6] = {};
    EXPECT_EQ(std::sscanf(text, "%x:%x:%x:%x:%x:%x", &octets[0], &octets[1], &octets[2], &octets[3], &octets[4],
                          &octets[5]),
              6)
        << text;
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) {
        mac[i] = static_cast<std::uint8_t>(octets[i]);
    }
    return mac;
}

TEST(MacKinds, PutTheHypervisorsPrefixesBeforeTheFirstOctetsBits) {
    const struct {
        const char* mac;
        const char* kind;
    } rows[] = {
        {"00:05:69:00:00:01", "virtual_machine"},  // VMware
        {"00:0C:29:2F:65:9F", "virtual_machine"},
        {"00:1C:14:00:00:01", "virtual_machine"},
        {"00:50:56:C0:00:08", "virtual_machine"},
        {"08:00:27:5F:3A:1C", "virtual_machine"},  // VirtualBox
        {"0A:00:27:00:00:00", "virtual_machine"},  // its host-only adapter: locally administered
        {"00:15:5D:01:6D:02", "virtual_machine"},  // Hyper-V
        {"00:03:FF:12:34:56", "virtual_machine"},  // Virtual PC
        {"00:1C:42:00:00:08", "virtual_machine"},  // Parallels
        {"00:16:3E:11:22:33", "virtual_machine"},  // Xen
        {"52:54:00:EE:B6:05", "virtual_machine"},  // QEMU and KVM: locally administered
        {"52:54:01:EE:B6:05", "locally_administered"},
        {"00:0C:28:00:00:00", "universal"},  // a neighbour of VMware's prefix
        {"01:00:5E:00:00:FB", "multicast"},
        {"33:33:00:00:00:01", "multicast"},
        {"FF:FF:FF:FF:FF:FF", "multicast"},
        {"03:00:00:00:00:01", "multicast"},  // group and local bits: multicast first
        {"02:00:4C:4F:4F:50", "locally_administered"},
        {"E6:BB:19:DE:5D:65", "locally_administered"},
        {"00:13:72:16:87:4A", "universal"},
        {"A4:34:D9:43:F3:63", "universal"},
        {"00:00:00:00:00:00", "universal"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(MacKind(Mac(row.mac)), row.kind) << row.mac;
    }
}

using Files = std::map<std::string, std::string>;

const std::string kOui = std::string(kHeader) +
                         "MA-L,002272,American Micro-Fuel Device Corp.,2181 Buchanan Loop Ferndale WA US 98248 \n"
                         "MA-L,001372,Dell Inc.,One Dell Way Round Rock TX US 78682 \n"
                         "MA-L,001C42,\"Parallels, Inc.\",660 SW 39h Street Renton WA US 98057 \n"
                         "MA-L,000B0C,\"The \"\"Best\"\" Co\",\"Main St, 1\"\n"
                         "MA-L,C404D8,Aviva Links Inc.,\"160 E Tasman Dr\nSTE 102 SAN JOSE CA US 95134 \"\n"
                         "MA-L,3CB07E,\"Arounds Intelligent Equipment Co., Ltd.\",\"Room 701~703,\n"
                         "Chenghua District Chengdu Sichuan CN 610000 \"\n"
                         "MA-L,00DDEE,\"Two\nLines\",addr\n"
                         "MA-L,E09F2A,Iton Technology Corp. ,\"Room 1302\"\n"
                         "MA-L,00aabc,Lower Case Digits,x\n"
                         "MA-L,001122,Caf\xE9 Ltd,Rue 1\n"
                         "MA-L,001123,Empty Address,\n"
                         "MA-L,001124,   ,blank name\n"
                         "MA-L,020000,Local Block,x\n"
                         "MA-L,010000,Group Block,x\n"
                         "MA-L,70B3D5,IEEE Registration Authority,445 Hoes Lane Piscataway NJ US 08554 \n"
                         "MA-L,0050C2,IEEE Registration Authority,445 Hoes Lane Piscataway NJ US 08554 \n"
                         "MA-L,741AE0,IEEE Registration Authority,445 Hoes Lane Piscataway NJ US 08554 \n"
                         "garbage\n"
                         "\n"
                         "MA-L,12345,Five Digits,x\n"
                         "MA-X,001125,Another Registry,x\n"
                         "MA-L,00112G,Not Hex,x\n"
                         "MA-L,001126\n"
                         "MA-L,001127,Windows Line End\r\n"
                         "MA-L,001128,After Them All,x\n"
                         "MA-L,001129,\"unclosed";
const std::string kMam = std::string(kHeader) +
                         "MA-M,741AE09,Private,\n"
                         "MA-M,741AE0A,\"Medium, Ltd\",Somewhere\n";
const std::string kOui36 = std::string(kHeader) +
                           "MA-S,70B3D5F2F,TELEPLATFORMS,\"Polbina st., 3/1 Moscow  RU 109388 \"\n"
                           "MA-S,70B3D5719,2M Technology,802 Greenview Drive  Grand Prairie TX US 75050 \n";
const std::string kIab = std::string(kHeader) + "IAB,0050C27D5,DEUTA-WERKE GmbH,Paffrather Strasse 140\n";
const Files kAllFiles = {{"oui.csv", kOui}, {"mam.csv", kMam}, {"oui36.csv", kOui36}, {"iab.csv", kIab}};

TEST(MacVendors, NameTheMostSpecificAssignmentOfTheRegistryFiles) {
    const struct {
        const char* what;
        Files files;
        const char* mac;
        std::optional<std::string> vendor;
    } rows[] = {
        {"an MA-L record", kAllFiles, "00:13:72:16:87:4A", "Dell Inc."},
        {"the first record", kAllFiles, "00:22:72:00:00:01", "American Micro-Fuel Device Corp."},
        {"a quoted name with a comma", kAllFiles, "00:1C:42:00:00:08", "Parallels, Inc."},
        {"a quoted name with doubled quotes", kAllFiles, "00:0B:0C:01:02:03", "The \"Best\" Co"},
        {"a record whose quoted address runs over two lines", kAllFiles, "C4:04:D8:00:00:01", "Aviva Links Inc."},
        {"the record after it", kAllFiles, "3C:B0:7E:00:00:01", "Arounds Intelligent Equipment Co., Ltd."},
        {"a quoted name of two lines", kAllFiles, "00:DD:EE:00:00:01", "Two\nLines"},
        {"trailing spaces go", kAllFiles, "E0:9F:2A:00:00:01", "Iton Technology Corp."},
        {"lower-case digits in the file", kAllFiles, "00:AA:BC:00:00:01", "Lower Case Digits"},
        {"a byte that is not UTF-8", kAllFiles, "00:11:22:00:00:01", std::string("Caf") + kReplacement + " Ltd"},
        {"an empty address", kAllFiles, "00:11:23:00:00:01", "Empty Address"},
        {"a name of spaces only", kAllFiles, "00:11:24:00:00:01", std::nullopt},
        {"a record without a name", kAllFiles, "00:11:26:00:00:01", std::nullopt},
        {"a line that ends with CR LF after the name", kAllFiles, "00:11:27:00:00:01", "Windows Line End"},
        {"a record after malformed lines", kAllFiles, "00:11:28:00:00:01", "After Them All"},
        {"a quote that never closes", kAllFiles, "00:11:29:00:00:01", std::nullopt},
        {"another registry's name is no MA-L record", kAllFiles, "00:11:25:00:00:01", std::nullopt},
        {"a prefix the files do not hold", kAllFiles, "00:00:01:00:00:01", std::nullopt},
        {"a locally administered address, though listed", kAllFiles, "02:00:00:00:00:01", std::nullopt},
        {"a multicast address, though listed", kAllFiles, "01:00:00:00:00:01", std::nullopt},
        {"an MA-S block of the authority", kAllFiles, "70:B3:D5:F2:F0:01", "TELEPLATFORMS"},
        {"another MA-S block", kAllFiles, "70:B3:D5:71:90:01", "2M Technology"},
        {"an IAB block", kAllFiles, "00:50:C2:7D:50:01", "DEUTA-WERKE GmbH"},
        {"an MA-M block", kAllFiles, "74:1A:E0:90:00:01", "Private"},
        {"a quoted MA-M name", kAllFiles, "74:1A:E0:A0:00:01", "Medium, Ltd"},
        {"an authority block no finer file lists", kAllFiles, "70:B3:D5:00:00:01", "IEEE Registration Authority"},
        {"an authority block without the finer files", {{"oui.csv", kOui}}, "70:B3:D5:F2:F0:01",
         "IEEE Registration Authority"},
        {"no registry files: the package is absent", {}, "00:13:72:16:87:4A", std::nullopt},
        {"only the finer files", {{"mam.csv", kMam}, {"oui36.csv", kOui36}}, "70:B3:D5:F2:F0:01", std::nullopt},
        {"an empty file", {{"oui.csv", ""}}, "00:13:72:16:87:4A", std::nullopt},
        {"a file of the header only", {{"oui.csv", kHeader}}, "00:13:72:16:87:4A", std::nullopt},
        {"a first line that is a record", {{"oui.csv", "MA-L,001372,No Header,x"}}, "00:13:72:00:00:00",
         "No Header"},
        {"a last record without a line feed", {{"oui.csv", std::string(kHeader) + "MA-L,001372,Last,"}},
         "00:13:72:00:00:00", "Last"},
        {"a name longer than a lookup takes is cut",
         {{"oui.csv", std::string(kHeader) + "MA-L,001372," + std::string(300, 'n') + ",x\n"}}, "00:13:72:00:00:00",
         std::string(256, 'n')},
    };
    for (const auto& row : rows) {
        TempDirectory directory;
        for (const auto& [name, text] : row.files) {
            directory.Write(name, text);
        }
        const MacVendorRegistry registry(directory.Path());
        EXPECT_EQ(registry.Vendor(Mac(row.mac)), row.vendor) << row.what;
    }
}

TEST(MacVendors, GrowTheirTableAndStopOnLinesOfOneKey) {
    // 5000 short records: more than the table first made for a file of this size holds.
    // Their prefixes are distinct, with the first octet's two low bits clear.
    const auto prefix = [](unsigned i) {
        const unsigned spread = i * 7919 % 0x400000;
        return (spread >> 16) << 18 | (spread & 0xFFFF);
    };
    std::string many = kHeader;
    char record[40];
    for (unsigned i = 0; i < 5000; ++i) {
        std::snprintf(record, sizeof record, "MA-L,%06X,N%u\n", prefix(i), i);
        many += record;
    }
    // Lines of one key, and another record after them.
    std::string same = kHeader;
    for (unsigned i = 0; i < 3000; ++i) {
        same += "MA-L,001372,Same,x\n";
    }
    same += "MA-L,001373,After,x\n";
    TempDirectory directory;
    directory.Write("oui.csv", many);
    const MacVendorRegistry registry(directory.Path());
    for (unsigned i = 0; i < 5000; ++i) {
        const unsigned block = prefix(i);
        const MacAddress mac{static_cast<std::uint8_t>(block >> 16), static_cast<std::uint8_t>(block >> 8),
                             static_cast<std::uint8_t>(block), 0, 0, 1};
        ASSERT_EQ(registry.Vendor(mac), "N" + std::to_string(i)) << i;
    }
    TempDirectory equal;
    equal.Write("oui.csv", same);
    const MacVendorRegistry equalKeys(equal.Path());
    EXPECT_EQ(equalKeys.Vendor(Mac("00:13:72:00:00:01")), "Same");
    EXPECT_EQ(equalKeys.Vendor(Mac("00:13:73:00:00:01")), "After");
    // So many lines of one key that the file is no registry: the walk stops at once,
    // however long the file, and nothing is found in it.
    std::string garbage = kHeader;
    garbage += "MA-L,001373,First,x\n";
    for (unsigned i = 0; i < 6000; ++i) {
        garbage += "MA-L,001372,Same,x\n";
    }
    TempDirectory flooded;
    flooded.Write("oui.csv", garbage);
    EXPECT_EQ(MacVendorRegistry(flooded.Path()).Vendor(Mac("00:13:73:00:00:01")), std::nullopt);
}

TEST(MacVendors, TakeNoDirectoryOrFifoForARegistryFile) {
    TempDirectory directory;
    ASSERT_EQ(mkdir((directory.Path() + "/oui.csv").c_str(), 0700), 0);
    EXPECT_EQ(MacVendorRegistry(directory.Path()).Vendor(Mac("00:13:72:16:87:4A")), std::nullopt);
    TempDirectory fifo;
    ASSERT_EQ(mkfifo((fifo.Path() + "/oui.csv").c_str(), 0600), 0);
    EXPECT_EQ(MacVendorRegistry(fifo.Path()).Vendor(Mac("00:13:72:16:87:4A")), std::nullopt);
}

TEST(MacVendors, ReadTheInstalledRegistryWhenThePackageIsThere) {
    if (access("/usr/share/ieee-data/oui.csv", R_OK) != 0) {
        GTEST_SKIP() << "ieee-data is not installed";
    }
    const MacVendorRegistry& installed = sl::detail::InstalledMacVendors();
    EXPECT_EQ(installed.Vendor(Mac("00:0C:29:2F:65:9F")), "VMware, Inc.");
    EXPECT_EQ(installed.Vendor(Mac("08:00:27:5F:3A:1C")), "PCS Systemtechnik GmbH");
    EXPECT_EQ(installed.Vendor(Mac("52:54:00:EE:B6:05")), std::nullopt);
}

sl::Link Read(const Bytes& bytes) {
    sl::CodePage codePage("CP1252");
    return sl::ReadLink(bytes.Begin(), bytes.Size(), codePage);
}

const sl::TrackerBlock& Tracker(const sl::Link& link) {
    const auto* tracker = sl::FindBlock<sl::TrackerBlock>(link);
    EXPECT_NE(tracker, nullptr);
    static const sl::TrackerBlock none;
    return tracker != nullptr ? *tracker : none;
}

Bytes TrackerLink(const std::string& droid, const std::string& birth) {
    const std::string volume = "{94C77840-FA47-46C7-B356-5C2DC6B6D115}";
    const Bytes body = Bytes().U32(0x58).U32(0).Text("chris-xps").Zeros(7).Append(GuidBytes(volume)).Append(GuidBytes(droid))
                           .Append(GuidBytes(volume)).Append(GuidBytes(birth));
    return LinkBuilder().Tail(Block(0xA0000003, body).Append(TerminalBlock())).Build();
}

TEST(TrackerBlocks, NameTheMachineOfTheBirthIdentifierToo) {
    const sl::Link link =
        Read(TrackerLink("{7BCD46EC-7F22-11DD-9499-00137216874A}", "{0F1E2D3C-1234-11E0-8000-525400ABCDEF}"));
    const sl::TrackerBlock& tracker = Tracker(link);
    EXPECT_EQ(tracker.mac_address, "00:13:72:16:87:4A");
    EXPECT_STREQ(tracker.mac_kind, "universal");
    EXPECT_EQ(tracker.mac_vendor, sl::detail::InstalledMacVendors().Vendor(Mac("00:13:72:16:87:4A")));
    ASSERT_TRUE(tracker.droid_file_time.has_value());
    EXPECT_EQ(tracker.droid_file_time->value, 0x01C9132F3D8A86ECU);
    EXPECT_EQ(tracker.birth_mac_address, "52:54:00:AB:CD:EF");
    EXPECT_STREQ(tracker.birth_mac_kind, "virtual_machine");
    EXPECT_EQ(tracker.birth_mac_vendor, std::nullopt);  // locally administered, whatever is installed
    ASSERT_TRUE(tracker.birth_droid_file_time.has_value());
    EXPECT_EQ(tracker.birth_droid_file_time->value, 129379811622350140U);
    EXPECT_TRUE(link.warnings.empty());
}

TEST(TrackerBlocks, SayWhichIdentifiersTimeLiesBefore1601) {
    const sl::Link link =
        Read(TrackerLink("{7BCD46EC-7F22-11DD-9499-00137216874A}", "{00000000-0000-1000-8000-00155D000001}"));
    const sl::TrackerBlock& tracker = Tracker(link);
    EXPECT_EQ(tracker.birth_mac_address, "00:15:5D:00:00:01");
    EXPECT_STREQ(tracker.birth_mac_kind, "virtual_machine");
    EXPECT_EQ(tracker.birth_droid_file_time, std::nullopt);
    ASSERT_EQ(link.warnings.size(), 1U);
    EXPECT_EQ(link.warnings[0].code, sl::WarningCode::kInvalidTime);
    EXPECT_EQ(link.warnings[0].offset, 76U + 0x50);
    EXPECT_NE(link.warnings[0].message.find("the droid birth file identifier's time lies before 1601"),
              std::string::npos)
        << link.warnings[0].message;
}

}  // namespace
