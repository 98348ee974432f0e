// SPDX-License-Identifier: MIT
#include "output.h"

#include <errno.h>
#include <unistd.h>

namespace inspect {

bool Output::Write(std::string& buffer) {
    const char* at = buffer.data();
    std::size_t left = error_ == 0 ? buffer.size() : 0;
    while (left > 0) {
        const ssize_t written = write(STDOUT_FILENO, at, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error_ = errno;
            break;
        }
        at += written;
        left -= static_cast<std::size_t>(written);
    }
    buffer.clear();
    return error_ == 0;
}

}  // namespace inspect
