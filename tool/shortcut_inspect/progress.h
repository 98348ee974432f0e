// SPDX-License-Identifier: MIT
// Progress of a long run on standard error, when that is a terminal: files done and the
// rate, on one line redrawn a few times a second. Nothing when it is not a terminal.
#ifndef SHORTCUT_INSPECT_PROGRESS_H
#define SHORTCUT_INSPECT_PROGRESS_H

#include <cstdint>
#include <string>

namespace inspect {

class Progress {
public:
    explicit Progress(bool wanted);
    void FileDone();
    // The final figures and a newline, once any file was done.
    void Finish();
    // A line of its own on standard error (with its newline), below the progress line
    // when one is showing.
    void Note(const std::string& line);

private:
    void Show();

    bool active_;
    bool showing_ = false;  // the cursor is at the end of a progress line
    std::uint64_t files_ = 0;
    double start_ = 0;
    double last_ = 0;
};

}  // namespace inspect

#endif
