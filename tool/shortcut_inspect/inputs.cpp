// SPDX-License-Identifier: MIT
#include "inputs.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <string>
#include <utility>
#include <vector>

#include "archive_input.h"
#include "link_header.h"

namespace inspect {

namespace {

bool EndsIn(const char* name, const char* suffix) {
    const std::size_t length = std::strlen(name);
    const std::size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && strcasecmp(name + length - suffixLength, suffix) == 0;
}

// The names of links and of Jump Lists.
bool IsLinkName(const char* name) {
    return EndsIn(name, ".lnk") || EndsIn(name, ".automaticDestinations-ms") || EndsIn(name, ".customDestinations-ms");
}

// What a walk finds below the directory it is given, at its path below that directory.
enum class Kind {
    kLink,          // a regular file named as a link or a Jump List: read whatever it holds
    kArchive,       // a regular file named as an archive is, where archives are read
    kCandidate,     // another regular file, under --any-name: read when its header is a link's
    kUnreadable,    // a directory that could not be read, with its errno
    kSubdirectory,  // walked in turn
    kSkipped,       // anything else: never opened
};

struct Found {
    std::string path;
    Kind kind;
    int error;
};

// The kind of an entry of directory (its path, ending in a slash); type is its d_type.
Kind KindOf(const std::string& directory, const char* name, unsigned char type, bool anyName, bool archives) {
    if (type == DT_UNKNOWN) {
        struct stat status {};
        if (lstat((directory + name).c_str(), &status) != 0) {
            return Kind::kSkipped;  // gone since it was listed
        }
        type = S_ISDIR(status.st_mode) ? DT_DIR : S_ISREG(status.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
        return Kind::kSubdirectory;
    }
    if (type != DT_REG) {
        return Kind::kSkipped;
    }
    if (IsLinkName(name)) {
        return Kind::kLink;
    }
    if (archives && IsArchiveName(name)) {
        return Kind::kArchive;
    }
    return anyName ? Kind::kCandidate : Kind::kSkipped;
}

// A walk below one directory: what it found so far, the directories it has yet to read,
// and how many entries it passed over.
struct Walk {
    std::string prefix;  // the directory given, with a slash at its end
    bool anyName;
    bool archives;  // archives are read, and --no-archives is not given
    std::vector<Found> found;
    std::vector<std::string> pending = {""};
    std::uint64_t skipped = 0;
};

// Reads one directory of a walk: its files go to found, its subdirectories to pending.
// Symbolic links, and files of any other kind, are skipped. The directory is closed
// before the next is opened, so a deep tree holds one descriptor at a time.
void ReadDirectory(const std::string& relative, Walk& walk) {
    const std::string path = walk.prefix + relative;
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        walk.found.push_back({relative, Kind::kUnreadable, errno});
        return;
    }
    const std::string below = relative.empty() ? std::string() : relative + "/";
    const std::string directoryPath = walk.prefix + below;
    std::vector<Found> files;
    std::vector<std::string> subdirectories;
    std::uint64_t skipped = 0;
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
        const Kind kind = KindOf(directoryPath, name, entry->d_type, walk.anyName, walk.archives);
        if (kind == Kind::kSubdirectory) {
            subdirectories.push_back(below + name);
        } else if (kind == Kind::kSkipped) {
            ++skipped;
        } else {
            files.push_back({below + name, kind, 0});
        }
    }
    closedir(directory);
    if (error != 0) {
        walk.found.push_back({relative, Kind::kUnreadable, error});
        return;
    }
    walk.found.insert(walk.found.end(), files.begin(), files.end());
    walk.pending.insert(walk.pending.end(), subdirectories.begin(), subdirectories.end());
    walk.skipped += skipped;
}

// A file the walk found: read it, record it as unreadable, or pass over it (a candidate
// whose first bytes are not a link's).
bool VisitFound(const Found& item, const std::string& path, bool archives, const InputVisitor& visit) {
    if (item.kind == Kind::kUnreadable) {
        return visit.unreadable(path, item.error);
    }
    if (item.kind == Kind::kArchive) {
        return visit.archive(path);
    }
    if (item.kind == Kind::kCandidate) {
        const HeaderCheck check = CheckLinkHeader(path, archives);
        if (check.error != 0) {
            return visit.unreadable(path, check.error);  // it may be a link: the run says so
        }
        if (check.archive) {
            return visit.archive(path);
        }
        if (!check.link) {
            visit.skipped(1);
            return true;
        }
        return visit.candidate(path);
    }
    return visit.link(path);
}

// Visits what is below a directory in the byte order of the whole paths below it, as
// LC_ALL=C sort lists them: a-b.lnk, a.lnk, a/x.lnk. The whole tree is read first.
bool WalkBelow(const std::string& path, const Options& options, const InputVisitor& visit) {
    Walk walk;
    walk.prefix = path.empty() || path.back() == '/' ? path : path + "/";
    walk.anyName = options.anyName;
    walk.archives = ArchivesAvailable() && !options.noArchives;
    while (!walk.pending.empty()) {
        const std::string relative = std::move(walk.pending.back());
        walk.pending.pop_back();
        ReadDirectory(relative, walk);
    }
    visit.skipped(walk.skipped);
    // std::string compares its chars as unsigned bytes, so bytes from 0x80 come after ASCII.
    std::sort(walk.found.begin(), walk.found.end(), [](const Found& a, const Found& b) { return a.path < b.path; });
    return std::all_of(walk.found.begin(), walk.found.end(), [&](const Found& item) {
        return VisitFound(item, item.path.empty() ? path : walk.prefix + item.path, walk.archives, visit);
    });
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
        return WalkBelow(path, options, visit);
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
