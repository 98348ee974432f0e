// SPDX-License-Identifier: MIT
// The reader's own contract: headers it accepts or rejects, which sections it reads,
// and what its getters write.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <clocale>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link_builder.h"
#include <shortcut_reader/shortcut_file.h>
#include "link_fields.h"
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
    buffer[0] = '#';
    EXPECT_EQ(reader.GetDesc(buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(Getters, WriteNothingIntoANullBuffer) {
    const TempFile file(LinkBuilder().IdList(NotepadItemList()).Description(u"d").Build());
    const ShortcutFile reader(file.Path().c_str());
    EXPECT_EQ(reader.GetPath(nullptr), 0);
    EXPECT_EQ(reader.GetDesc(nullptr), 0);
}

TEST(Getters, ReturnTheBytesWritten) {
    const LinkFields fields = ReadWithShortcutFile(LinkBuilder().IdList(NotepadItemList()).Description(u"").Build());
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

// The locale only for the scope: the rest of the suite runs in "C".
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : set_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool IsSet() const { return set_; }

private:
    bool set_;
};

TEST(BoundedGetters, WriteWithinTheirSizeCutAtWholeCharactersAndReturnTheWholeLength) {
    struct Row {
        const char* parseLocale;
        const char* getLocale;
        const char* name;  // the item name that becomes the whole path
        std::size_t size;
        const char* written;
        int result;
    };
    const Row rows[] = {
        {"C", "C", "abc", 0, "", 3},         // nothing written at all
        {"C", "C", "abc", 1, "", 3},
        {"C", "C", "abc", 3, "ab", 3},       // one short
        {"C", "C", "abc", 4, "abc", 3},      // exact fit
        {"C", "C", "abc", 100, "abc", 3},
        {"C.UTF-8", "C.UTF-8", "x\xC3\xA9y", 0, "", 4},
        {"C.UTF-8", "C.UTF-8", "x\xC3\xA9y", 1, "", 4},
        {"C.UTF-8", "C.UTF-8", "x\xC3\xA9y", 3, "x", 4},  // the two-byte character does not fit
        {"C.UTF-8", "C.UTF-8", "x\xC3\xA9y", 4, "x\xC3\xA9", 4},
        {"C.UTF-8", "C.UTF-8", "x\xC3\xA9y", 5, "x\xC3\xA9y", 4},
        {"C.UTF-8", "C", "x\xC3\xA9y", 5, "x", -1},  // read back where it does not convert
        {"C.UTF-8", "C", "x\xC3\xA9y", 1, "", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.parseLocale) + " then " + row.getLocale + ", size " + std::to_string(row.size));
        const Bytes bytes = LinkBuilder().IdList(ItemList({RootItem(), Item(0x2F, Bytes().TextZ(row.name))})).Build();
        std::unique_ptr<ShortcutFile> reader;
        {
            const ScopedLocale locale(row.parseLocale);
            if (!locale.IsSet()) {
                GTEST_SKIP() << "no " << row.parseLocale << " locale";
            }
            ShortcutStatus status = ShortcutStatus::kFileError;
            reader = std::make_unique<ShortcutFile>(bytes.Begin(), bytes.Size(), status);
        }
        const ScopedLocale locale(row.getLocale);
        // One byte more than the getter is told, holding a mark that must stay.
        const std::unique_ptr<char[]> buffer(new char[row.size + 1]);
        std::memset(buffer.get(), '#', row.size + 1);
        EXPECT_EQ(reader->GetPath(row.size == 0 ? nullptr : buffer.get(), row.size), row.result);
        EXPECT_EQ(reader->GetPath(buffer.get(), row.size), row.result);
        EXPECT_EQ(std::string(buffer.get(), row.size == 0 ? 0 : std::strlen(buffer.get())), row.written);
        EXPECT_EQ(buffer[row.size], '#');  // nothing at or past size
    }
}

std::string CapturedStdout(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

static_assert(static_cast<int>(ShortcutStatus::kRead) == 0 && static_cast<int>(ShortcutStatus::kFileError) == 1 &&
                  static_cast<int>(ShortcutStatus::kNotAShortcut) == 2,
              "callers may store and compare the statuses as numbers");

TEST(StatusReaders, ReportEachOutcomeWithoutPrintingAndHoldNoTextAfterAFailure) {
    const TempFile link(LinkBuilder().IdList(NotepadItemList()).Description(u"d").Build());
    const TempFile notALink(LinkBuilder().HeaderSize(77).IdList(NotepadItemList()).Description(u"d").Build());
    const TempFile empty{Bytes()};
    const Bytes notALinkBytes = LinkBuilder().HeaderSize(77).IdList(NotepadItemList()).Build();
    const Bytes shortHeader{0x4C};
    using Make = std::function<std::unique_ptr<ShortcutFile>(ShortcutStatus&)>;
    const struct {
        const char* what;
        Make make;
        ShortcutStatus expected;
        const char* text;
    } rows[] = {
        {"a link", [&](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(link.Path().c_str(), s); },
         ShortcutStatus::kRead, ""},
        {"a missing file", [](ShortcutStatus& s) { return std::make_unique<ShortcutFile>("/nonexistent/x.lnk", s); },
         ShortcutStatus::kFileError, "File error"},
        {"a null path", [](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(nullptr, s); },
         ShortcutStatus::kFileError, "File error"},
        {"a file that is not a link", [&](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(notALink.Path().c_str(), s); },
         ShortcutStatus::kNotAShortcut, "Not a shortcut"},
        {"an empty file", [&](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(empty.Path().c_str(), s); },
         ShortcutStatus::kNotAShortcut, "Not a shortcut"},
        {"bytes that are not a link", [&](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(notALinkBytes.Begin(), notALinkBytes.Size(), s); },
         ShortcutStatus::kNotAShortcut, "Not a shortcut"},
        {"no bytes", [](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(nullptr, 0, s); },
         ShortcutStatus::kNotAShortcut, "Not a shortcut"},
        {"null bytes with a size", [](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(nullptr, 76, s); },
         ShortcutStatus::kNotAShortcut, "Not a shortcut"},
        {"a header cut after its size", [&](ShortcutStatus& s) { return std::make_unique<ShortcutFile>(shortHeader.Begin(), shortHeader.Size(), s); },
         ShortcutStatus::kRead, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ShortcutStatus status = ShortcutStatus::kRead;
        std::unique_ptr<ShortcutFile> reader;
        EXPECT_EQ(CapturedStdout([&] { reader = row.make(status); }), "");
        EXPECT_EQ(status, row.expected);
        EXPECT_STREQ(ShortcutStatusText(status), row.text);
        if (status != ShortcutStatus::kRead) {
            EXPECT_EQ(FieldsOf(*reader), LinkFields());
        }
    }
}

TEST(StatusReaders, CloseTheirFileSoThatManyCanBeHeldAtOnce) {
    const TempFile file(LinkBuilder().IdList(NotepadItemList()).Build());
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit low = limit;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<std::unique_ptr<ShortcutFile>> readers;
    int read = 0;
    for (int i = 0; i < 500; ++i) {
        ShortcutStatus status = ShortcutStatus::kFileError;
        readers.push_back(std::make_unique<ShortcutFile>(file.Path().c_str(), status));
        read += status == ShortcutStatus::kRead ? 1 : 0;
    }
    setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(read, 500);
    EXPECT_EQ(FieldsOf(*readers.back()).path, "C:\\WINDOWS\\notepad.exe");
}

TEST(Header, IsAcceptedWhenCutShortAfterItsSize) {
    EXPECT_TRUE(Empty(ReadWithShortcutFile(Bytes{0x4C})));
    EXPECT_TRUE(Empty(ReadWithShortcutFile(Bytes{0x4C, 0x00})));
    EXPECT_TRUE(Empty(ReadWithShortcutFile(Bytes{0x4C, 0x00, 0x00})));
    EXPECT_TRUE(Empty(ReadWithShortcutFile(LinkBuilder().Flags(0xFF).Build().Prefix(4))));
    EXPECT_TRUE(Empty(ReadWithShortcutFile(LinkBuilder().Flags(0xFF).Build().Prefix(75))));
}

TEST(Header, WithTheIdListFlagAndNothingAfterItGivesEmptyTexts) {
    EXPECT_TRUE(Empty(ReadWithShortcutFile(LinkBuilder().Flags(flag::kIdList).Build())));
    EXPECT_TRUE(Empty(ReadWithShortcutFile(LinkBuilder().Flags(flag::kIdList).Build().Append(Bytes{0x05}))));
}

TEST(Header, WithAnEmptyIdListGivesNoPath) {
    EXPECT_TRUE(Empty(ReadWithShortcutFile(LinkBuilder().IdList(Bytes()).Tail(NotepadItemList()).Build())));
}

TEST(Header, WithTheIdListFlagClearReadsNoList) {
    const Bytes link = LinkBuilder().Flags(0).Tail(Bytes().U16(NotepadItemList().Size16()).Append(NotepadItemList())).Build();
    EXPECT_TRUE(Empty(ReadWithShortcutFile(link)));
}

TEST(Header, IgnoresTheClassIdAndFlagsOutsideTheSections) {
    Bytes link = LinkBuilder().IdList(NotepadItemList()).Flags(0xFFFFFF81).Build();
    for (std::size_t offset = 4; offset < 20; ++offset) {
        link.Patch(offset, 0x77);  // LinkCLSID
    }
    EXPECT_EQ(ReadWithShortcutFile(link).path, "C:\\WINDOWS\\notepad.exe");
}

TEST(Header, ThatIsNotAShellLinkOrCannotBeOpenedEndsTheProcessWithStatusOne) {
    const TempFile wrongSize(LinkBuilder().HeaderSize(77).Build());
    EXPECT_EXIT(ShortcutFile reader(wrongSize.Path().c_str()), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(ShortcutFile reader("/nonexistent/link.lnk"), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(ShortcutFile reader(nullptr), testing::ExitedWithCode(1), "");
}

TEST(TargetPath, IsRebuiltFromAListAsWindowsWritesIt) {
    EXPECT_EQ(ReadWithShortcutFile(LinkBuilder().IdList(NotepadItemList()).Build()).path, "C:\\WINDOWS\\notepad.exe");
}

TEST(TargetPath, StaysWithinAListLongerThanTheFile) {
    const Bytes link = LinkBuilder().IdListClaiming(0xFFFF, NotepadItemList().Prefix(40)).Build();
    EXPECT_EQ(ReadWithShortcutFile(link).path, "C:\\");  // the rest reads as zero: a terminator
}

}  // namespace
