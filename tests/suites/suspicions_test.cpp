// SPDX-License-Identifier: MIT
// What looks wrong in a link: each row a link built byte by byte and the warning codes it
// must raise, in order, beside a neighbouring link that must not raise them; then one
// malicious-looking link through shortcut_inspect.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/layout.h"
#include "link_builder.h"
#include "records.h"
#include "structure_builders.h"
#include "test_support.h"

namespace {

namespace sr = link_format;
using Codes = std::vector<std::string>;

const Bytes kNotepad = NotepadItemList();  // C:\WINDOWS\notepad.exe

LinkBuilder ToNotepad() { return LinkBuilder().IdList(kNotepad); }

Bytes WithBlock(LinkBuilder link, const Bytes& block) { return link.Tail(Bytes(block).Append(TerminalBlock())).Build(); }

Bytes EnvironmentBlock(const std::u16string& target) {
    return Block(sr::kEnvironmentVariableDataBlock, AnsiAndUnicodeBody("", target));
}

Bytes LocalLinkInfo(const std::string& base, const std::string& suffix) {
    return LinkInfoOf({VolumeId(3, 0x1234, ""), base, std::nullopt, suffix, std::nullopt, std::nullopt});
}

Bytes ToFile(const std::u16string& longName) {
    return ItemList({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x32, "A~1.EXE", longName)});
}

// A Control Panel applet item in its code-page form: the "signature" 0xFFFFFFFF, the name's
// and the comments' offsets after the path, then the three texts.
Bytes AppletItem(const std::string& path) {
    const std::string name = "Applet";
    const auto nameAt = static_cast<std::uint16_t>(path.size() + 1);
    return Item(0x00, Bytes{0x00}.U32(0xFFFFFFFF).U16(nameAt).U16(static_cast<std::uint16_t>(nameAt + name.size() + 1))
                          .TextZ(path).TextZ(name).TextZ("comments"));
}

TEST(Suspicions, AreRaisedExactlyWhenTheirRuleHolds) {
    const std::u16string spaces15(15, u' ');
    const struct {
        const char* what;
        Bytes link;
        Codes codes;
        const char* message = "";  // a part of the first warning's message
    } rows[] = {
        {"arguments with a line feed", LinkBuilder().Arguments(u"/c calc\nstart notepad").Build(), {"hidden_arguments"}, "(U+000A)"},
        {"arguments with a carriage return", LinkBuilder().Arguments(u"a\rb").Build(), {"hidden_arguments"}},
        {"arguments with 16 spaces", LinkBuilder().Arguments(u"a" + spaces15 + u" b").Build(), {"hidden_arguments"}, "run of 16"},
        {"arguments with 15 spaces", LinkBuilder().Arguments(u"a" + spaces15 + u"b").Build(), {}},
        {"arguments padded with ideographic spaces and tabs",
         LinkBuilder().Arguments(u"x" + std::u16string(8, u'\u3000') + std::u16string(8, u'\t') + u"y").Build(), {"hidden_arguments"}},
        {"a description with line breaks and tabs", LinkBuilder().Description(u"one\ttwo\r\nthree").Build(), {}},
        {"a description with a right-to-left override", LinkBuilder().Description(u"invoice\u202Efdp.exe").Build(),
         {"deceptive_characters"}, "U+202E"},
        {"a long description with a right-to-left override after 40 characters",
         LinkBuilder().Description(std::u16string(40, u'a') + u"\u202Efdp.exe" + std::u16string(30, u'b')).Build(), {"deceptive_characters"}},
        {"a bell as the 17th byte of a text", LinkBuilder().Description(std::u16string(16, u'a') + u"\a" + std::u16string(20, u'b')).Build(),
         {"deceptive_characters"}, "U+0007"},
        {"a long description without one", LinkBuilder().Description(std::u16string(100, u'a') + u"\u00E9\u4E2D").Build(), {}},
        {"a working directory with a zero-width space", LinkBuilder().WorkingDir(u"C:\\Win\u200Bdows").Build(), {"deceptive_characters"}},
        {"arguments with a vertical tab: a line break and a control", LinkBuilder().Arguments(u"a\vb").Build(),
         {"deceptive_characters", "hidden_arguments"}},
        {"a long name with a left-to-right isolate",
         LinkBuilder().IdList(ItemList({RootItem(), VolumeItem("C:\\"), FileEntryWithLongName(0x32, "A", u"a\u2066b")})).Build(),
         {"deceptive_characters"}},
        {"a local base path with a bell", LinkBuilder().LinkInfo(LocalLinkInfo("C:\\a\x07.exe", "")).Build(), {"deceptive_characters"}},
        {"an environment target with a byte-order mark",
         WithBlock(LinkBuilder().MoreFlags(sr::kHasExpString), EnvironmentBlock(u"\uFEFF%TEMP%\\a.exe")), {"deceptive_characters"}},
        {"arguments of 261 characters", LinkBuilder().Arguments(std::u16string(261, u'a')).Build(), {"long_string"}, "261 characters"},
        {"a description of 260 characters", LinkBuilder().Description(std::u16string(260, u'a')).Build(), {}},
        {"an environment target naming another file than the ID list",
         WithBlock(ToNotepad().MoreFlags(sr::kHasExpString), EnvironmentBlock(u"%windir%\\calc.exe")),
         {"environment_target_mismatch"}, "\"%windir%\\calc.exe\""},
        {"an environment target naming the same file in other case",
         WithBlock(ToNotepad().MoreFlags(sr::kHasExpString), EnvironmentBlock(u"%WINDIR%\\NOTEPAD.EXE")), {}},
        {"an environment target like the ID list, unlike the LinkInfo",
         WithBlock(ToNotepad().LinkInfo(LocalLinkInfo("C:\\Windows\\", "calc.exe")).MoreFlags(sr::kHasExpString),
                   EnvironmentBlock(u"%windir%\\notepad.exe")),
         {"target_mismatch", "environment_target_mismatch"}},
        {"an ID list and a LinkInfo that differ",
         ToNotepad().LinkInfo(LocalLinkInfo("C:\\Windows\\calc.exe", "")).Build(), {"target_mismatch"}},
        {"an ID list and a LinkInfo alike but for case, the suffix joined with a backslash",
         ToNotepad().LinkInfo(LocalLinkInfo("c:\\windows", "NOTEPAD.EXE")).Build(), {}},
        {"an icon on a file share", LinkBuilder().IconLocation(u"\\\\attacker\\share\\icon.ico").Build(), {"remote_icon"}, "UNC path"},
        {"an icon on a share written with slashes", LinkBuilder().IconLocation(u"//attacker/share/icon.ico").Build(), {"remote_icon"}},
        {"an icon at a URL", LinkBuilder().IconLocation(u"https://attacker.example/icon.ico").Build(), {"remote_icon"}, "a URL"},
        {"an icon environment target on a file share",
         WithBlock(LinkBuilder().MoreFlags(sr::kHasExpIcon),
                   Block(sr::kIconEnvironmentDataBlock, AnsiAndUnicodeBody("\\\\host\\i.ico", u""))), {"remote_icon"}},
        {"a local icon", LinkBuilder().IconLocation(u"%SystemRoot%\\System32\\shell32.dll").Build(), {}},
        {"bytes after the terminal block", LinkBuilder().Tail(TerminalBlock().Text("MZ\x90")).Build(), {"trailing_data"}, "3 bytes"},
        {"a terminal block and nothing after it", LinkBuilder().Tail(TerminalBlock()).Build(), {}},
        {"a signature the format leaves unassigned", WithBlock(LinkBuilder(), Block(0xA000000A, Bytes().U32(0))), {"unknown_block"}},
        {"a block three times",
         LinkBuilder().Tail(Bytes().Append(Block(sr::kConsoleFeDataBlock, Bytes().U32(1))).Append(Block(sr::kConsoleFeDataBlock, Bytes().U32(2)))
                                   .Append(Block(sr::kConsoleFeDataBlock, Bytes().U32(3))).Append(TerminalBlock())).Build(),
         {"duplicate_block", "duplicate_block"}},
        {"blocks without the flags that announce them",
         LinkBuilder().Tail(Bytes().Append(EnvironmentBlock(u"%TEMP%\\a.exe")).Append(Block(sr::kDarwinDataBlock, AnsiAndUnicodeBody("d", u"d")))
                                   .Append(Block(sr::kIconEnvironmentDataBlock, AnsiAndUnicodeBody("i.ico", u"")))
                                   .Append(Block(sr::kShimDataBlock, Bytes().Units(u"WinXP").Zeros(118))).Append(TerminalBlock())).Build(),
         {"flag_mismatch", "flag_mismatch", "flag_mismatch", "flag_mismatch"}, "HasExpString"},
        {"blocks with them",
         LinkBuilder().MoreFlags(sr::kHasExpString | sr::kRunWithShimLayer)
             .Tail(Bytes().Append(EnvironmentBlock(u"%TEMP%\\a.exe")).Append(Block(sr::kShimDataBlock, Bytes().Units(u"WinXP").Zeros(118)))
                       .Append(TerminalBlock())).Build(),
         {}},
        {"a LinkInfo that ForceNoLinkInfo says to ignore",
         LinkBuilder().LinkInfo(LocalLinkInfo("C:\\a.exe", "")).MoreFlags(sr::kForceNoLinkInfo).Build(), {"flag_mismatch"}, "ForceNoLinkInfo"},
        {"an ID list path ending in a dot", LinkBuilder().IdList(ToFile(u"calc.exe.")).Build(), {"non_canonical_target"}, "ends in a dot"},
        {"an ID list path ending in a space", LinkBuilder().IdList(ToFile(u"calc.exe ")).Build(), {"non_canonical_target"}, "a space"},
        {"an ID list path ending in a file's name", LinkBuilder().IdList(ToFile(u"calc.exe")).Build(), {}},
        {"a file entry holding a whole path",
         LinkBuilder().IdList(ToFile(u"C:\\Windows\\calc.exe")).Build(), {"non_canonical_target"}, "holds a path separator"},
        {"a LinkInfo target ending in a dot", LinkBuilder().LinkInfo(LocalLinkInfo("C:\\a.exe.", "")).Build(), {"non_canonical_target"}},
        {"an environment target ending in a space",
         WithBlock(LinkBuilder().MoreFlags(sr::kHasExpString), EnvironmentBlock(u"%windir%\\cmd.exe ")), {"non_canonical_target"}},
        {"a namespace name ending in dots",
         LinkBuilder().IdList(ItemList({Item(0x1F, Bytes{0x50}.Append(GuidBytes("{2559A1F3-21D7-11D4-BDAF-00C04F60B9F0}")))})).Build(), {}},
        {"a Control Panel applet that loads a DLL",
         LinkBuilder().IdList(ItemList({RootItem(), AppletItem("C:\\Users\\a\\evil.dll")})).Build(), {"control_panel_file"}, "not a .cpl"},
        {"a Control Panel applet on a share",
         LinkBuilder().IdList(ItemList({RootItem(), AppletItem("\\\\host\\share\\a.cpl")})).Build(), {"control_panel_file"}, "remote"},
        {"a Control Panel applet's .CPL file",
         LinkBuilder().IdList(ItemList({RootItem(), AppletItem("C:\\Windows\\System32\\imdisk.CPL")})).Build(), {}},
        {"arguments run minimised", LinkBuilder().Arguments(u"-w hidden").HeaderBytes(0x3C, Bytes().U32(7)).Build(), {"minimized_window"}},
        {"minimised without arguments", LinkBuilder().HeaderBytes(0x3C, Bytes().U32(7)).Build(), {}},
        {"arguments in a normal window", LinkBuilder().Arguments(u"-w hidden").Build(), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const nlohmann::json record = Record(row.link);
        ASSERT_TRUE(record.is_object());
        EXPECT_EQ(WarningCodes(record), row.codes);
        if (!row.codes.empty()) {
            const std::string message = record["warnings"][0]["message"];
            EXPECT_NE(message.find(row.message), std::string::npos) << message;
        }
    }
}

// Arguments of more than 260 characters padded with white space and a line break, a right-to-left override in the name, an
// icon fetched from a share, a minimised window, an unknown block and a payload after the
// terminal block: every trick named, each value decoded as it is, and status 0.
TEST(Suspicions, NameEveryTrickOfAMaliciousLookingLinkThroughTheCommand) {
    const std::u16string arguments = u"/c" + std::u16string(300, u' ') + u"\npowershell -enc SQBFAFgA";
    const Bytes link = ToNotepad()
                           .Description(u"Invoice \u202Efdp.exe")
                           .Arguments(arguments)
                           .IconLocation(u"\\\\198.51.100.7\\share\\pdf.ico")
                           .HeaderBytes(0x3C, Bytes().U32(7))
                           .Tail(Bytes().Append(Block(0xA0001234, Bytes().Zeros(8))).Append(TerminalBlock()).Zeros(4096))
                           .Build();
    const TempFile file(link);
    const RunResult run = RunInspect({file.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const nlohmann::json record = ParseRecordLine(run.out);
    ASSERT_TRUE(record.is_object());
    EXPECT_EQ(WarningCodes(record), (Codes{"deceptive_characters", "long_string", "hidden_arguments", "remote_icon", "unknown_block",
                                           "minimized_window", "trailing_data"}));
    EXPECT_EQ(record["string_data"]["command_line_arguments"], "/c" + std::string(300, ' ') + "\npowershell -enc SQBFAFgA");
    EXPECT_EQ(record["trailing_data"]["size"], 4096);
    for (const auto& warning : record["warnings"]) {
        EXPECT_TRUE(warning["offset"].is_number()) << warning;
    }
}

}  // namespace
