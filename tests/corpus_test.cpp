// Every real link in the shared corpus, when that folder is present: exit status 0 or 1,
// the eight-line format or one error line, and nothing on standard error (where the
// sanitizers would report).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"

namespace {

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
    namespace fs = std::filesystem;
    const fs::path corpus = SHORTCUT_CORPUS_DIR;
    std::error_code error;
    if (!fs::is_directory(corpus, error)) {
        GTEST_SKIP() << "no corpus at " << corpus;
    }
    int files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(corpus, error)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md") {
            continue;
        }
        ++files;
        const RunResult run = RunDump({entry.path().string()});
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(run.err, "");
        if (run.status == 0) {
            EXPECT_TRUE(IsEightLineFormat(run.out)) << run.out;
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.out == "File error\n" || run.out == "Not a shortcut\n") << run.out;
        }
    }
    EXPECT_GT(files, 0);
}

}  // namespace
