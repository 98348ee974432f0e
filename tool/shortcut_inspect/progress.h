// SPDX-License-Identifier: MIT
// Progress of a long run on standard error, when that is a terminal: files done and the
// rate, on one line redrawn a few times a second. Nothing when it is not a terminal.
#ifndef SHORTCUT_INSPECT_PROGRESS_H
#define SHORTCUT_INSPECT_PROGRESS_H

#include <cstdint>

namespace inspect {

class Progress {
public:
    explicit Progress(bool wanted);
    void FileDone();
    // The final figures and a newline, once any file was done.
    void Finish();

private:
    void Show();

    bool active_;
    std::uint64_t files_ = 0;
    double start_ = 0;
    double last_ = 0;
};

}  // namespace inspect

#endif
