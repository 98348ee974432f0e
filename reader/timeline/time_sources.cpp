// SPDX-License-Identifier: MIT
#include "timeline/time_sources.h"

#include "format/values.h"

namespace shell_link::detail {

namespace {

namespace sr = link_format;

constexpr std::int64_t kUnixEpochIntervals = 116444736000000000;

std::uint64_t Valid(std::uint64_t filetime) { return sr::FileTimeIsValid(filetime) ? filetime : 0; }
std::uint64_t Valid(const std::optional<FileTime>& time) { return time ? Valid(time->value) : 0; }
std::uint64_t Valid(const std::optional<DosDateTime>& time) { return time ? DosDateTimeAsFileTime(*time) : 0; }

bool HasTimes(const TimeSource& source) {
    return source.accessed != 0 || source.modified != 0 || source.changed != 0 || source.born != 0;
}

std::string_view NameOf(const FileEntryItem& entry) {
    const std::optional<std::string>& name = entry.long_name ? entry.long_name : entry.short_name;
    return name ? std::string_view(*name) : std::string_view();
}

// A file entry's times, from its own field and its extension block.
void AddFileEntry(const FileEntryItem& entry, std::vector<TimeSource>& sources) {
    TimeSource source{TimeSourceKind::kShellItem, NameOf(entry)};
    source.size = entry.file_size.value_or(0);
    source.modified = Valid(entry.modification_time);
    source.accessed = Valid(entry.access_time);
    source.born = Valid(entry.creation_time);
    if (HasTimes(source)) {
        sources.push_back(source);
    }
}

void AddItems(const IdList& list, std::vector<TimeSource>& sources) {
    for (const Item& item : list.items) {
        if (const auto* entry = std::get_if<FileEntryItem>(&item.data)) {
            AddFileEntry(*entry, sources);
        } else if (const auto* delegate = std::get_if<DelegateItem>(&item.data)) {
            AddFileEntry(delegate->file_entry, sources);
        } else if (const auto* media = std::get_if<MtpFileEntryItem>(&item.data)) {
            TimeSource source{TimeSourceKind::kShellItem, media->name ? std::string_view(*media->name) : std::string_view()};
            source.born = Valid(media->creation_time);
            if (HasTimes(source)) {
                sources.push_back(source);
            }
        }
    }
}

void AddTracker(const TrackerBlock& tracker, std::string_view target, std::vector<TimeSource>& sources) {
    TimeSource droid{TimeSourceKind::kTrackerDroid, target};
    droid.born = Valid(tracker.droid_file_time);
    if (HasTimes(droid)) {
        sources.push_back(droid);
    }
    TimeSource birth{TimeSourceKind::kTrackerBirthDroid, target};
    birth.born = Valid(tracker.birth_droid_file_time);
    if (HasTimes(birth)) {
        sources.push_back(birth);
    }
}

// Whole days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

}  // namespace

std::int64_t UnixSeconds(std::uint64_t filetime) {
    const std::int64_t intervals = static_cast<std::int64_t>(filetime) - kUnixEpochIntervals;
    const std::int64_t seconds = intervals / 10000000;
    return intervals % 10000000 < 0 ? seconds - 1 : seconds;
}

std::int64_t UnixMicroseconds(std::uint64_t filetime) {
    const std::int64_t intervals = static_cast<std::int64_t>(filetime) - kUnixEpochIntervals;
    const std::int64_t microseconds = intervals / 10;
    return intervals % 10 < 0 ? microseconds - 1 : microseconds;
}

std::uint64_t DosDateTimeAsFileTime(DosDateTime time) {
    char text[sr::kDosDateTimeTextLength];
    if (!sr::DosDateTimeText(time.value, text)) {  // zero, or a field out of range
        return 0;
    }
    const std::uint32_t date = time.value & 0xFFFF;
    const std::int64_t clock = time.value >> 16;
    const std::int64_t days = DaysFromCivil(1980 + (date >> 9), (date >> 5) & 0x0F, date & 0x1F);
    const std::int64_t seconds = days * 86400 + (clock >> 11) * 3600 + ((clock >> 5) & 0x3F) * 60 + (clock & 0x1F) * 2;
    return static_cast<std::uint64_t>(kUnixEpochIntervals + seconds * 10000000);
}

std::vector<TimeSource> TimeSourcesOf(const Link& link) {
    std::vector<TimeSource> sources;
    if (link.link_file) {
        TimeSource file{TimeSourceKind::kLinkFile, {}};
        file.size = link.size.value_or(0);
        file.accessed = Valid(link.link_file->accessed);
        file.modified = Valid(link.link_file->modified);
        file.changed = Valid(link.link_file->changed);
        file.born = Valid(link.link_file->born);
        if (HasTimes(file)) {
            sources.push_back(file);
        }
    }
    if (link.container && link.container->dest_list) {
        const DestListEntry& entry = *link.container->dest_list;
        TimeSource used{TimeSourceKind::kDestList, entry.path};
        used.accessed = Valid(entry.last_access_time);
        if (HasTimes(used)) {
            sources.push_back(used);
        }
    }
    if (link.status != Status::kRead) {
        return sources;
    }
    const std::string_view target = link.target.path ? std::string_view(*link.target.path) : std::string_view();
    TimeSource header{TimeSourceKind::kTarget, target};
    header.size = link.header.file_size;
    header.accessed = Valid(link.header.access_time.value);
    header.modified = Valid(link.header.write_time.value);
    header.born = Valid(link.header.creation_time.value);
    if (HasTimes(header)) {
        sources.push_back(header);
    }
    if (link.link_target_id_list) {
        AddItems(*link.link_target_id_list, sources);
    }
    if (const auto* tracker = FindBlock<TrackerBlock>(link)) {
        AddTracker(*tracker, target, sources);
    }
    return sources;
}

}  // namespace shell_link::detail
