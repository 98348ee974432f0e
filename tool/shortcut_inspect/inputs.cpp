// SPDX-License-Identifier: MIT
#include "inputs.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace inspect {

namespace {

bool EndsInLnk(const char* name) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && name[length - 4] == '.' && (name[length - 3] | 0x20) == 'l' &&
           (name[length - 2] | 0x20) == 'n' && (name[length - 1] | 0x20) == 'k';
}

// What a walk finds below the directory it is given: a link, or a directory that could
// not be read (with its errno), each at its path below that directory.
struct Found {
    std::string path;
    int error;
};

// Reads one directory of a walk: its links go to found, its subdirectories to pending.
// Symbolic links, and files of any other kind, are left out. The directory is closed
// before the next is opened, so a deep tree holds one descriptor at a time.
void ReadDirectory(const std::string& prefix, const std::string& relative, std::vector<Found>& found,
                   std::vector<std::string>& pending) {
    const std::string path = prefix + relative;
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        found.push_back({relative, errno});
        return;
    }
    const std::string below = relative.empty() ? std::string() : relative + "/";
    std::vector<Found> links;
    std::vector<std::string> subdirectories;
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
            if (lstat((prefix + below + name).c_str(), &status) != 0) {
                continue;
            }
            type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            subdirectories.push_back(below + name);
        } else if (type == DT_REG && EndsInLnk(name)) {
            links.push_back({below + name, 0});
        }
    }
    closedir(directory);
    if (error != 0) {
        found.push_back({relative, error});
        return;
    }
    found.insert(found.end(), links.begin(), links.end());
    pending.insert(pending.end(), subdirectories.begin(), subdirectories.end());
}

// Visits what is below a directory in the byte order of the whole paths below it, as
// LC_ALL=C sort lists them: a-b.lnk, a.lnk, a/x.lnk. The whole tree is read first.
bool Walk(const std::string& path, const InputVisitor& visit) {
    const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
    std::vector<Found> found;
    std::vector<std::string> pending = {""};
    while (!pending.empty()) {
        const std::string relative = std::move(pending.back());
        pending.pop_back();
        ReadDirectory(prefix, relative, found, pending);
    }
    // std::string compares its chars as unsigned bytes, so bytes from 0x80 come after ASCII.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.path < b.path; });
    for (const Found& item : found) {
        const std::string whole = item.path.empty() ? path : prefix + item.path;
        if (!(item.error == 0 ? visit.link(whole) : visit.unreadable(whole, item.error))) {
            return false;
        }
    }
    return true;
}

// A line of a list as a path: without its separator, nor, in a list of lines, the CR of
// a CRLF (lists written on Windows); a path that ends in a CR needs -0.
void TrimLineEnd(std::string& path, bool nulSeparated) {
    const char separator = nulSeparated ? '\0' : '\n';
    if (!path.empty() && path.back() == separator) {
        path.pop_back();
    }
    if (!nulSeparated && !path.empty() && path.back() == '\r') {
        path.pop_back();
    }
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
    std::string path;  // one for every line, so that its storage is reused
    while (going && (length = getdelim(&line, &capacity, separator, list)) > 0) {
        path.assign(line, static_cast<std::size_t>(length));
        TrimLineEnd(path, options.nulSeparated);
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
