// SPDX-License-Identifier: MIT
// Standard output of shortcut_inspect: the records are gathered and written in large
// pieces with write(2); a failed write is kept, so the command can stop and say so.
#ifndef SHORTCUT_INSPECT_OUTPUT_H
#define SHORTCUT_INSPECT_OUTPUT_H

#include <string>

namespace inspect {

class Output {
public:
    // Writes buffer's bytes to standard output and clears it; false once a write failed.
    bool Write(std::string& buffer);
    // The errno of the write that failed, or 0.
    int error() const { return error_; }

private:
    int error_ = 0;
};

}  // namespace inspect

#endif
