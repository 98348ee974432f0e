// SPDX-License-Identifier: MIT
// Names of well-known GUIDs and numbers: known keys, keys the tables lack or leave
// unnamed, and each generated table's first and last row, where its search ends.
#include <gtest/gtest.h>

#include <cstdint>

#include "format/well_known.h"
#include "structure_builders.h"

namespace {

namespace sr = link_format;

constexpr const char* kUnknownGuid = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
constexpr const char* kZeroButLastByte = "{00000000-0000-0000-0000-000000000001}";
constexpr const char* kAllOnes = "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}";  // the last first-byte bucket

TEST(WellKnownNames, NamesGuidsOfEachTable) {
    using Lookup = const char* (*)(const unsigned char*);
    const struct {
        Lookup lookup;
        const char* guid;
        const char* name;  // null: none
    } rows[] = {
        {sr::ShellFolderName, "{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "My Computer"},
        {sr::ShellFolderName, "{20D04FE0-3AEA-1069-A2D8-08002B30309E}", nullptr},  // its last byte differs
        {sr::ShellFolderName, "{00021400-0000-0000-C000-000000000046}", "Desktop"},          // first row
        {sr::ShellFolderName, "{863AA9FD-42DF-457B-8E4D-0DE1B8015C60}", "Remote Printers"},  // last row
        {sr::ShellFolderName, "{FBEB8A05-BEEE-4442-804E-409D6C4515E9}", "CLSID_CDBurn"},     // no name: symbol
        {sr::ShellFolderName, "{1BEF2128-2F96-4500-BA7C-098DC0049CB2}", "CLSID_DBFolderBoth"},  // class name
        {sr::ShellFolderName, "{3ADD1653-EB32-4CB0-BBD7-DFA0ABB5ACCA}", "Pictures"},  // observed
        {sr::ShellFolderName, "{A8CDFF1C-4878-43BE-B5FD-F8091C1C60D0}", "Documents"},
        {sr::ShellFolderName, kUnknownGuid, nullptr},
        {sr::ShellFolderName, kZeroButLastByte, nullptr},
        {sr::ShellFolderName, kAllOnes, nullptr},
        {sr::KnownFolderName, "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", "Documents"},
        {sr::KnownFolderSymbol, "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", "FOLDERID_Documents"},
        {sr::KnownFolderName, "{BD85E001-112E-431E-983B-7B15AC09FFF1}", nullptr},  // first row: no name
        {sr::KnownFolderSymbol, "{BD85E001-112E-431E-983B-7B15AC09FFF1}", "FOLDERID_RecordedTV"},
        {sr::KnownFolderName, "{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", "Saved Games"},  // last row
        {sr::KnownFolderSymbol, "{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", "FOLDERID_SavedGames"},
        {sr::KnownFolderName, "{10C07CD0-EF91-4567-B850-448B77CB37F9}", "DpapiKeys"},
        {sr::KnownFolderSymbol, "{10C07CD0-EF91-4567-B850-448B77CB37F9}", nullptr},  // no symbol
        {sr::KnownFolderName, kUnknownGuid, nullptr},
        {sr::KnownFolderSymbol, kZeroButLastByte, nullptr},
        {sr::KnownFolderName, kAllOnes, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.guid);
        EXPECT_STREQ(row.lookup(GuidBytes(row.guid).Begin()), row.name);
    }
}

TEST(WellKnownNames, NamesControlPanelItems) {
    const struct {
        const char* guid;
        bool found;
        const char* name;
        const char* canonicalName;
    } rows[] = {
        {"{C555438B-3C23-4769-A71F-B6D3D9B6053A}", true, "Display", "Microsoft.Display"},
        {"{38A98528-6CBF-4CA9-8DC0-B1E1D10F7B1B}", true, "View Available Networks", nullptr},
        {"{F942C606-0914-47AB-BE56-1321B8035096}", true, "Storage Spaces", "Microsoft.StorageSpaces"},  // first
        {"{9FE63AFD-59CF-4419-9775-ABCC3849F861}", true, "Recovery", "Microsoft.Recovery"},            // last
        {"{7A9D77BD-5403-11D2-8785-2E0420524153}", false, nullptr, nullptr},  // a row with neither name
        {kUnknownGuid, false, nullptr, nullptr},
        {kZeroButLastByte, false, nullptr, nullptr},
        {kAllOnes, false, nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.guid);
        const sr::ControlPanelNames* const names = sr::ControlPanelItemNames(GuidBytes(row.guid).Begin());
        ASSERT_EQ(names != nullptr, row.found);
        if (names != nullptr) {
            EXPECT_STREQ(names->name, row.name);
            EXPECT_STREQ(names->canonical_name, row.canonicalName);
        }
    }
}

TEST(WellKnownNames, NamesNumbers) {
    using Lookup = const char* (*)(std::uint32_t);
    const struct {
        Lookup lookup;
        std::uint32_t value;
        const char* name;
    } rows[] = {
        {sr::ControlPanelCategoryName, 0, "All Control Panel Items"},
        {sr::ControlPanelCategoryName, 1, "Appearance and Personalization"},
        {sr::ControlPanelCategoryName, 11, "Mobile PC"},
        {sr::ControlPanelCategoryName, 12, nullptr},
        {sr::ControlPanelCategoryName, 0xFFFFFFFF, nullptr},
        {sr::CsidlSymbol, 5, "CSIDL_PERSONAL"},
        {sr::CsidlSymbol, 0, "CSIDL_DESKTOP"},    // first row
        {sr::CsidlSymbol, 62, "CSIDL_PROFILES"},  // last row
        {sr::CsidlSymbol, 12, nullptr},           // a gap between rows
        {sr::CsidlSymbol, 63, nullptr},
        {sr::CsidlSymbol, 0xFFFF, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_STREQ(row.lookup(row.value), row.name);
    }
}

TEST(WellKnownNames, NamesProperties) {
    const struct {
        const char* formatId;
        std::uint32_t id;
        const char* name;
    } rows[] = {
        {"{B725F130-47EF-101A-A5F1-02608C9EEBAC}", 10, "System.ItemNameDisplay"},
        {"{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", 5, "System.AppUserModel.ID"},
        {"{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", 2, "System.AppUserModel.RelaunchCommand"},  // first of its set
        {"{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", 40, "System.AppUserModel.IsSystemComponent"},  // last
        {"{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", 24, nullptr},  // a gap in its set
        {"{9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}", 41, nullptr},
        {"{00000000-0000-0000-0000-000000000000}", 0, "System.Null"},          // first row
        {"{8727CFFF-4868-4EC6-AD5B-81B98521D1AB}", 100, "System.GPS.Latitude"},  // last row
        {"{46588AE2-4CBC-4338-BBFC-139326986DCE}", 0, nullptr},  // no name in the table
        {"{46588AE2-4CBC-4338-BBFC-139326986DCE}", 4, "SID"},  // credited to forensic practice
        {"{B725F130-47EF-101A-A5F1-02608C9EEBAC}", 0xFFFFFFFF, nullptr},
        {kUnknownGuid, 10, nullptr},
        {kZeroButLastByte, 0, nullptr},
        {kAllOnes, 0, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.formatId << ", " << row.id);
        EXPECT_STREQ(sr::PropertyCanonicalName(GuidBytes(row.formatId).Begin(), row.id), row.name);
    }
}

TEST(WellKnownNames, NullGuidHasNoName) {
    EXPECT_EQ(sr::ShellFolderName(nullptr), nullptr);
    EXPECT_EQ(sr::KnownFolderName(nullptr), nullptr);
    EXPECT_EQ(sr::KnownFolderSymbol(nullptr), nullptr);
    EXPECT_EQ(sr::ControlPanelItemNames(nullptr), nullptr);
    EXPECT_EQ(sr::PropertyCanonicalName(nullptr, 10), nullptr);
}

}  // namespace
