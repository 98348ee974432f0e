// SPDX-License-Identifier: MIT
// Every real link in the shared corpus: through the command, exit status 0 or 1, the
// eight-line format or one error line, and nothing on standard error (where the
// sanitizers would report); in this process, the same status and texts from memory as
// from the file (for the sample links too, which need no corpus), and getters that stay
// within their bounds in a multibyte locale. Under CI the corpus must be there; elsewhere
// its tests are skipped without it.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shortcut_file.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "getter_checks.h"
#include "link_fields.h"
#include "records.h"
#include "sample_links.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// The corpus files; none, after marking the test skipped (failed, under CI), without it.
std::vector<fs::path> CorpusFiles() {
    const fs::path corpus = SHORTCUT_CORPUS_DIR;
    std::error_code error;
    std::vector<fs::path> files;
    const auto skip = [&] { GTEST_SKIP() << "no corpus at " << corpus; };
    if (!fs::is_directory(corpus, error)) {
        if (std::getenv("CI") != nullptr) {
            ADD_FAILURE() << "CI is set but there is no corpus at " << corpus;
        } else {
            skip();
        }
        return files;
    }
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(corpus, error)) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md") {
            files.push_back(entry.path());
        }
    }
    EXPECT_GT(files.size(), 0u);
    return files;
}

// True when out is the eight-line format: four labels in order, each after an empty
// line, with any text (line breaks included) after each label.
bool IsEightLineFormat(const std::string& out) {
    static const char* const kLabels[] = {"\nGetPath :", "\n\nGetWorkDir :", "\n\nGetDesc: ", "\n\nGetPathRel :"};
    std::size_t at = 0;
    for (const char* label : kLabels) {
        const std::size_t found = out.find(label, at);
        if (found == std::string::npos || (at == 0 && found != 0)) {
            return false;
        }
        at = found + std::char_traits<char>::length(label);
    }
    return !out.empty() && out.back() == '\n';
}

TEST(Corpus, EveryRealLinkGivesTheFormatOrOneErrorLine) {
    for (const fs::path& path : CorpusFiles()) {
        const RunResult run = RunDump({path.string()});
        SCOPED_TRACE(path.string());
        EXPECT_EQ(run.err, "");
        if (run.status == 0) {
            EXPECT_TRUE(IsEightLineFormat(run.out)) << run.out;
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.out == "File error\n" || run.out == "Not a shortcut\n") << run.out;
        }
    }
}

// Reads the file through the status constructor and its bytes from memory.
void ExpectTheSameFromMemoryAsFromTheFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    SCOPED_TRACE(path);
    ShortcutStatus fileStatus = ShortcutStatus::kRead;
    const ShortcutFile fromFile(path.c_str(), fileStatus);
    ShortcutStatus memoryStatus = ShortcutStatus::kRead;
    const ShortcutFile fromMemory(bytes.data(), bytes.size(), memoryStatus);
    EXPECT_EQ(memoryStatus, fileStatus);
    EXPECT_EQ(FieldsOf(fromMemory), FieldsOf(fromFile));
}

TEST(MemoryReads, GiveTheSameStatusAndTextsAsTheFileForEveryRealLink) {
    for (const fs::path& path : CorpusFiles()) {
        ExpectTheSameFromMemoryAsFromTheFile(path.string(), FileBytes(path).value_or(std::vector<std::uint8_t>()));
    }
}

// Needs no corpus: the sample links are the project's own. Their getters keep their
// bounds too, and the bounded ones return their twins' texts (five_strings.lnk holds five
// texts that all differ).
TEST(MemoryReads, GiveTheSameStatusAndTextsAsTheFileForEverySampleLink) {
    for (const auto& links : {ExampleLinks(), SeedLinks(), BenchLinks()}) {
        for (const SampleLink& link : links) {
            const TempFile file(link.bytes);
            ExpectTheSameFromMemoryAsFromTheFile(file.Path(), link.bytes.Data());
            ShortcutStatus status = ShortcutStatus::kRead;
            const ShortcutFile fromMemory(link.bytes.Begin(), link.bytes.Size(), status);
            std::string texts;
            EXPECT_TRUE(GettersKeepTheirBounds(fromMemory, {1, 2, 7, 260}, texts)) << link.name;
        }
    }
}

#if SIZE_MAX > 0xFFFFFFFFu
// The memory stream hands out at most 1 GiB at a time. After a large LinkInfo block, a
// description that ends exactly there puts the relative path's count, 0xFF, at the first
// byte of the second window, which a plain read (not a skip, which looks one byte ahead)
// reaches: a window whose first byte reads as the end of the input would lose the path.
// The mapping is sparse, so only its written pages cost memory.
TEST(MemoryReads, GoOnPastTheFirstGibibyteOfAnInput) {
    constexpr std::size_t kWindow = std::size_t{1} << 30;
    const std::size_t size = kWindow + 4096;
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    auto* bytes = static_cast<unsigned char*>(mapped);
    const auto put = [&](std::size_t offset, const Bytes& what) { std::memcpy(bytes + offset, what.Begin(), what.Size()); };
    const Bytes head = LinkBuilder().Flags(flag::kLinkInfo | flag::kName | flag::kRelativePath).Build();
    const Bytes description = CountedString(std::u16string(100, u'x'));
    const std::size_t descriptionAt = kWindow - description.Size();
    put(0, head);
    put(head.Size(), Bytes().U32(static_cast<std::uint32_t>(descriptionAt - head.Size())));  // LinkInfoSize
    put(descriptionAt, description);
    put(kWindow, CountedString(std::u16string(255, u'y')));

    ShortcutStatus status = ShortcutStatus::kFileError;
    const ShortcutFile link(bytes, size, status);
    EXPECT_EQ(status, ShortcutStatus::kRead);
    const LinkFields fields = FieldsOf(link);
    EXPECT_EQ(fields.description, std::string(100, 'x'));
    EXPECT_EQ(fields.relativePath, std::string(255, 'y'));
    munmap(mapped, size);
}
#endif

TEST(Corpus, EveryRealLinkGivesOneRecordLineThatStaysInsideItThroughInspect) {
    const std::vector<fs::path> files = CorpusFiles();
    std::string list;
    for (const fs::path& path : files) {
        list += path.string() + '\0';
    }
    RunOptions options;
    options.input = list;
    const RunResult run = RunInspect({"--files-from", "-", "-0"}, options);
    EXPECT_EQ(run.err, "");
    EXPECT_LE(run.status, 1);
    std::size_t at = 0;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const std::size_t end = run.out.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        const nlohmann::json record = ParseRecordLine(run.out.substr(at, end + 1 - at));
        at = end + 1;
        ASSERT_TRUE(record.is_object());
        EXPECT_EQ(record["file"], path.string());
        EXPECT_NE(record["status"], "file_error");
        EXPECT_TRUE(StaysInsideTheInput(record, fs::file_size(path)));
    }
    EXPECT_EQ(at, run.out.size());
}

// Both readers read the StringData strings; where the complete reader found a Unicode
// string of 7-bit ASCII in a link it read without a truncated section, ShortcutFile's
// getters must give the same text. (The icon location has no getter.)
TEST(Corpus, TheCompleteReaderAgreesWithShortcutFileOnAsciiStringsOfUnicodeLinks) {
    shell_link::CodePage codePage;
    std::size_t compared = 0;
    for (const fs::path& path : CorpusFiles()) {
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = FileBytes(path).value_or(std::vector<std::uint8_t>());
        const shell_link::Link link = shell_link::ReadLink(bytes.data(), bytes.size(), codePage);
        const auto cut = [](const shell_link::Warning& w) { return w.code == shell_link::WarningCode::kTruncated; };
        if (link.status != shell_link::Status::kRead || (link.header.link_flags & shell_link::kIsUnicode) == 0 ||
            std::any_of(link.warnings.begin(), link.warnings.end(), cut)) {
            continue;
        }
        ShortcutStatus status = ShortcutStatus::kFileError;
        const LinkFields fields = FieldsOf(ShortcutFile(bytes.data(), bytes.size(), status));
        const shell_link::StringData& strings = link.string_data;
        const std::pair<const std::optional<shell_link::CountedString>&, const std::string&> pairs[] = {
            {strings.name_string, fields.description}, {strings.relative_path, fields.relativePath},
            {strings.working_dir, fields.workingDir}, {strings.command_line_arguments, fields.arguments}};
        for (const auto& [string, text] : pairs) {
            // Where Windows cuts a string the two readers differ by design.
            const bool windowsCut = string && string->count_characters >= shell_link::kWindowsStringCharacters;
            const bool ascii = string && !windowsCut && std::all_of(string->text.begin(), string->text.end(),
                                                     [](char c) { return c > 0 && static_cast<unsigned char>(c) < 0x80; });
            if (ascii) {
                EXPECT_EQ(string->text, text);
                ++compared;
            }
        }
    }
    if (std::filesystem::is_directory(SHORTCUT_CORPUS_DIR)) {
        EXPECT_GT(compared, 100u);
    }
}

// Whether the format describes items of this class type indicator: any unknown item of
// such a class is one the reader failed to decode.
bool DescribedClass(std::uint8_t type) {
    const unsigned kind = type & 0x70u;
    return type == 0x00 || type == 0x01 || type == 0x1F || kind == 0x20 || kind == 0x30 || kind == 0x40 || type == 0x61 ||
           type == 0x71 || type == 0x74;
}

TEST(Corpus, EveryItemOfAKindTheFormatDescribesIsDecodedAndEveryListHasAPath) {
    shell_link::CodePage codePage;
    std::size_t lists = 0;
    for (const fs::path& path : CorpusFiles()) {
        SCOPED_TRACE(path.string());
        const shell_link::Link link = shell_link::ReadLinkFile(path.c_str(), codePage);
        if (link.status != shell_link::Status::kRead) {
            continue;
        }
        std::vector<const std::vector<shell_link::Item>*> itemLists;
        if (link.link_target_id_list) {
            itemLists.push_back(&link.link_target_id_list->items);
            if (!link.link_target_id_list->items.empty()) {
                EXPECT_TRUE(link.link_target_id_list->path.has_value());
                ++lists;
            }
        }
        for (const shell_link::ExtraDataBlock& block : link.extra_data) {
            if (const auto* vista = std::get_if<shell_link::VistaIdListBlock>(&block.data)) {
                itemLists.push_back(&vista->items);
            }
        }
        for (const auto* items : itemLists) {
            for (const shell_link::Item& item : *items) {
                EXPECT_FALSE(std::holds_alternative<shell_link::UnknownItem>(item.data) && DescribedClass(item.class_type_indicator))
                    << "an unknown item at " << item.offset;
            }
        }
        const bool hasSource = link.link_info || link.link_target_id_list || shell_link::FindBlock<shell_link::EnvironmentBlock>(link) ||
                               link.string_data.relative_path;
        if (hasSource && (link.link_target_id_list && !link.link_target_id_list->items.empty())) {
            EXPECT_TRUE(link.target.path.has_value());
        }
    }
    if (std::filesystem::is_directory(SHORTCUT_CORPUS_DIR)) {
        EXPECT_GT(lists, 200u);
    }
}

TEST(MultibyteLocale, EveryGetterStaysWithinItsBoundOverTheCorpus) {
    const std::vector<fs::path> files = CorpusFiles();
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = FileBytes(path).value_or(std::vector<std::uint8_t>());
        ShortcutStatus status = ShortcutStatus::kRead;
        const ShortcutFile link(bytes.data(), bytes.size(), status);
        std::string texts;
        EXPECT_TRUE(GettersKeepTheirBounds(link, {1, 2, 7, 260}, texts));
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
