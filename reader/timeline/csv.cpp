// SPDX-License-Identifier: MIT
// The CSV row: the 27 columns, in their order, by whose exact header Timeline Explorer
// recognises a CSV of link files. Lists of names (attributes, flags, blocks) are joined
// with "|"; a volume serial number is written as Windows' vol command shows it.
#include <shortcut_reader/shell_link_timeline.h>

#include <algorithm>
#include <charconv>
#include <string_view>

#include "format/values.h"

namespace shell_link {

namespace {

namespace sr = link_format;

constexpr char kHeader[] =
    "SourceFile,SourceCreated,SourceModified,SourceAccessed,TargetCreated,TargetModified,TargetAccessed,FileSize,"
    "RelativePath,WorkingDirectory,FileAttributes,HeaderFlags,DriveType,VolumeSerialNumber,VolumeLabel,LocalPath,"
    "NetworkPath,CommonPath,Arguments,TargetIDAbsolutePath,TargetMFTEntryNumber,TargetMFTSequenceNumber,MachineID,"
    "MachineMACAddress,MACVendor,TrackerCreatedOn,ExtraBlocksPresent\r\n";

bool NeedsQuotes(char c) { return c == '"' || c == ',' || c == '\r' || c == '\n'; }

class Row {
public:
    Row(std::string& out, bool precise) : out_(out), precise_(precise) {}

    // RFC 4180: a field holding a quote, a comma or a line break is quoted, its quotes doubled.
    void Text(std::string_view text) {
        Separate();
        if (std::none_of(text.begin(), text.end(), NeedsQuotes)) {
            out_.append(text);
            return;
        }
        out_ += '"';
        for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos; text.remove_prefix(quote + 1)) {
            out_.append(text.substr(0, quote + 1));
            out_ += '"';
        }
        out_.append(text);
        out_ += '"';
    }
    void Text(const std::string& text) { Text(std::string_view(text)); }
    void Text(const std::optional<std::string>& text) { text ? Text(std::string_view(*text)) : Empty(); }
    void Text(const std::optional<CountedString>& text) { text ? Text(std::string_view(text->text)) : Empty(); }
    void Name(const char* name) { name != nullptr ? Text(std::string_view(name)) : Empty(); }
    void Number(std::uint64_t number) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        Text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    template <typename T>
    void Number(const std::optional<T>& number) {
        number ? Number(std::uint64_t{*number}) : Empty();
    }
    // "2008-09-12 20:27:17", or with seven fractional digits; empty for none.
    void Time(std::uint64_t filetime) {
        char text[sr::kFileTimeTextLength];
        if (!sr::FileTimeText(filetime, text)) {
            Empty();
            return;
        }
        text[10] = ' ';
        Text(std::string_view(text, precise_ ? 27 : 19));
    }
    void Time(const std::optional<FileTime>& time) { time ? Time(time->value) : Empty(); }
    // Names from the format's tables, which need no quotes, joined with "|".
    template <std::size_t N>
    void BitNames(std::uint32_t value, const NamedBit (&names)[N]) {
        Separate();
        const char* separator = "";
        for (const NamedBit& bit : names) {
            if ((value & bit.mask) != 0) {
                out_ += separator;
                out_ += bit.name;
                separator = "|";
            }
        }
    }
    void BlockNames(const std::vector<ExtraDataBlock>& blocks) {
        Separate();
        const char* separator = "";
        for (const ExtraDataBlock& block : blocks) {
            const BlockKind* kind = BlockKindOf(block.block_signature);
            out_ += separator;
            out_ += kind != nullptr ? kind->name : "UnknownDataBlock";
            separator = "|";
        }
    }
    void Empty() { Separate(); }
    void End() { out_ += "\r\n"; }

private:
    void Separate() {
        if (!first_) {
            out_ += ',';
        }
        first_ = false;
    }

    std::string& out_;
    bool precise_;
    bool first_ = true;
};

void VolumeColumns(Row& row, const std::optional<LinkInfo>& info) {
    const VolumeId* volume = info && info->volume_id ? &*info->volume_id : nullptr;
    if (volume == nullptr) {
        row.Empty();
        row.Empty();
        row.Empty();
        return;
    }
    row.Name(DriveTypeName(volume->drive_type));
    char serial[9];
    sr::UpperHexDigits(serial, volume->drive_serial_number >> 16, 4);
    serial[4] = '-';
    sr::UpperHexDigits(serial + 5, volume->drive_serial_number & 0xFFFF, 4);
    row.Text(std::string_view(serial, sizeof serial));
    row.Text(volume->volume_label);
}

void LinkInfoPaths(Row& row, const std::optional<LinkInfo>& info) {
    if (!info) {
        row.Empty();
        row.Empty();
        row.Empty();
        return;
    }
    row.Text(info->local_base_path);
    if (info->common_network_relative_link) {
        row.Text(info->common_network_relative_link->net_name);
    } else {
        row.Empty();
    }
    row.Text(info->common_path_suffix);
}

// The MFT reference of the target: the last file entry of the ID list that holds one.
void MftColumns(Row& row, const std::optional<IdList>& list) {
    const FileEntryItem* last = nullptr;
    static const std::vector<Item> kNone;
    for (const Item& item : list ? list->items : kNone) {
        const FileEntryItem* entry = std::get_if<FileEntryItem>(&item.data);
        if (const auto* delegate = std::get_if<DelegateItem>(&item.data)) {
            entry = &delegate->file_entry;
        }
        if (entry != nullptr && entry->mft_entry) {
            last = entry;
        }
    }
    row.Number(last != nullptr ? last->mft_entry : std::nullopt);
    row.Number(last != nullptr ? last->mft_sequence : std::nullopt);
}

void TrackerColumns(Row& row, const TrackerBlock* tracker) {
    if (tracker == nullptr) {
        for (int i = 0; i < 4; ++i) {
            row.Empty();
        }
        return;
    }
    row.Text(tracker->machine_id);
    row.Text(tracker->mac_address);
    row.Text(tracker->mac_vendor);
    row.Time(tracker->droid_file_time);
}

}  // namespace

void AppendCsvHeader(std::string& out) { out.append(kHeader, sizeof kHeader - 1); }

void AppendCsvRow(const Link& link, std::string& out, bool precise) {
    Row row(out, precise);
    row.Text(link.file);
    const std::optional<LinkFile>& file = link.link_file;
    row.Time(file ? file->born : std::nullopt);
    row.Time(file ? file->modified : std::nullopt);
    // A link in a Jump List has no file of its own: its DestList entry says when it was last used.
    const DestListEntry* const entry = link.container && link.container->dest_list ? &*link.container->dest_list : nullptr;
    row.Time(file ? file->accessed : entry != nullptr ? entry->last_access_time : std::nullopt);
    if (link.status != Status::kRead) {
        for (int column = 4; column < 27; ++column) {
            row.Empty();
        }
        row.End();
        return;
    }
    const Header& header = link.header;
    row.Time(header.creation_time.value);
    row.Time(header.write_time.value);
    row.Time(header.access_time.value);
    row.Number(header.file_size);
    row.Text(link.string_data.relative_path);
    row.Text(link.string_data.working_dir);
    row.BitNames(header.file_attributes, kFileAttributeNames);
    row.BitNames(header.link_flags, kLinkFlagNames);
    VolumeColumns(row, link.link_info);
    LinkInfoPaths(row, link.link_info);
    row.Text(link.target.arguments);
    row.Text(link.link_target_id_list ? link.link_target_id_list->path : std::nullopt);
    MftColumns(row, link.link_target_id_list);
    TrackerColumns(row, FindBlock<TrackerBlock>(link));
    row.BlockNames(link.extra_data);
    row.End();
}

}  // namespace shell_link
