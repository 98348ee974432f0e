// SPDX-License-Identifier: MIT
// A custom destinations Jump List: a 12-byte header, then categories, each closed by the
// footer AB FB BF BA. A category of the application's own (type 0) has a name and
// entries, the tasks (type 2) entries alone, a known category (type 1: Frequent, Recent)
// none here. An entry is a class identifier, the shell link's, then a link whose length
// no field gives: its structures say where it ends, as Windows reads it. So that a link
// cut short cannot take the entries after it as its ExtraData, it is read no further than
// the next link header.
#include <cstdint>
#include <cstring>
#include <string.h>
#include <string>

#include "containers/contained_records.h"
#include "shell_link/reading.h"
#include "text/utf16.h"

namespace shell_link::detail {

namespace {

constexpr std::size_t kFileHeaderSize = 12;
constexpr std::uint32_t kFooter = 0xBABFFBAB;
constexpr std::size_t kClassIdSize = 16;
enum CategoryType : std::uint32_t { kCustomCategory = 0, kKnownCategory = 1, kTasks = 2 };

class CustomReader {
public:
    CustomReader(ByteSpan file, Container where, CodePage& codePage, const LinkSink& sink)
        : file_(file), where_(std::move(where)), codePage_(codePage), sink_(sink) {
        where_.kind = ContainerKind::kCustomDestinations;
    }

    // Returns false when the sink stopped the reading.
    bool Read() {
        const std::uint32_t categories = *Field<std::uint32_t>(file_, 4);
        at_ = kFileHeaderSize;
        for (std::uint32_t i = 0; i < categories && going_; ++i) {
            if (at_ >= file_.size) {
                Fail("the file ends after " + std::to_string(i) + " of its " + std::to_string(categories) + " categories");
                break;
            }
            if (!Category()) {
                break;
            }
        }
        if (going_ && !failed_ && at_ < file_.size) {
            Rest();
        }
        Flush();
        return going_;
    }

private:
    // One category, with its footer; false when the file can be read no further.
    bool Category() {
        const std::uint64_t start = at_;
        const std::optional<std::uint32_t> type = Field<std::uint32_t>(file_, at_);
        if (!type) {
            return Fail("the category at " + std::to_string(start) + " is cut short");
        }
        if (*type != kCustomCategory && *type != kKnownCategory && *type != kTasks) {
            return Fail("the category at " + std::to_string(start) + " has type " + std::to_string(*type) +
                        ", which no Jump List has: its length is unknown");
        }
        at_ += 4;
        std::optional<std::string> name;
        if (*type == kCustomCategory) {
            const std::optional<std::uint16_t> length = Field<std::uint16_t>(file_, at_);
            if (!length || !file_.Holds(at_ + 2, 2 * std::uint64_t{*length})) {
                return Fail("the name of the category at " + std::to_string(start) + " runs past the end of the file");
            }
            bool paired = true;
            name = Utf16ToUtf8(file_.data + at_ + 2, *length, paired);
            at_ += 2 + 2 * std::uint64_t{*length};
        } else if (*type == kKnownCategory) {
            at_ += 4;  // Frequent (1) or Recent (2): Windows lists those entries itself
        } else {
            name = "Tasks";
        }
        if (*type != kKnownCategory) {
            const std::optional<std::uint32_t> entries = Field<std::uint32_t>(file_, at_);
            if (!entries) {
                return Fail("the category at " + std::to_string(start) + " is cut short");
            }
            at_ += 4;
            for (std::uint32_t i = 0; i < *entries && going_; ++i) {
                if (!Entry(name)) {
                    return false;
                }
            }
        }
        return going_ && Footer(start);
    }

    // One class identifier and link; false when the file can be read no further.
    bool Entry(const std::optional<std::string>& category) {
        if (!file_.Holds(at_, kClassIdSize) || std::memcmp(file_.data + at_, kLinkHeaderBytes + 4, kClassIdSize) != 0) {
            return Fail(file_.Holds(at_, kClassIdSize)
                            ? "the entry at " + std::to_string(at_) + " is of another class than a shell link: its length is unknown"
                            : "the entry at " + std::to_string(at_) + " is cut short");
        }
        const std::uint64_t start = at_ + kClassIdSize;
        const std::uint64_t end = NextLinkHeader(start);
        Flush();
        pending_ = ReadEmbeddedLink(file_.data + start, static_cast<std::size_t>(end - start), codePage_);
        Container place = where_;
        place.offset = start;
        place.category = category;
        PlaceIn(*pending_, place);
        at_ = start + pending_->size.value_or(end - start);
        return true;
    }

    bool Footer(std::uint64_t start) {
        const std::optional<std::uint32_t> footer = Field<std::uint32_t>(file_, at_);
        if (footer && *footer == kFooter) {
            at_ += 4;
            return true;
        }
        const std::string what = "the category at " + std::to_string(start) + " has no footer at " + std::to_string(at_);
        if (pending_) {
            pending_->warnings.push_back({WarningCode::kTruncated, std::nullopt, what + ": its last link runs past it"});
            failed_ = true;
            return false;
        }
        return Fail(what);
    }

    // Entries after the last category, which no source describes: read where they are
    // entries, each said to belong to no category.
    void Rest() {
        while (going_ && at_ < file_.size) {
            const std::uint64_t start = at_;
            if (!file_.Holds(at_, kClassIdSize + sizeof kLinkHeaderBytes) ||
                std::memcmp(file_.data + at_, kLinkHeaderBytes + 4, kClassIdSize) != 0 ||
                std::memcmp(file_.data + at_ + kClassIdSize, kLinkHeaderBytes, sizeof kLinkHeaderBytes) != 0 ||
                !Entry(std::nullopt)) {
                Fail(ByteCount(file_.size - start) + " after the last category are no entry");
                return;
            }
            pending_->warnings.push_back({WarningCode::kUnmatchedEntry, std::nullopt, "the entry follows the last category"});
        }
    }

    // Where the link starting at start may end: the next link header's class identifier,
    // or the end of the file.
    std::uint64_t NextLinkHeader(std::uint64_t start) const {
        if (start >= file_.size) {
            return file_.size;
        }
        const unsigned char* const from = file_.data + start + 1;
        const auto left = static_cast<std::size_t>(file_.size - start - 1);
        const void* const found = memmem(from, left, kLinkHeaderBytes, sizeof kLinkHeaderBytes);
        if (found == nullptr) {
            return file_.size;
        }
        const auto header = static_cast<std::uint64_t>(static_cast<const unsigned char*>(found) - file_.data);
        return header - kClassIdSize > start ? header - kClassIdSize : header;
    }

    // Stops the reading with a record of why; returns false for the callers to stop too.
    bool Fail(std::string reason) {
        Flush();
        Container place = where_;
        place.offset = at_;
        Link link = ContainerError(place, std::move(reason));
        going_ = going_ && sink_(link);
        failed_ = true;
        return false;
    }

    // The link read last goes out once nothing more can be said of it.
    void Flush() {
        if (pending_ && going_) {
            going_ = sink_(*pending_);
        }
        pending_.reset();
    }

    ByteSpan file_;
    Container where_;
    CodePage& codePage_;
    const LinkSink& sink_;
    std::uint64_t at_ = 0;
    std::optional<Link> pending_;
    bool going_ = true;
    bool failed_ = false;
};

}  // namespace

bool ReadCustomDestinations(const unsigned char* bytes, std::size_t size, Container where, CodePage& codePage,
                            const LinkSink& sink) {
    CustomReader reader(ByteSpan{bytes, size}, std::move(where), codePage, sink);
    return reader.Read();
}

}  // namespace shell_link::detail
