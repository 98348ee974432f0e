// SPDX-License-Identifier: MIT
// Timesketch JSON Lines: one event a time, each with the three fields Timesketch requires
// (message, datetime in ISO 8601 with its offset, timestamp_desc), the time in UNIX
// microseconds (timestamp) and the link's main fields.
#include <shortcut_reader/shell_link_timeline.h>

#include "format/values.h"
#include "json/json_writer.h"
#include "timeline/time_sources.h"

namespace shell_link {

namespace {

using detail::JsonWriter;
using detail::TimeSource;
using detail::TimeSourceKind;
namespace sr = link_format;

struct Event {
    const char* description;
    std::uint64_t filetime;
};

// What each of a source's four times is, in the body file's order (accessed, modified,
// changed, created), for the link file, the target and a shell item.
constexpr const char* kDescriptions[3][4] = {
    {"Link file accessed", "Link file modified", "Link file changed", "Link file created"},
    {"Target accessed", "Target modified", "Target changed", "Target created"},
    {"Shell item accessed", "Shell item modified", "Shell item changed", "Shell item created"},
};

// The times of a source, each with its description; a tracker's droid has its creation only.
void EventsOf(const TimeSource& source, Event (&events)[4]) {
    const std::uint64_t times[4] = {source.accessed, source.modified, source.changed, source.born};
    if (source.kind == TimeSourceKind::kTrackerDroid || source.kind == TimeSourceKind::kTrackerBirthDroid) {
        const bool birth = source.kind == TimeSourceKind::kTrackerBirthDroid;
        events[0] = events[1] = events[2] = {"", 0};
        events[3] = {birth ? "Tracker birth droid created" : "Tracker droid created", source.born};
        return;
    }
    if (source.kind == TimeSourceKind::kDestList) {
        events[1] = events[2] = events[3] = {"", 0};
        events[0] = {"Jump List entry last accessed", source.accessed};
        return;
    }
    const std::size_t row = source.kind == TimeSourceKind::kLinkFile ? 0 : source.kind == TimeSourceKind::kTarget ? 1 : 2;
    for (std::size_t i = 0; i < 4; ++i) {
        events[i] = {kDescriptions[row][i], times[i]};
    }
}

void OptionalString(JsonWriter& json, const std::optional<std::string>& text) {
    if (text) {
        json.String(*text);
    } else {
        json.Null();
    }
}

void WriteEvent(JsonWriter& json, const Link& link, const TimeSource& source, const Event& event,
                const TrackerBlock* tracker) {
    std::string message = event.description;
    message += ": ";
    message += link.file;
    if (!source.subject.empty()) {
        message += " -> ";
        message += source.subject;
    }
    char text[sr::kFileTimeTextLength];
    sr::FileTimeText(event.filetime, text);  // the sources hold valid times only
    char datetime[33];
    std::memcpy(datetime, text, 26);  // to the microsecond, as ISO 8601 readers commonly take
    std::memcpy(datetime + 26, "+00:00", 7);
    json.BeginObject();
    json.Key("message");
    json.String(message);
    json.Key("datetime");
    json.PlainString(std::string_view(datetime, 32));
    json.Key("timestamp");
    json.Number(detail::UnixMicroseconds(event.filetime));
    json.Key("timestamp_desc");
    json.PlainString(event.description);
    json.Key("file");
    json.String(link.file);
    json.Key("target_path");
    OptionalString(json, link.target.path);
    json.Key("arguments");
    OptionalString(json, link.target.arguments);
    json.Key("machine_id");
    OptionalString(json, tracker != nullptr ? tracker->machine_id : std::nullopt);
    json.Key("mac_address");
    OptionalString(json, tracker != nullptr ? tracker->mac_address : std::nullopt);
    const Container* const container = link.container ? &*link.container : nullptr;
    json.Key("container_path");
    OptionalString(json, container != nullptr ? std::optional<std::string>(container->path) : std::nullopt);
    json.Key("app_id");
    OptionalString(json, container != nullptr ? container->app_id : std::nullopt);
    json.Key("warnings");
    json.BeginArray();
    for (const Warning& warning : link.warnings) {
        json.PlainString(WarningCodeName(warning.code));
    }
    json.EndArray();
    json.EndObject();
    json.EndLine();
}

}  // namespace

void AppendTimesketchLines(const Link& link, std::string& out) {
    const TrackerBlock* tracker = link.status == Status::kRead ? FindBlock<TrackerBlock>(link) : nullptr;
    static const JsonFlush kNoFlush;  // the writer keeps a reference to it
    JsonWriter json(out, kNoFlush);
    for (const TimeSource& source : detail::TimeSourcesOf(link)) {
        Event events[4];
        EventsOf(source, events);
        for (const Event& event : events) {
            if (event.filetime != 0) {
                WriteEvent(json, link, source, event, tracker);
            }
        }
    }
}

}  // namespace shell_link
