// SPDX-License-Identifier: MIT
#include "progress.h"

#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace inspect {

namespace {

constexpr double kRedrawSeconds = 0.25;
constexpr std::uint64_t kFilesBetweenClockReads = 16;

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

Progress::Progress(bool wanted) : active_(wanted && isatty(STDERR_FILENO) == 1) {
    if (active_) {
        start_ = last_ = Now();
    }
}

void Progress::FileDone() {
    ++files_;
    if (!active_ || files_ % kFilesBetweenClockReads != 0) {
        return;
    }
    if (Now() - last_ >= kRedrawSeconds) {
        Show();
    }
}

void Progress::Finish() {
    if (active_ && files_ > 0) {
        Show();
        static_cast<void>(std::fputc('\n', stderr));
        showing_ = false;
    }
}

void Progress::Note(const std::string& line) {
    if (showing_) {
        static_cast<void>(std::fputc('\n', stderr));
        showing_ = false;
    }
    static_cast<void>(std::fputs(line.c_str(), stderr));
}

void Progress::Show() {
    showing_ = true;
    last_ = Now();
    const double seconds = last_ - start_;
    const double rate = seconds > 0 ? static_cast<double>(files_) / seconds : 0;
    static_cast<void>(
        std::fprintf(stderr, "\rshortcut_inspect: %llu files, %.0f files/s ", static_cast<unsigned long long>(files_), rate));
    static_cast<void>(std::fflush(stderr));
}

}  // namespace inspect
