// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

TempFile::TempFile(const Bytes& bytes) {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/shortcut-test-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    const auto* data = bytes.Begin();
    std::size_t left = bytes.Size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written <= 0) {
            std::perror("write");
            std::abort();
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    close(fd);
    path_ = pattern;
}

TempFile::~TempFile() { unlink(path_.c_str()); }

TempDirectory::TempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/shortcut-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    if (DIR* dir = opendir(path_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                const std::string path = path_ + "/" + name;
                if (unlink(path.c_str()) != 0) {
                    rmdir(path.c_str());
                }
            }
        }
        closedir(dir);
    }
    rmdir(path_.c_str());
}

void TempDirectory::Write(const std::string& name, const std::string& text) const {
    std::ofstream file(path_ + "/" + name, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file) {
        std::perror("write");
        std::abort();
    }
}

std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

namespace {

std::string ReadAll(int fd) {
    std::string text;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
}

RunResult Run(std::string program, const std::vector<std::string>& args, const RunOptions& options) {
    // Standard output and error go to files, so a large output never blocks the child.
    const TempFile outFile{Bytes()};
    const TempFile errFile{Bytes()};
    const TempFile inFile{Bytes().Text(options.input)};
    int terminal = -1;
    int terminalSide = -1;
    if (options.stderrTerminal && openpty(&terminal, &terminalSide, nullptr, nullptr, nullptr) != 0) {
        return {};
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(inFile.Path().c_str(), O_RDONLY);
        const int out = open(options.stdoutPath != nullptr ? options.stdoutPath : outFile.Path().c_str(), O_WRONLY | O_TRUNC);
        const int err = options.stderrTerminal ? terminalSide : open(errFile.Path().c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
            dup2(err, STDERR_FILENO) < 0) {
            _exit(126);
        }
        std::vector<char*> argv;
        std::string emulator = SHORTCUT_DUMP_EMULATOR;  // set where this build's programs need one
        if (!emulator.empty()) {
            argv.push_back(emulator.data());
        }
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    RunResult result;
    if (options.stderrTerminal) {
        close(terminalSide);
        result.err = ReadAll(terminal);  // until the child's side closes
        close(terminal);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.status = WEXITSTATUS(status);
    }
    const int out = open(outFile.Path().c_str(), O_RDONLY);
    result.out = ReadAll(out);
    close(out);
    if (!options.stderrTerminal) {
        const int err = open(errFile.Path().c_str(), O_RDONLY);
        result.err = ReadAll(err);
        close(err);
    }
    return result;
}

}  // namespace

RunResult RunDump(const std::vector<std::string>& args, const char* stdoutPath) {
    RunOptions options;
    options.stdoutPath = stdoutPath;
    return Run(SHORTCUT_DUMP_PATH, args, options);
}

RunResult RunInspect(const std::vector<std::string>& args, const RunOptions& options) {
    return Run(SHORTCUT_INSPECT_PATH, args, options);
}

std::string DumpLines(const std::string& path, const std::string& workingDir, const std::string& description,
                      const std::string& relativePath) {
    return "\nGetPath :" + path + "\n\nGetWorkDir :" + workingDir + "\n\nGetDesc: " + description +
           "\n\nGetPathRel :" + relativePath + "\n";
}
