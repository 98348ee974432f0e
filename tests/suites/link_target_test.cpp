// SPDX-License-Identifier: MIT
// What a link runs: its strings read as Windows reads them (at most 260 characters of the
// first three, the next string right after them), and the target taken from each source
// in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "format/layout.h"
#include "link_builder.h"
#include "records.h"
#include "structure_builders.h"
#include "test_support.h"

namespace {

namespace sr = link_format;

struct CutString {
    const char* name;
    std::uint32_t flag;
    const char* key;
};
constexpr CutString kCutStrings[] = {
    {"NAME_STRING", sr::kHasName, "name_string"},
    {"RELATIVE_PATH", sr::kHasRelativePath, "relative_path"},
    {"WORKING_DIR", sr::kHasWorkingDir, "working_dir"},
};

// A counted string of count characters whose bytes hold only the first min(count, 260)
// of them, 'w' each, so that what follows is where Windows reads the next string.
Bytes StoredAsWindowsReadsIt(std::uint16_t count, bool unicode) {
    const std::size_t held = count < 260 ? count : 260;
    Bytes bytes;
    bytes.U16(count);
    return unicode ? bytes.Units(std::u16string(held, u'w')) : bytes.Text(std::string(held, 'w'));
}

Bytes Counted(const std::string& text, bool unicode) {
    Bytes bytes;
    bytes.U16(static_cast<std::uint16_t>(text.size()));
    return unicode ? bytes.Units(std::u16string(text.begin(), text.end())) : bytes.Text(text);
}

TEST(WindowsStrings, TakeAtMost260CharactersOfTheFirstThreeAndGoOnAfterThem) {
    for (const CutString& string : kCutStrings) {
        for (const bool unicode : {true, false}) {
            for (const std::uint16_t count : {std::uint16_t{259}, std::uint16_t{260}, std::uint16_t{261}, std::uint16_t{1693}}) {
                SCOPED_TRACE(std::string(string.name) + (unicode ? " in UTF-16, " : " in ANSI, ") + std::to_string(count));
                const std::uint32_t flags = string.flag | sr::kHasArguments | (unicode ? std::uint32_t{sr::kIsUnicode} : 0u);
                const Bytes link = LinkBuilder()
                                       .Flags(flags)
                                       .Tail(StoredAsWindowsReadsIt(count, unicode).Append(Counted("/c calc", unicode)).Append(TerminalBlock()))
                                       .Build();
                const nlohmann::json record = Record(link);
                const std::size_t kept = count < 260 ? count : 259;
                EXPECT_EQ(record["string_data"][string.key], std::string(kept, 'w'));
                EXPECT_EQ(record["string_data"]["command_line_arguments"], "/c calc");
                EXPECT_EQ(record["target"]["arguments"], "/c calc");
                if (count > 260) {
                    ASSERT_EQ(WarningCodes(record), std::vector<std::string>{"long_string"});
                    const std::string message = record["warnings"][0]["message"];
                    const std::uint64_t next = sr::kHeaderBytes + 2 + (unicode ? 520 : 260);
                    EXPECT_NE(message.find(std::to_string(count) + " characters: Windows reads 259 of them and the next "
                                                                    "string from offset " + std::to_string(next)),
                              std::string::npos)
                        << message;
                } else {
                    EXPECT_EQ(WarningCodes(record), std::vector<std::string>{});
                }
            }
        }
    }
}

TEST(WindowsStrings, ReadArgumentsAndIconLocationWholeAsCounted) {
    const std::string arguments(300, 'a');
    const std::string icon(270, 'i');
    const nlohmann::json record =
        Record(LinkBuilder().Arguments(std::u16string(arguments.begin(), arguments.end()))
                   .IconLocation(std::u16string(icon.begin(), icon.end()))
                   .Build());
    EXPECT_EQ(record["string_data"]["command_line_arguments"], arguments);
    EXPECT_EQ(record["string_data"]["icon_location"], icon);
    EXPECT_EQ(WarningCodes(record), (std::vector<std::string>{"long_string", "long_string"}));
    EXPECT_EQ(record["warnings"][0]["message"], "COMMAND_LINE_ARGUMENTS counts 300 characters, more than 260");
}

// The shape of a published malicious link: a WORKING_DIR counting 1,693 characters whose
// first 260 Windows reads, then the arguments it runs, then padding up to where a reader
// that takes the whole count finds "arguments" of its own and an icon location.
TEST(WindowsStrings, ReadAPaddedLinkAsWindowsRunsIt) {
    const std::u16string shown = u"C:\\Windows\\System32";
    const std::u16string command = u"/c \"set PATH=%windir%\\system32;%PATH% & (for /R %temp% %f in (*.js) do start %f)\"";
    Bytes strings;
    strings.U16(1693).Units(shown).Units(std::u16string(260 - shown.size(), u' '));
    strings.U16(static_cast<std::uint16_t>(command.size())).Units(command);
    const std::size_t padding = 1693 - 260 - 1 - command.size();  // units up to the whole count's end
    strings.Units(std::u16string(padding, u' '));
    // Where the whole count ends, two more counted strings: what a reader that takes the
    // whole count shows as the arguments and the icon location.
    const std::u16string decoy = u"C:\\Windows\\System32\\shell32.dll";
    strings.U16(static_cast<std::uint16_t>(decoy.size())).Units(decoy);
    strings.U16(static_cast<std::uint16_t>(decoy.size())).Units(decoy);
    const Bytes link = LinkBuilder()
                           .Flags(sr::kHasWorkingDir | sr::kHasArguments | sr::kHasIconLocation | sr::kIsUnicode)
                           .Tail(strings.Append(TerminalBlock()))
                           .Build();
    const nlohmann::json record = Record(link);
    EXPECT_EQ(record["string_data"]["working_dir"], "C:\\Windows\\System32" + std::string(259 - shown.size(), ' '));
    EXPECT_EQ(record["string_data"]["command_line_arguments"], std::string(command.begin(), command.end()));
    EXPECT_EQ(record["target"]["arguments"], std::string(command.begin(), command.end()));
    // Windows reads the padding's first unit as the icon location's count: 0x20 units.
    EXPECT_EQ(record["string_data"]["icon_location"], std::string(0x20, ' '));
    const std::vector<std::string> codes = WarningCodes(record);
    EXPECT_NE(std::find(codes.begin(), codes.end(), "long_string"), codes.end());
}

Bytes LocalLinkInfo(const std::string& base, const std::string& suffix) {
    return LinkInfoOf({VolumeId(3, 0x1234, ""), base, std::nullopt, suffix, std::nullopt, std::nullopt});
}

Bytes EnvironmentBlock(const std::string& ansi, const std::u16string& unicode) {
    return Block(sr::kEnvironmentVariableDataBlock, AnsiAndUnicodeBody(ansi, unicode));
}

TEST(LinkTarget, ComesFromTheFirstSourceThatHasAPath) {
    const Bytes notepad = NotepadItemList();  // C:\WINDOWS\notepad.exe
    // My Computer, then Control Panel ({21EC2020-3AEA-1069-A2DD-08002B30309D}) as a 0x2E item.
    const Bytes controlPanel =
        ItemList({RootItem(), Item(0x2E, Bytes{0x00}.Append(GuidBytes("{21EC2020-3AEA-1069-A2DD-08002B30309D}")))});
    const Bytes network = LinkInfoOf({std::nullopt, std::nullopt, NetworkLink(0x2, "\\\\server\\share", "", 0x20000), "dir\\a.exe",
                                      std::nullopt, std::nullopt});
    const struct {
        const char* what;
        Bytes link;
        nlohmann::json path;
        nlohmann::json source;
        std::vector<std::string> codes;
    } rows[] = {
        {"the environment block's Unicode target first, unexpanded",
         LinkBuilder().IdList(notepad).MoreFlags(sr::kHasExpString).Tail(EnvironmentBlock("a.exe", u"%windir%\\notepad.exe").Append(TerminalBlock())).Build(),
         "%windir%\\notepad.exe", "environment_variable_data_block", {}},
        {"its ANSI target where the Unicode one is empty",
         LinkBuilder().MoreFlags(sr::kHasExpString).Tail(EnvironmentBlock("%windir%\\cmd.exe", u"").Append(TerminalBlock())).Build(),
         "%windir%\\cmd.exe", "environment_variable_data_block", {}},
        {"no environment target without HasExpString",
         LinkBuilder().IdList(notepad).Tail(EnvironmentBlock("", u"%windir%\\cmd.exe").Append(TerminalBlock())).Build(),
         "C:\\WINDOWS\\notepad.exe", "link_target_id_list", {"flag_mismatch", "environment_target_mismatch"}},
        {"the ID list's file-system path before the LinkInfo",
         LinkBuilder().IdList(notepad).LinkInfo(LocalLinkInfo("C:\\Windows\\calc.exe", "")).Build(), "C:\\WINDOWS\\notepad.exe",
         "link_target_id_list", {"target_mismatch"}},
        {"the LinkInfo's local target before a namespace path",
         LinkBuilder().IdList(controlPanel).LinkInfo(LocalLinkInfo("C:\\Windows", "system32\\control.exe")).Build(),
         "C:\\Windows\\system32\\control.exe", "link_info", {}},
        {"the LinkInfo's network target",
         LinkBuilder().LinkInfo(network).Build(), "\\\\server\\share\\dir\\a.exe", "link_info", {}},
        {"no LinkInfo target where ForceNoLinkInfo tells Windows to ignore it",
         LinkBuilder().IdList(controlPanel).LinkInfo(LocalLinkInfo("C:\\benign.txt", "")).MoreFlags(sr::kForceNoLinkInfo).Build(),
         "My Computer\\Control Panel", "link_target_id_list", {"flag_mismatch"}},
        {"a namespace path where nothing else names the target",
         LinkBuilder().IdList(controlPanel).RelativePath(u"..\\a.exe").Build(), "My Computer\\Control Panel", "link_target_id_list", {}},
        {"the relative path last", LinkBuilder().RelativePath(u"..\\a.exe").Build(), "..\\a.exe", "relative_path", {}},
        {"no source", LinkBuilder().Arguments(u"/c calc").Build(), nullptr, nullptr, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const nlohmann::json record = Record(row.link);
        EXPECT_EQ(record["target"]["path"], row.path);
        EXPECT_EQ(record["target"]["source"], row.source);
        EXPECT_EQ(WarningCodes(record), row.codes);
    }
}

TEST(LinkTarget, IsNullForARecordThatIsNotALink) {
    EXPECT_EQ(Record(Bytes().Text("MZ\x90")).at("target"), nullptr);
    const nlohmann::json record = Record(LinkBuilder().Build());
    EXPECT_EQ(record["target"], (nlohmann::json{{"path", nullptr}, {"source", nullptr}, {"arguments", nullptr}}));
}

}  // namespace
