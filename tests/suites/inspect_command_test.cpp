// SPDX-License-Identifier: MIT
// shortcut_inspect end to end: one JSON line per input in input order, the exit statuses,
// --files-from with newlines or NULs, --recursive and --any-name, the summary, the
// formats, code pages by name and number, and its usage errors.
#include <gtest/gtest.h>
#include <pty.h>
#include <shortcut_reader/shell_link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records.h"
#include "shortcut_inspect/code_page_numbers.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The records of a run, one a line.
std::vector<json> Records(const RunResult& run) {
    std::vector<json> records;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        records.push_back(ParseRecordLine(line + "\n"));
        EXPECT_TRUE(records.back().is_object()) << line;
    }
    return records;
}

std::vector<std::string> Files(const std::vector<json>& records) {
    std::vector<std::string> files;
    for (const json& record : records) {
        files.push_back(record.value("file", ""));
    }
    return files;
}

std::vector<std::string> Statuses(const std::vector<json>& records) {
    std::vector<std::string> statuses;
    for (const json& record : records) {
        statuses.push_back(record.value("status", ""));
    }
    return statuses;
}

// A folder of files for a run, removed again with everything in it.
class Folder {
public:
    Folder() {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/shortcut-inspect-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string Put(const std::string& name, const Bytes& bytes) const {
        const std::string path = path_ + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.Begin()), static_cast<std::streamsize>(bytes.Size()));
        return path;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const Bytes kLink = LinkBuilder().Description(u"d").Build();

TEST(InspectCommand, WritesOneRecordPerInputInOrderAndSaysWhetherAllWereRead) {
    const Folder folder;
    const std::string link = folder.Put("a.lnk", kLink);
    const std::string other = folder.Put("b.lnk", LinkBuilder().Description(u"other").Build());
    const std::string text = folder.Put("notes.txt", Bytes().Text("MZ not a link"));
    const std::string hint = "shortcut_inspect: " + folder.Path() + ": is a directory: use --recursive\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> statuses;
        std::string err;  // no progress nor summary where standard error is not a terminal
    } rows[] = {
        {{link}, 0, {"read"}, ""},
        {{other, link}, 0, {"read", "read"}, ""},
        {{link, "/nonexistent/x.lnk", text}, 1, {"read", "file_error", "not_a_shortcut"}, ""},
        {{folder.Path()}, 1, {"file_error"}, hint},  // a folder, without --recursive
        {{folder.Path(), link, folder.Path()}, 1, {"file_error", "read", "file_error"}, hint + hint},
        {{"--", "-r"}, 1, {"file_error"}, ""},  // after --, a path
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        const RunResult run = RunInspect(row.args);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, row.err);
        const std::vector<json> records = Records(run);
        ASSERT_EQ(records.size(), row.statuses.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i]["status"], row.statuses[i]);
            EXPECT_EQ(records[i]["file"], row.args[i == 0 && row.args[0] == "--" ? 1 : i]);
        }
    }
    const std::vector<json> errors = Records(RunInspect({"/nonexistent/x.lnk", folder.Path()}));
    EXPECT_EQ(errors[0]["error"], "No such file or directory");
    EXPECT_EQ(errors[0]["size"], nullptr);
    EXPECT_EQ(errors[1]["error"], "Is a directory");
    EXPECT_EQ(Records(RunInspect({other}))[0]["string_data"]["name_string"], "other");
}

TEST(InspectCommand, ReadsTheListOfFilesFromAFileOrStandardInputOneALineOrNulSeparated) {
    const Folder folder;
    const std::string a = folder.Put("a.lnk", kLink);
    const std::string b = folder.Put("with space\nand newline.lnk", kLink);
    const std::string list = folder.Put("list", Bytes().Text(a + "\n\n" + a + "\n"));
    EXPECT_EQ(Files(Records(RunInspect({"--files-from", list}))), (std::vector<std::string>{a, a}));
    EXPECT_EQ(Files(Records(RunInspect({"--files-from=-"}, {a + "\n" + a}))), (std::vector<std::string>{a, a}));
    const RunResult nul = RunInspect({"-0", "--files-from", "-", a}, {b + '\0' + a + '\0'});
    EXPECT_EQ(nul.status, 0);
    EXPECT_EQ(Files(Records(nul)), (std::vector<std::string>{a, b, a}));  // the command line's first
    const struct {
        std::vector<std::string> args;
        std::string list;
        std::vector<std::string> files;
    } rows[] = {
        {{"--files-from", "-"}, a + "\r\n" + a + "\r\n", {a, a}},  // written on Windows
        {{"--files-from", "-"}, a + "\r\n\r\n" + a + "\r", {a, a}},
        {{"--files-from", "-"}, a + "\r\n" + a + "\n", {a, a}},
        {{"-0", "--files-from", "-"}, a + "\r" + '\0', {a + "\r"}},  // NULs end the paths, whatever they hold
        {{"-0r", "--files-from", "-"}, b + '\0', {b}},
        {{"-r0", "--files-from", "-"}, folder.Path() + '\0', {a, b}},
        {{"-0", "-r", "--files-from", "-"}, folder.Path() + '\0', {a, b}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.list);
        EXPECT_EQ(Files(Records(RunInspect(row.args, {row.list}))), row.files);
    }
    const RunResult missing = RunInspect({"--files-from", folder.Path() + "/no-such-list"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read the list"), std::string::npos);
}

TEST(InspectCommand, WalksFoldersForLinksInTheByteOrderOfTheirWholePathsWithoutFollowingSymbolicLinks) {
    const Folder folder;
    folder.Put("b.lnk", kLink);
    folder.Put("A.LNK", kLink);
    folder.Put("c.txt", kLink);
    folder.Put("sub/d.Lnk", kLink);
    folder.Put("sub/deeper/e.lnk", kLink);
    folder.Put("sub.lnk", kLink);
    folder.Put("a/x.lnk", kLink);
    folder.Put("a-b.lnk", kLink);
    folder.Put("a.lnk", kLink);
    folder.Put("\xC3\xA9.lnk", kLink);  // a byte from 0x80 comes after every ASCII one
    const Folder outside;
    outside.Put("elsewhere.lnk", kLink);
    ASSERT_EQ(symlink((outside.Path() + "/elsewhere.lnk").c_str(), (folder.Path() + "/f.lnk").c_str()), 0);
    ASSERT_EQ(symlink(outside.Path().c_str(), (folder.Path() + "/g").c_str()), 0);
    mkfifo((folder.Path() + "/h.lnk").c_str(), 0600);
    const std::string& root = folder.Path();
    // As LC_ALL=C sort lists the paths below the folder: '-' < '.' < '/'.
    std::vector<std::string> expected;
    for (const char* below : {"A.LNK", "a-b.lnk", "a.lnk", "a/x.lnk", "b.lnk", "sub.lnk", "sub/d.Lnk", "sub/deeper/e.lnk", "\xC3\xA9.lnk"}) {
        expected.push_back(root + "/" + below);
    }
    EXPECT_EQ(Files(Records(RunInspect({"--recursive", root}))), expected);
    EXPECT_EQ(Files(Records(RunInspect({"--recursive", root + "/"}))), expected);
    if (geteuid() != 0) {  // root reads a folder whatever its mode
        ASSERT_EQ(chmod((root + "/a").c_str(), 0), 0);
        const std::vector<json> records = Records(RunInspect({"--recursive", root}));
        ASSERT_EQ(chmod((root + "/a").c_str(), 0700), 0);
        std::vector<std::string> locked = expected;  // a/x.lnk gone, a at its own path
        locked.erase(locked.begin() + 3);
        locked.insert(locked.begin() + 1, root + "/a");
        EXPECT_EQ(Files(records), locked);
        ASSERT_EQ(records.size(), locked.size());
        EXPECT_EQ(records[1]["status"], "file_error");
    }
    const RunResult listed = RunInspect({"-r", "--files-from", "-"}, {root + "/sub\n" + root + "/c.txt\n"});
    EXPECT_EQ(Files(Records(listed)), (std::vector<std::string>{root + "/sub/d.Lnk", root + "/sub/deeper/e.lnk", root + "/c.txt"}));
    EXPECT_EQ(listed.status, 0);
}

TEST(InspectCommand, WalksFilesOfAnyNameThatStartAsLinksWithAnyNameAndNeverOpensWhatIsNotARegularFile) {
    const Folder folder;
    const std::string& root = folder.Path();
    folder.Put("a.lnk", kLink);
    folder.Put("fake.lnk", Bytes().Text("not a link"));  // named so: read, whatever it holds
    folder.Put("link.dat", kLink);
    folder.Put("no-extension", LinkBuilder().Arguments(u"a\nb").Build());  // hidden arguments
    const Bytes whole = LinkBuilder().Description(u"d").Arguments(u"a\nb").Build();
    folder.Put("sub/cut.bin", whole.Prefix(whole.Size() - 1));  // cut short, with hidden arguments
    folder.Put("notes.txt", Bytes().Text("MZ not a link at all, but longer than 20 bytes"));
    folder.Put("nineteen", kLink.Prefix(19));
    folder.Put("other-guid", kLink.Prefix(19).U8(0x47));  // the LinkCLSID's last byte changed
    folder.Put("empty", Bytes());
    ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0600), 0);  // opened, it would block the walk
    ASSERT_EQ(mkfifo((root + "/pipe.lnk").c_str(), 0600), 0);
    ASSERT_EQ(symlink((root + "/link.dat").c_str(), (root + "/symbolic").c_str()), 0);
    ASSERT_EQ(symlink((root + "/a.lnk").c_str(), (root + "/symbolic.lnk").c_str()), 0);
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> files;
        std::vector<std::string> statuses;
        std::string summary;
    } rows[] = {
        {{"-r", "--any-name", root, "--summary"},
         {"a.lnk", "fake.lnk", "link.dat", "no-extension", "sub/cut.bin"},
         {"read", "not_a_shortcut", "read", "read", "read"},
         "shortcut_inspect: 4 links read, 1 not links, 0 unreadable, 8 skipped; 3 warnings, of them 2 suspicious\n"},
        {{"--recursive", "--summary", root},
         {"a.lnk", "fake.lnk"},
         {"read", "not_a_shortcut"},
         "shortcut_inspect: 1 links read, 1 not links, 0 unreadable, 11 skipped; 0 warnings, of them 0 suspicious\n"},
        {{"-r", "--any-name", root + "/sub", root + "/notes.txt", "--summary"},
         {"sub/cut.bin", "notes.txt"},  // a file named on the command line is read as it is
         {"read", "not_a_shortcut"},
         "shortcut_inspect: 1 links read, 1 not links, 0 unreadable, 0 skipped; 2 warnings, of them 1 suspicious\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front() + " " + row.args[1]);
        const RunResult run = RunInspect(row.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, row.summary);
        const std::vector<json> records = Records(run);
        std::vector<std::string> files;
        for (const std::string& below : row.files) {
            files.push_back(root + "/" + below);
        }
        EXPECT_EQ(Files(records), files);
        EXPECT_EQ(Statuses(records), row.statuses);
    }
    if (geteuid() != 0) {  // root opens a file whatever its mode
        ASSERT_EQ(chmod((root + "/notes.txt").c_str(), 0), 0);
        const RunResult run = RunInspect({"-r", "--any-name", "--summary", root});
        const std::vector<json> records = Records(run);
        ASSERT_EQ(records.size(), 6u);  // it may be a link: recorded as unreadable
        EXPECT_EQ(records[4]["file"], root + "/notes.txt");
        EXPECT_EQ(records[4]["error"], "Permission denied");
        EXPECT_EQ(run.err,
                  "shortcut_inspect: 4 links read, 1 not links, 1 unreadable, 7 skipped; 3 warnings, of them 2 suspicious\n");
    }
}

TEST(InspectCommand, RefusesWhatItCannotDoWithOneLineOnStandardErrorAndStatusTwo) {
    const Folder folder;
    const std::string link = folder.Put("a.lnk", kLink);
    const struct {
        std::vector<std::string> args;
        const char* says;
    } rows[] = {
        {{}, "no links given"},
        {{"--bogus", link}, "unknown option '--bogus'"},
        {{"--codepage"}, "--codepage needs a value"},
        {{"--codepage", "NO-SUCH-PAGE", link}, "no code page named 'NO-SUCH-PAGE'"},
        {{"--files-from", "-", "--files-from=-"}, "--files-from is given twice"},
        {{"-rx", link}, "unknown option '-x' in '-rx'"},
        {{"-x", link}, "unknown option '-x' (see --help)"},
        {{"---r", link}, "unknown option '---r'"},
        {{"--any-name", link}, "--any-name works with --recursive"},
        {{"--codepage", "99999", link}, "no code page named 'CP99999' for code page 99999"},
        {{"--format", "xml", link}, "unknown format 'xml': jsonl, csv, bodyfile or timesketch"},
        {{"--format=CSV", link}, "unknown format 'CSV'"},
        {{link, "--format"}, "--format needs a value"},
        {{"--hash", "crc32", link}, "unknown hash 'crc32': md5, sha1 or sha256"},
        {{"--hash=md5", "--hash=SHA1", link}, "unknown hash 'SHA1'"},
        {{link, "--hash"}, "--hash needs a value"},
    };
    for (const auto& row : rows) {
        const RunResult run = RunInspect(row.args);
        EXPECT_EQ(run.status, 2) << row.says;
        EXPECT_EQ(run.out, "") << row.says;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    if (access("/dev/full", W_OK) == 0) {
        RunOptions full;
        full.stdoutPath = "/dev/full";
        const RunResult run = RunInspect({link}, full);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("cannot write standard output: No space left on device"), std::string::npos) << run.err;
    }
}

TEST(InspectCommand, ShowsProgressAndTheSummaryWhereStandardErrorIsATerminalAndNowhereElse) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        GTEST_SKIP() << "no pseudo-terminals here (a root with /dev but not /dev/pts)";
    }
    close(master);
    close(slave);
    const Folder folder;
    const std::string link = folder.Put("a.lnk", kLink);
    RunOptions terminal;
    terminal.input = link + "\n" + link + "\n" + link + "\n";
    terminal.stderrTerminal = true;
    const RunResult listed = RunInspect({"--files-from", "-"}, terminal);
    EXPECT_EQ(listed.status, 0);
    // The terminal ends each line with CR LF; the summary comes after the progress line.
    const std::string summary =
        "shortcut_inspect: 3 links read, 0 not links, 0 unreadable, 0 skipped; 0 warnings, of them 0 suspicious\r\n";
    EXPECT_EQ(listed.err.find("\rshortcut_inspect: 3 files, "), 0u) << listed.err;
    const std::string end = " files/s \r\n" + summary;
    EXPECT_EQ(listed.err.find(end), listed.err.size() - end.size()) << listed.err;
    EXPECT_EQ(Records(listed).size(), 3u);
    RunOptions plain = terminal;
    plain.stderrTerminal = false;
    EXPECT_EQ(RunInspect({"--files-from", "-"}, plain).err, "");
    EXPECT_EQ(RunInspect({link}, RunOptions{"", nullptr, true}).err,  // one file given: no progress, the summary
              "shortcut_inspect: 1 links read, 0 not links, 0 unreadable, 0 skipped; 0 warnings, of them 0 suspicious\r\n");
}

TEST(InspectCommand, AnswersHelpAndVersion) {
    const RunResult help = RunInspect({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: shortcut_inspect [--codepage NAME]", 0), 0u);
    const RunResult version = RunInspect({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "shortcut_inspect " SHORTCUT_VERSION "\n");
}

TEST(InspectCommand, DecodesAnsiTextInTheCodePageItIsGivenByNameOrNumber) {
    const Folder folder;
    const Bytes name = Bytes().U16(2).U8(0xC3).U8(0xA9);  // "é" in UTF-8, two characters in most code pages
    const std::string link = folder.Put("a.lnk", LinkBuilder().Flags(0x04).Tail(name).Build());
    const struct {
        std::vector<std::string> args;
        const char* name;
    } rows[] = {
        {{link}, "\u00c3\u00a9"},  // CP1252
        {{"--codepage=CP1251", link}, "\u0413\u00a9"},
        {{"--codepage=1251", link}, "\u0413\u00a9"},
        {{"--codepage", "1252", link}, "\u00c3\u00a9"},
        {{"--codepage", "65001", link}, "\u00e9"},  // UTF-8
        {{"--codepage", "28595", link}, "\u0423\u0409"},  // ISO-8859-5
        {{"--codepage", "20127", link}, "\ufffd\ufffd"},  // ASCII
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        const RunResult run = RunInspect(row.args);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(Records(run)[0]["string_data"]["name_string"], row.name);
    }
}

TEST(InspectCodePageNumbers, NamesWindowsCodePageNumbersAsIconvDoesAndLeavesNamesAlone) {
    const struct {
        const char* given;
        const char* name;
    } rows[] = {
        {"65001", "UTF-8"},        {"1200", "UTF-16LE"},       {"1201", "UTF-16BE"},     {"12000", "UTF-32LE"},
        {"12001", "UTF-32BE"},     {"20127", "ASCII"},         {"28591", "ISO-8859-1"},  {"28599", "ISO-8859-9"},
        {"28603", "ISO-8859-13"},  {"28605", "ISO-8859-15"},   {"20866", "KOI8-R"},      {"21866", "KOI8-U"},
        {"54936", "GB18030"},      {"20932", "EUC-JP"},        {"51932", "EUC-JP"},      {"51949", "EUC-KR"},
        {"10000", "MACINTOSH"},    {"936", "CP936"},           {"950", "CP950"},         {"932", "CP932"},
        {"1252", "CP1252"},        {"437", "CP437"},           {"99999", "CP99999"},     {"CP1251", "CP1251"},
        {"utf-8", "utf-8"},        {"1251x", "1251x"},         {"-1251", "-1251"},       {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(inspect::IconvCodePageName(row.given), row.name) << row.given;
        if (std::string(row.given) != "99999" && std::string(row.given) != row.name) {
            EXPECT_TRUE(shell_link::CodePage(row.name).valid()) << row.name;  // a name this iconv knows
        }
    }
}

TEST(InspectCommand, WritesTheFormatItIsAskedFor) {
    const Folder folder;
    const std::string link = folder.Put("a.lnk", kLink);
    const std::string empty = folder.Path() + "/empty";
    ASSERT_TRUE(fs::create_directory(empty));
    EXPECT_EQ(RunInspect({"--format", "jsonl", link}).out, RunInspect({link}).out);
    const RunResult header = RunInspect({"--format=csv", "-r", empty});  // the header, though nothing was read
    EXPECT_EQ(header.status, 0);
    ASSERT_GT(header.out.size(), 2u);
    EXPECT_EQ(header.out.find("\r\n"), header.out.size() - 2);
    const struct {
        std::vector<std::string> args;
        int status;
    } rows[] = {
        {{"--format", "csv", link, link}, 0},
        {{"--format", "csv", "--precise", link, folder.Path() + "/missing.lnk"}, 1},
        {{"--precise", "--format", "csv", link, link}, 0},
    };
    for (const auto& row : rows) {
        const RunResult run = RunInspect(row.args);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.out.rfind(header.out, 0), 0u) << run.out;  // once, first
        std::size_t lines = 0;  // a row a link, each ending in CR LF
        std::size_t at = header.out.size();
        while ((at = run.out.find("\r\n", at)) != std::string::npos) {
            ++lines;
            at += 2;
        }
        EXPECT_EQ(lines, 2u) << run.out;
        EXPECT_EQ(run.out.compare(run.out.size() - 2, 2, "\r\n"), 0) << run.out;
    }
}

TEST(InspectCommand, NamesAFileWhosePathIsNotUtf8WithReplacementCharacters) {
    const Folder folder;
    const std::string link = folder.Put("caf\xE9.lnk", kLink);
    const std::vector<json> records = Records(RunInspect({link}));
    EXPECT_EQ(records[0]["file"], folder.Path() + "/caf\xEF\xBF\xBD.lnk");
    EXPECT_EQ(records[0]["status"], "read");
}

}  // namespace
