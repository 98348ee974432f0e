// SPDX-License-Identifier: MIT
// Temporary link files and whole runs of the commands for the tests.
#ifndef SHORTCUT_TESTS_TEST_SUPPORT_H
#define SHORTCUT_TESTS_TEST_SUPPORT_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link_builder.h"

// A file holding the given bytes, removed again when the object goes.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A directory of its own, removed again with what it holds (files and empty
// directories) when the object goes.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return path_; }
    // Writes text to the file name in it, replacing any.
    void Write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

// The bytes of the file at path, or nothing when it cannot be opened.
std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& path);

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or -1 when the process did not exit normally
};

// Runs the built shortcut_dump with these arguments and collects its output. With
// stdoutPath set, standard output goes to that file instead. Standard input is empty.
RunResult RunDump(const std::vector<std::string>& args, const char* stdoutPath = nullptr);

struct RunOptions {
    std::string input;                 // standard input
    const char* stdoutPath = nullptr;  // standard output to this file instead
    bool stderrTerminal = false;       // standard error a pseudo-terminal, read into err
};
// Runs the built shortcut_inspect likewise.
RunResult RunInspect(const std::vector<std::string>& args, const RunOptions& options = {});

// The eight lines of a successful run.
std::string DumpLines(const std::string& path, const std::string& workingDir, const std::string& description,
                      const std::string& relativePath);

#endif
