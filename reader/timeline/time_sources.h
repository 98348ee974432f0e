// SPDX-License-Identifier: MIT
// The sources of a link's times, as the body file and Timesketch lines list them, and
// the time conversions they share.
#ifndef SHORTCUT_READER_TIMELINE_TIME_SOURCES_H
#define SHORTCUT_READER_TIMELINE_TIME_SOURCES_H

#include <shortcut_reader/shell_link.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace shell_link::detail {

enum class TimeSourceKind {
    kLinkFile,           // the link file's own times
    kDestList,           // a Jump List's DestList entry: when the link was last used
    kTarget,             // the header's target times
    kShellItem,          // a file entry (or delegate, or media file) item of the target's ID list
    kTrackerDroid,       // the tracker's droid file identifier's time
    kTrackerBirthDroid,  // the tracker's birth droid file identifier's time
};

// One source and its times (0: none); subject names what its times are of beyond the link
// file: the target's path, an item's name (empty where there is none).
struct TimeSource {
    TimeSourceKind kind;
    std::string_view subject;
    std::uint64_t size = 0;
    std::uint64_t accessed = 0, modified = 0, changed = 0, born = 0;  // FILETIMEs
};

// The sources of link's times that hold any valid time, in the order above.
std::vector<TimeSource> TimeSourcesOf(const Link& link);

// A valid FILETIME (not 0, not past the year 9999) as whole UNIX seconds (rounded down),
// and as UNIX microseconds.
std::int64_t UnixSeconds(std::uint64_t filetime);
std::int64_t UnixMicroseconds(std::uint64_t filetime);
// A DOS date-time of a shell item, taken as UTC, as a FILETIME; 0 for none or invalid.
std::uint64_t DosDateTimeAsFileTime(DosDateTime time);

}  // namespace shell_link::detail

#endif
