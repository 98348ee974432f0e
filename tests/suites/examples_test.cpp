// SPDX-License-Identifier: MIT
// The links in examples/ are what the sample generator writes, and print as the README
// shows them.
#include <gtest/gtest.h>

#include <string>

#include "sample_links.h"
#include "test_support.h"

namespace {

std::string ExamplePath(const std::string& name) { return std::string(SHORTCUT_EXAMPLES_DIR) + "/" + name; }

TEST(Examples, AreWhatTheGeneratorWrites) {
    for (const SampleLink& link : ExampleLinks()) {
        EXPECT_EQ(FileBytes(ExamplePath(link.name)), link.bytes.Data()) << link.name << ": run make_sample_links examples examples";
    }
}

TEST(Examples, PrintAsTheReadmeShows) {
    const RunResult notepad = RunDump({ExamplePath("notepad.lnk")});
    EXPECT_EQ(notepad.out, DumpLines("C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS", "Text editor", "..\\..\\..\\WINDOWS\\notepad.exe"));
    EXPECT_EQ(notepad.status, 0);
    EXPECT_EQ(RunDump({ExamplePath("no_id_list.lnk")}).out, DumpLines("", "D:\\Reports", "Report archive", ".\\archive\\2026"));
    EXPECT_EQ(RunDump({ExamplePath("truncated.lnk")}).out, DumpLines("C:\\Tools\\backup.cmd", "", "Nightly ba", ""));
}

}  // namespace
