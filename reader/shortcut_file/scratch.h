// SPDX-License-Identifier: MIT
// Scratch storage that lives only for one call: on the stack for the short texts that
// links mostly hold, from the heap beyond that, so a call never costs an allocation
// for a short text and never a fixed limit for a long one.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_SCRATCH_H
#define SHORTCUT_READER_SHORTCUT_FILE_SCRATCH_H

#include <cstddef>
#include <memory>

namespace shortcut_file {

template <typename T, std::size_t kLocal = 256>
class Scratch {
public:
    // Room for count elements, uninitialised: every caller writes what it reads back.
    // cppcheck-suppress uninitMemberVar
    explicit Scratch(std::size_t count) : data_(local_) {
        if (count > kLocal) {
            heap_.reset(new T[count]);
            data_ = heap_.get();
        }
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    T* get() { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }

private:
    T local_[kLocal];
    std::unique_ptr<T[]> heap_;
    T* data_;
};

}  // namespace shortcut_file

#endif
