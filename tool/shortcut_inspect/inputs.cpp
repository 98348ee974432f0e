// SPDX-License-Identifier: MIT
#include "inputs.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace inspect {

namespace {

bool EndsInLnk(const char* name) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && name[length - 4] == '.' && (name[length - 3] | 0x20) == 'l' &&
           (name[length - 2] | 0x20) == 'n' && (name[length - 1] | 0x20) == 'k';
}

struct Entry {
    std::string name;
    bool directory;
};

// A directory's links and subdirectories, in byte order of their names. Symbolic links,
// and files of any other kind, are left out. The directory is closed before its
// subdirectories are opened, so a deep tree holds one descriptor at a time.
int ReadDirectory(const std::string& path, std::vector<Entry>& entries) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        return errno;
    }
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(directory);
        if (entry == nullptr) {
            error = errno;
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat status {};
            if (lstat((path + "/" + name).c_str(), &status) != 0) {
                continue;
            }
            type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR || (type == DT_REG && EndsInLnk(name))) {
            entries.push_back({name, type == DT_DIR});
        }
    }
    closedir(directory);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return error;
}

bool Walk(const std::string& path, const InputVisitor& visit) {
    std::vector<Entry> entries;
    if (const int error = ReadDirectory(path, entries); error != 0) {
        return visit.unreadable(path, error);
    }
    const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
    for (const Entry& entry : entries) {
        const std::string child = prefix + entry.name;
        if (!(entry.directory ? Walk(child, visit) : visit.link(child))) {
            return false;
        }
    }
    return true;
}

// A path as given: under --recursive, a directory (its links followed, as it was named)
// is walked; anything else is read as a link.
bool Visit(const std::string& path, const Options& options, const InputVisitor& visit) {
    struct stat status {};
    if (options.recursive && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        return Walk(path, visit);
    }
    return visit.link(path);
}

}  // namespace

std::optional<std::string> VisitInputs(const Options& options, const InputVisitor& visit) {
    const bool stopped = std::any_of(options.paths.begin(), options.paths.end(),
                                     [&](const std::string& path) { return !Visit(path, options, visit); });
    if (stopped || !options.filesFrom) {
        return std::nullopt;
    }
    const auto cannotRead = [&options](int error) {
        return "shortcut_inspect: cannot read the list " + *options.filesFrom + ": " + std::strerror(error);
    };
    const bool standardInput = *options.filesFrom == "-";
    std::FILE* list = standardInput ? stdin : std::fopen(options.filesFrom->c_str(), "r");
    if (list == nullptr) {
        return cannotRead(errno);
    }
    const int separator = options.nulSeparated ? 0 : static_cast<int>('\n');
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    bool going = true;
    while (going && (length = getdelim(&line, &capacity, separator, list)) > 0) {
        std::string path(line, static_cast<std::size_t>(length));
        if (!path.empty() && path.back() == static_cast<char>(separator)) {
            path.pop_back();
        }
        if (!path.empty()) {
            going = Visit(path, options, visit);
        }
    }
    const bool failed = std::ferror(list) != 0;
    const int error = errno;
    std::free(line);
    if (!standardInput) {
        static_cast<void>(std::fclose(list));
    }
    if (failed) {
        return cannotRead(error);
    }
    return std::nullopt;
}

}  // namespace inspect
