// SPDX-License-Identifier: MIT
// An automatic destinations Jump List: a compound file whose hex-named streams each hold
// one link, and whose DestList stream holds an entry for each of them. Records follow the
// streams in the directory's order; each stream's DestList entry comes with it, and an
// entry without its stream gives a record of its own.
#include <cstdint>
#include <string>
#include <vector>

#include "compound/compound_file.h"
#include "containers/contained_records.h"
#include "containers/dest_list.h"

namespace shell_link::detail {

namespace {

constexpr char kDestListName[] = "DestList";

// The number a stream's name gives in hex (1 to 8 digits, any case), or none.
std::optional<std::uint32_t> StreamNumber(const std::string& name) {
    if (name.empty() || name.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const char c : name) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    return number;
}

std::string HexName(std::uint32_t number) {
    char digits[9];
    int length = 0;
    do {
        digits[length++] = "0123456789abcdef"[number & 0xF];
        number >>= 4;
    } while (number != 0);
    std::string name;
    while (length > 0) {
        name += digits[--length];
    }
    return name;
}

// The DestList, read; its damage, if any, as the record of the stream itself.
struct History {
    DestListRead list;
    std::vector<bool> matched;
    bool present = false;
};

History ReadHistory(compound_file::CompoundFile& file, Container where, CodePage& codePage, const LinkSink& sink,
                    bool& going) {
    History history;
    for (const compound_file::Entry& entry : file.streams()) {
        if (entry.name != kDestListName) {
            continue;
        }
        where.stream = entry.name;
        std::vector<unsigned char> bytes;
        if (const std::optional<std::string> error = file.Read(entry, bytes)) {
            Link link = ContainerError(where, "the DestList stream cannot be read: " + *error);
            going = sink(link);
            return history;
        }
        history.present = true;
        history.list = ReadDestList(link_format::ByteSpan{bytes.data(), bytes.size()}, codePage);
        history.matched.assign(history.list.entries.size(), false);
        if (!history.list.damage.empty()) {
            Link link = ContainerError(where, "the DestList stream is damaged");
            link.warnings = std::move(history.list.damage);
            going = sink(link);
        }
        return history;
    }
    return history;
}

// The first entry not yet matched whose number is the stream's.
const DestListEntryRead* MatchEntry(History& history, std::uint32_t number) {
    for (std::size_t i = 0; i < history.list.entries.size(); ++i) {
        if (!history.matched[i] && history.list.entries[i].entry.entry_number == number) {
            history.matched[i] = true;
            return &history.list.entries[i];
        }
    }
    return nullptr;
}

void AddWarnings(Link& link, const std::vector<Warning>& warnings) {
    link.warnings.insert(link.warnings.end(), warnings.begin(), warnings.end());
}

// The record of one stream other than the DestList.
Link StreamRecord(compound_file::CompoundFile& file, const compound_file::Entry& entry, History& history,
                  Container where, CodePage& codePage) {
    where.stream = entry.name;
    const std::optional<std::uint32_t> number = StreamNumber(entry.name);
    const DestListEntryRead* const match = number ? MatchEntry(history, *number) : nullptr;
    if (match != nullptr) {
        where.dest_list = match->entry;
    }
    std::vector<unsigned char> bytes;
    Link link;
    if (const std::optional<std::string> error = file.Read(entry, bytes)) {
        link = ContainerError(where, "the stream cannot be read: " + *error);
    } else {
        link = ReadLink(bytes.data(), bytes.size(), codePage);
        PlaceIn(link, where);
    }
    if (match != nullptr) {
        AddWarnings(link, match->warnings);
    } else {
        link.warnings.push_back({WarningCode::kUnmatchedEntry, std::nullopt,
                                 !history.present ? "the Jump List has no DestList stream to say when this link was used"
                                 : number         ? "no DestList entry has the number this stream's name gives"
                                                  : "the stream's name is no DestList entry number"});
    }
    return link;
}

}  // namespace

bool ReadAutomaticDestinations(const unsigned char* bytes, std::size_t size, Container where, CodePage& codePage,
                               const LinkSink& sink) {
    where.kind = ContainerKind::kAutomaticDestinations;
    compound_file::CompoundFile file(link_format::ByteSpan{bytes, size});
    if (!file.ok()) {
        Link link = ContainerError(where, "damaged compound file: " + file.error());
        link.size = size;
        return sink(link);
    }
    bool going = true;
    History history = ReadHistory(file, where, codePage, sink, going);
    for (const compound_file::Entry& entry : file.streams()) {
        if (!going) {
            return false;
        }
        if (entry.name != kDestListName) {
            Link link = StreamRecord(file, entry, history, where, codePage);
            going = sink(link);
        }
    }
    for (std::size_t i = 0; going && i < history.list.entries.size(); ++i) {
        if (history.matched[i]) {
            continue;
        }
        const DestListEntryRead& orphan = history.list.entries[i];
        Container place = where;
        place.stream = HexName(orphan.entry.entry_number);
        place.dest_list = orphan.entry;
        Link link = ContainerError(place, "no stream holds the link of DestList entry " +
                                              std::to_string(orphan.entry.entry_number));
        link.warnings.push_back({WarningCode::kUnmatchedEntry, orphan.entry.offset,
                                 "the DestList entry names stream " + *place.stream + ", which the Jump List lacks"});
        AddWarnings(link, orphan.warnings);
        going = sink(link);
    }
    return going;
}

}  // namespace shell_link::detail
