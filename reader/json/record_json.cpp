// SPDX-License-Identifier: MIT
// The JSON record: every key always present, in the order of the record's description,
// null for what is absent. Flag words are {value, names}, enumerations {value, name},
// GUIDs in registry form, times in ISO 8601, block signatures as "0x" and eight
// upper-case hex digits, unknown bytes as lower-case hex.
#include <shortcut_reader/shell_link_json.h>

#include <charconv>
#include <cmath>
#include <cstring>

#include "format/layout.h"
#include "format/names.h"
#include "format/values.h"
#include "json/json_writer.h"

namespace shell_link {

namespace detail {

namespace {

namespace sr = link_format;

// Overloads picked by Value(): everything the record holds.
void Value(JsonWriter& json, const std::string& text) { json.String(text); }
// Names from the format's tables, which need no escaping.
void Value(JsonWriter& json, const char* text) { json.PlainString(text); }
void Value(JsonWriter& json, std::uint64_t number) { json.Number(number); }
void Value(JsonWriter& json, std::uint32_t number) { json.Number(std::uint64_t{number}); }
void Value(JsonWriter& json, std::uint16_t number) { json.Number(std::uint64_t{number}); }
void Value(JsonWriter& json, std::uint8_t number) { json.Number(std::uint64_t{number}); }
void Value(JsonWriter& json, std::int64_t number) { json.Number(number); }
void Value(JsonWriter& json, std::int32_t number) { json.Number(std::int64_t{number}); }
void Value(JsonWriter& json, std::int16_t number) { json.Number(std::int64_t{number}); }
void Value(JsonWriter& json, bool flag) { json.Bool(flag); }
void Value(JsonWriter& json, double number) { json.Number(number); }
// A float as its shortest decimal form; null where it is not a number JSON has.
void Value(JsonWriter& json, float number) {
    if (!std::isfinite(number)) {
        json.Null();
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, number).ptr;
    json.Raw(std::string_view(text, static_cast<std::size_t>(end - text)));
}


void Value(JsonWriter& json, const Guid& guid) {
    char text[sr::kGuidTextLength];
    sr::GuidText(guid, text);
    json.PlainString(std::string_view(text, sizeof text));
}

// A time's text, or null where it has none.
template <std::size_t N>
void TextOrNull(JsonWriter& json, bool written, const char (&text)[N]) {
    if (written) {
        json.PlainString(std::string_view(text, N));
    } else {
        json.Null();
    }
}

void Value(JsonWriter& json, FileTime time) {
    char text[sr::kFileTimeTextLength];
    TextOrNull(json, sr::FileTimeText(time.value, text), text);
}

void Value(JsonWriter& json, DosDateTime time) {
    char text[sr::kDosDateTimeTextLength];
    TextOrNull(json, sr::DosDateTimeText(time.value, text), text);
}

// VT_CY: the amount with its four decimals.
void Value(JsonWriter& json, Currency currency) {
    const bool negative = currency.scaled < 0;
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(currency.scaled) + 1 : static_cast<std::uint64_t>(currency.scaled);
    char text[32];
    char* at = text;
    if (negative) {
        *at++ = '-';
    }
    at = std::to_chars(at, text + sizeof text, magnitude / 10000).ptr;
    *at++ = '.';
    const std::uint64_t fraction = magnitude % 10000;
    for (std::uint64_t unit = 1000; unit > 0; unit /= 10) {
        *at++ = static_cast<char>('0' + fraction / unit % 10);
    }
    json.Raw(std::string_view(text, static_cast<std::size_t>(at - text)));
}

template <typename T>
void Value(JsonWriter& json, const std::optional<T>& value) {
    if (value) {
        Value(json, *value);
    } else {
        json.Null();
    }
}

template <std::size_t N, typename T>
void Member(JsonWriter& json, const char (&key)[N], const T& value) {
    json.Key(key);
    Value(json, value);
}

void NameOrNull(JsonWriter& json, const char* name) {
    if (name != nullptr) {
        json.PlainString(name);
    } else {
        json.Null();
    }
}

template <std::size_t N>
constexpr bool MasksAscend(const sr::NamedBit (&names)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (names[i].mask <= names[i - 1].mask) {
            return false;
        }
    }
    return true;
}
static_assert(MasksAscend(sr::kLinkFlagNames) && MasksAscend(sr::kFileAttributeNames) &&
                  MasksAscend(sr::kHotKeyModifierNames) && MasksAscend(sr::kLinkInfoFlagNames) &&
                  MasksAscend(sr::kNetworkLinkFlagNames),
              "BitNames stops at the first mask above the value: a table given to it lists its masks ascending");

// The names of the bits set in value, lowest first, as the tables list them.
template <std::size_t N>
void BitNames(JsonWriter& json, std::uint32_t value, const sr::NamedBit (&names)[N]) {
    json.BeginArray();
    for (const sr::NamedBit& bit : names) {
        if (bit.mask > value) {
            break;  // the masks ascend: no later one is set
        }
        if ((value & bit.mask) != 0) {
            json.PlainString(bit.name);
        }
    }
    json.EndArray();
}

template <std::size_t K, std::size_t N>
void FlagWord(JsonWriter& json, const char (&key)[K], std::uint32_t value, const sr::NamedBit (&names)[N]) {
    json.Key(key);
    json.BeginObject();
    Member(json, "value", value);
    json.Key("names");
    BitNames(json, value, names);
    json.EndObject();
}

template <std::size_t K>
void NamedValue(JsonWriter& json, const char (&key)[K], std::uint32_t value, const char* name) {
    json.Key(key);
    json.BeginObject();
    Member(json, "value", value);
    json.Key("name");
    NameOrNull(json, name);
    json.EndObject();
}

// "0x" and eight upper-case digits, or eight alone.
template <std::size_t K>
void HexWord(JsonWriter& json, const char (&key)[K], std::uint32_t value, bool prefixed) {
    char text[10] = {'0', 'x'};
    sr::UpperHexDigits(text + 2, value, 8);
    json.Key(key);
    json.PlainString(prefixed ? std::string_view(text, 10) : std::string_view(text + 2, 8));
}

void DataPrefix(JsonWriter& json, const std::vector<std::uint8_t>& bytes) {
    json.Key("data_prefix");
    json.HexBytes(bytes.data(), bytes.size());
}

void WriteHeader(JsonWriter& json, const Header& header) {
    json.BeginObject();
    Member(json, "header_size", header.header_size);
    Member(json, "link_clsid", header.link_clsid);
    FlagWord(json, "link_flags", header.link_flags, sr::kLinkFlagNames);
    FlagWord(json, "file_attributes", header.file_attributes, sr::kFileAttributeNames);
    Member(json, "creation_time", header.creation_time);
    Member(json, "access_time", header.access_time);
    Member(json, "write_time", header.write_time);
    Member(json, "file_size", header.file_size);
    Member(json, "icon_index", header.icon_index);
    NamedValue(json, "show_command", header.show_command, sr::ShowCommandName(header.show_command));
    json.Key("hot_key");
    json.BeginObject();
    Member(json, "value", header.hot_key);
    char key[12];
    json.Key("key");
    NameOrNull(json, sr::HotKeyName(static_cast<std::uint8_t>(header.hot_key & 0xFF), key));
    json.Key("modifiers");
    BitNames(json, header.hot_key >> 8, sr::kHotKeyModifierNames);
    json.EndObject();
    json.EndObject();
}

void WritePropertyStorages(JsonWriter& json, const std::vector<PropertyStorage>& storages);

void FileEntryFields(JsonWriter& json, const FileEntryItem& entry) {
    Member(json, "short_name", entry.short_name);
    Member(json, "file_size", entry.file_size);
    Member(json, "modification_time", entry.modification_time);
    if (entry.file_attributes) {
        FlagWord(json, "file_attributes", *entry.file_attributes, sr::kFileAttributeNames);
    } else {
        Member(json, "file_attributes", entry.file_attributes);
    }
    Member(json, "long_name", entry.long_name);
    Member(json, "creation_time", entry.creation_time);
    Member(json, "access_time", entry.access_time);
    Member(json, "mft_entry", entry.mft_entry);
    Member(json, "mft_sequence", entry.mft_sequence);
}

// A name from the well-known identifier tables, which hold none that needs escaping.
template <std::size_t K>
void NameMember(JsonWriter& json, const char (&key)[K], const char* name) {
    json.Key(key);
    NameOrNull(json, name);
}

struct ItemFields {
    JsonWriter& json;

    void operator()(const RootFolderItem& root) const {
        Member(json, "kind", "root_folder");
        Member(json, "root_folder_id", root.root_folder_id);
        Member(json, "sort_index", root.sort_index);
        NameMember(json, "name", root.name);
    }
    void operator()(const VolumeItem& volume) const {
        Member(json, "kind", "volume");
        Member(json, "name", volume.name);
        Member(json, "shell_folder_id", volume.shell_folder_id);
        NameMember(json, "shell_folder_name", volume.shell_folder_name);
        Member(json, "device_name", volume.device_name);
    }
    void operator()(const FileEntryItem& entry) const {
        Member(json, "kind", "file_entry");
        FileEntryFields(json, entry);
    }
    void operator()(const NetworkLocationItem& network) const {
        Member(json, "kind", "network_location");
        Member(json, "location", network.location);
        Member(json, "description", network.description);
        Member(json, "comments", network.comments);
    }
    void operator()(const DelegateItem& delegate) const {
        Member(json, "kind", "delegate");
        Member(json, "delegate_id", delegate.delegate_id);
        Member(json, "item_class_id", delegate.item_class_id);
        FileEntryFields(json, delegate.file_entry);
    }
    void operator()(const UriItem& uri) const {
        Member(json, "kind", "uri");
        Member(json, "uri", uri.uri);
    }
    void operator()(const ControlPanelItem& item) const {
        Member(json, "kind", "control_panel_item");
        Member(json, "control_panel_id", item.control_panel_id);
        NameMember(json, "name", item.name);
        NameMember(json, "canonical_name", item.canonical_name);
    }
    void operator()(const ControlPanelCategoryItem& category) const {
        Member(json, "kind", "control_panel_category");
        Member(json, "category", category.category);
        NameMember(json, "name", category.name);
    }
    void operator()(const ControlPanelAppletItem& applet) const {
        Member(json, "kind", "control_panel_applet");
        Member(json, "cpl_path", applet.cpl_path);
        Member(json, "name", applet.name);
        Member(json, "comments", applet.comments);
    }
    void operator()(const PropertyViewItem& view) const {
        Member(json, "kind", "property_view");
        Member(json, "signature", view.signature);
        Member(json, "known_folder_id", view.known_folder_id);
        WritePropertyStorages(json, view.property_storages);
        Member(json, "name", view.name);
    }
    void operator()(const MtpVolumeItem& volume) const {
        Member(json, "kind", "mtp_volume");
        Member(json, "name", volume.name);
        Member(json, "identifier", volume.identifier);
        Member(json, "file_system", volume.file_system);
    }
    void operator()(const MtpFileEntryItem& entry) const {
        Member(json, "kind", "mtp_file_entry");
        Member(json, "name", entry.name);
        Member(json, "object_id", entry.object_id);
        Member(json, "creation_time", entry.creation_time);
        Member(json, "content_type", entry.content_type);
    }
    void operator()(const GameFolderItem& game) const {
        Member(json, "kind", "game_folder");
        Member(json, "game_id", game.game_id);
    }
    void operator()(const CdBurningItem&) const { Member(json, "kind", "cd_burning"); }
    void operator()(const AcronisFileItem& file) const {
        Member(json, "kind", "acronis_file");
        Member(json, "name", file.name);
        Member(json, "path", file.path);
    }
    void operator()(const ZipFolderItem& zip) const {
        Member(json, "kind", "zip_folder");
        Member(json, "name", zip.name);
    }
    void operator()(const UnknownItem& unknown) const {
        Member(json, "kind", "unknown");
        DataPrefix(json, unknown.data_prefix);
    }
};

void WriteItems(JsonWriter& json, const std::vector<Item>& items) {
    json.Key("items");
    json.BeginArray();
    for (const Item& item : items) {
        json.BeginObject();
        Member(json, "offset", item.offset);
        Member(json, "item_id_size", item.item_id_size);
        Member(json, "class_type_indicator", item.class_type_indicator);
        std::visit(ItemFields{json}, item.data);
        json.EndObject();
    }
    json.EndArray();
}

void WriteLinkInfo(JsonWriter& json, const LinkInfo& info) {
    json.BeginObject();
    Member(json, "link_info_size", info.link_info_size);
    Member(json, "link_info_header_size", info.link_info_header_size);
    FlagWord(json, "link_info_flags", info.link_info_flags, sr::kLinkInfoFlagNames);
    json.Key("volume_id");
    if (info.volume_id) {
        json.BeginObject();
        NamedValue(json, "drive_type", info.volume_id->drive_type, sr::DriveTypeName(info.volume_id->drive_type));
        HexWord(json, "drive_serial_number", info.volume_id->drive_serial_number, false);
        Member(json, "volume_label", info.volume_id->volume_label);
        json.EndObject();
    } else {
        json.Null();
    }
    Member(json, "local_base_path", info.local_base_path);
    json.Key("common_network_relative_link");
    if (const auto& network = info.common_network_relative_link) {
        json.BeginObject();
        FlagWord(json, "flags", network->flags, sr::kNetworkLinkFlagNames);
        Member(json, "net_name", network->net_name);
        Member(json, "device_name", network->device_name);
        if (network->network_provider_type) {
            NamedValue(json, "network_provider_type", *network->network_provider_type,
                       sr::NetworkProviderName(*network->network_provider_type));
        } else {
            Member(json, "network_provider_type", network->network_provider_type);
        }
        json.EndObject();
    } else {
        json.Null();
    }
    Member(json, "common_path_suffix", info.common_path_suffix);
    json.EndObject();
}

void WriteStringData(JsonWriter& json, const StringData& strings) {
    const auto text = [&json](const auto& key, const std::optional<CountedString>& string) {
        json.Key(key);
        if (string) {
            json.String(string->text);  // written where it is kept, without a copy
        } else {
            json.Null();
        }
    };
    json.BeginObject();
    text("name_string", strings.name_string);
    text("relative_path", strings.relative_path);
    text("working_dir", strings.working_dir);
    text("command_line_arguments", strings.command_line_arguments);
    text("icon_location", strings.icon_location);
    json.EndObject();
}

std::string PropertyTypeName(std::uint16_t type) {
    const std::uint16_t flags = type & 0xF000;
    const char* name = sr::VariantTypeName(type & 0x0FFF);
    if (name == nullptr || (flags != 0 && flags != sr::kVtVector && flags != sr::kVtArray)) {
        char text[6] = {'0', 'x'};
        sr::UpperHexDigits(text + 2, type, 4);
        return std::string(text, sizeof text);
    }
    if (flags == sr::kVtVector) {
        return std::string("VT_VECTOR|") + name;
    }
    return flags == sr::kVtArray ? std::string("VT_ARRAY|") + name : std::string(name);
}

struct PropertyValueJson {
    JsonWriter& json;
    void operator()(std::monostate) const { json.Null(); }
    template <typename T>
    void operator()(const T& value) const {
        Value(json, value);
    }
};

void WritePropertyStorages(JsonWriter& json, const std::vector<PropertyStorage>& storages) {
    json.Key("property_storages");
    json.BeginArray();
    for (const PropertyStorage& storage : storages) {
        json.BeginObject();
        Member(json, "format_id", storage.format_id);
        json.Key("properties");
        json.BeginArray();
        for (const Property& property : storage.properties) {
            json.BeginObject();
            Member(json, "id", property.id);
            Member(json, "name", property.name);
            NameMember(json, "canonical_name", property.canonical_name);
            json.Key("type");
            json.PlainString(PropertyTypeName(property.type));
            json.Key("value");
            std::visit(PropertyValueJson{json}, property.value);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

struct BlockFields {
    JsonWriter& json;

    void operator()(const EnvironmentBlock& block) const {
        Member(json, "target_ansi", block.target_ansi);
        Member(json, "target_unicode", block.target_unicode);
    }
    void operator()(const IconEnvironmentBlock& block) const {
        Member(json, "target_ansi", block.target_ansi);
        Member(json, "target_unicode", block.target_unicode);
    }
    void operator()(const ConsoleBlock& block) const {
        Member(json, "fill_attributes", block.fill_attributes);
        Member(json, "popup_fill_attributes", block.popup_fill_attributes);
        Member(json, "screen_buffer_size_x", block.screen_buffer_size_x);
        Member(json, "screen_buffer_size_y", block.screen_buffer_size_y);
        Member(json, "window_size_x", block.window_size_x);
        Member(json, "window_size_y", block.window_size_y);
        Member(json, "window_origin_x", block.window_origin_x);
        Member(json, "window_origin_y", block.window_origin_y);
        Member(json, "unused1", block.unused1);
        Member(json, "unused2", block.unused2);
        Member(json, "font_size", block.font_size);
        Member(json, "font_family", block.font_family);
        Member(json, "font_weight", block.font_weight);
        Member(json, "face_name", block.face_name);
        Member(json, "cursor_size", block.cursor_size);
        Member(json, "full_screen", block.full_screen);
        Member(json, "quick_edit", block.quick_edit);
        Member(json, "insert_mode", block.insert_mode);
        Member(json, "auto_position", block.auto_position);
        Member(json, "history_buffer_size", block.history_buffer_size);
        Member(json, "number_of_history_buffers", block.number_of_history_buffers);
        Member(json, "history_no_dup", block.history_no_dup);
        json.Key("color_table");
        if (block.color_table) {
            json.BeginArray();
            for (const std::uint32_t color : *block.color_table) {
                Value(json, color);
            }
            json.EndArray();
        } else {
            json.Null();
        }
    }
    void operator()(const TrackerBlock& block) const {
        Member(json, "version", block.version);
        Member(json, "machine_id", block.machine_id);
        Member(json, "droid_volume_id", block.droid_volume_id);
        Member(json, "droid_file_id", block.droid_file_id);
        Member(json, "droid_birth_volume_id", block.droid_birth_volume_id);
        Member(json, "droid_birth_file_id", block.droid_birth_file_id);
        Member(json, "mac_address", block.mac_address);
        // The birth identifier is mostly the file's own: its time is written out once.
        char time[sr::kFileTimeTextLength];
        const bool timed = block.droid_file_time && sr::FileTimeText(block.droid_file_time->value, time);
        json.Key("droid_file_time");
        TextOrNull(json, timed, time);
        Member(json, "mac_vendor", block.mac_vendor);
        NameMember(json, "mac_kind", block.mac_kind);
        Member(json, "birth_mac_address", block.birth_mac_address);
        if (block.birth_droid_file_time && block.droid_file_time &&
            block.birth_droid_file_time->value == block.droid_file_time->value) {
            json.Key("birth_droid_file_time");
            TextOrNull(json, timed, time);
        } else {
            Member(json, "birth_droid_file_time", block.birth_droid_file_time);
        }
        Member(json, "birth_mac_vendor", block.birth_mac_vendor);
        NameMember(json, "birth_mac_kind", block.birth_mac_kind);
    }
    void operator()(const ConsoleFeBlock& block) const { Member(json, "code_page", block.code_page); }
    void operator()(const SpecialFolderBlock& block) const {
        Member(json, "special_folder_id", block.special_folder_id);
        NameMember(json, "special_folder_name", block.special_folder_name);
        Member(json, "id_list_offset", block.id_list_offset);
    }
    void operator()(const DarwinBlock& block) const {
        Member(json, "darwin_data_ansi", block.darwin_data_ansi);
        Member(json, "darwin_data_unicode", block.darwin_data_unicode);
    }
    void operator()(const ShimBlock& block) const { Member(json, "layer_name", block.layer_name); }
    void operator()(const PropertyStoreBlock& block) const { WritePropertyStorages(json, block.property_storages); }
    void operator()(const KnownFolderBlock& block) const {
        Member(json, "known_folder_id", block.known_folder_id);
        NameMember(json, "known_folder_name", block.known_folder_name);
        Member(json, "id_list_offset", block.id_list_offset);
    }
    void operator()(const VistaIdListBlock& block) const { WriteItems(json, block.items); }
    void operator()(const UnknownBlock& block) const { DataPrefix(json, block.data_prefix); }
};

void WriteExtraData(JsonWriter& json, const std::vector<ExtraDataBlock>& blocks) {
    json.BeginArray();
    for (const ExtraDataBlock& block : blocks) {
        json.BeginObject();
        Member(json, "offset", block.offset);
        Member(json, "block_size", block.block_size);
        HexWord(json, "block_signature", block.block_signature, true);
        const sr::BlockKind* kind = sr::BlockKindOf(block.block_signature);
        json.Key("block_name");
        json.PlainString(kind != nullptr ? kind->name : "UnknownDataBlock");
        std::visit(BlockFields{json}, block.data);
        json.EndObject();
    }
    json.EndArray();
}

void WriteWarnings(JsonWriter& json, const std::vector<Warning>& warnings) {
    json.BeginArray();
    for (const Warning& warning : warnings) {
        json.BeginObject();
        json.Key("code");
        json.PlainString(WarningCodeName(warning.code));
        json.Key("category");
        json.PlainString(WarningCategoryName(CategoryOf(warning.code)));
        Member(json, "offset", warning.offset);
        Member(json, "message", warning.message);
        json.EndObject();
    }
    json.EndArray();
}

void WriteTarget(JsonWriter& json, const Target& target) {
    json.BeginObject();
    Member(json, "path", target.path);
    NameMember(json, "source", TargetSourceName(target.source));
    Member(json, "arguments", target.arguments);
    json.EndObject();
}

void WriteLinkFile(JsonWriter& json, const LinkFile& file) {
    json.BeginObject();
    Member(json, "modified", file.modified);
    Member(json, "accessed", file.accessed);
    Member(json, "changed", file.changed);
    Member(json, "born", file.born);
    Member(json, "md5", file.md5);
    Member(json, "sha1", file.sha1);
    Member(json, "sha256", file.sha256);
    json.EndObject();
}

template <std::size_t K, typename T, typename Write>
void Section(JsonWriter& json, const char (&key)[K], const std::optional<T>& section, Write write) {
    json.Key(key);
    if (section) {
        write(json, *section);
    } else {
        json.Null();
    }
}

// A section every link has: null for a record that is not a link's.
template <std::size_t K, typename T, typename Write>
void Section(JsonWriter& json, const char (&key)[K], bool read, const T& section, Write write) {
    json.Key(key);
    if (read) {
        write(json, section);
    } else {
        json.Null();
    }
}

void WriteDestListEntry(JsonWriter& json, const DestListEntry& entry) {
    json.BeginObject();
    Member(json, "dest_list_version", entry.dest_list_version);
    Member(json, "offset", entry.offset);
    Member(json, "entry_number", entry.entry_number);
    Member(json, "hostname", entry.hostname);
    Member(json, "last_access_time", entry.last_access_time);
    Member(json, "pinned", entry.pinned);
    Member(json, "pin_position", entry.pin_position);
    Member(json, "access_count", entry.access_count);
    Member(json, "score", entry.score);
    Member(json, "droid_volume_id", entry.droid_volume_id);
    Member(json, "droid_file_id", entry.droid_file_id);
    Member(json, "droid_birth_volume_id", entry.droid_birth_volume_id);
    Member(json, "droid_birth_file_id", entry.droid_birth_file_id);
    Member(json, "path", entry.path);
    json.Key("checksum");
    char hex[16];
    for (std::size_t i = 0; i < sizeof hex; ++i) {
        hex[i] = "0123456789abcdef"[entry.checksum >> (60 - 4 * i) & 0xF];
    }
    json.PlainString(std::string_view(hex, sizeof hex));
    Member(json, "entry_status", entry.entry_status);
    json.EndObject();
}

void WriteContainer(JsonWriter& json, const Container& container) {
    json.BeginObject();
    json.Key("kind");
    json.PlainString(ContainerKindName(container.kind));
    Member(json, "path", container.path);
    Member(json, "member", container.member);
    Member(json, "app_id", container.app_id);
    Member(json, "stream", container.stream);
    Member(json, "offset", container.offset);
    Member(json, "category", container.category);
    Section(json, "dest_list", container.dest_list, WriteDestListEntry);
    json.EndObject();
}

}  // namespace

}  // namespace detail

void AppendJsonLine(const Link& link, std::string& out, const JsonFlush& flush) {
    using namespace detail;
    JsonWriter json(out, flush);
    json.BeginObject();
    Member(json, "file", link.file);
    json.Key("status");
    json.PlainString(StatusName(link.status));
    Member(json, "error", link.error);
    Member(json, "size", link.size);
    const bool read = link.status == Status::kRead;
    Section(json, "target", read, link.target, WriteTarget);
    Section(json, "link_file", link.link_file, WriteLinkFile);
    Section(json, "container", link.container, WriteContainer);
    Section(json, "header", read, link.header, WriteHeader);
    Section(json, "link_target_id_list", link.link_target_id_list, [](JsonWriter& writer, const IdList& list) {
        writer.BeginObject();
        Member(writer, "id_list_size", list.id_list_size);
        WriteItems(writer, list.items);
        Member(writer, "path", list.path);
        writer.EndObject();
    });
    Section(json, "link_info", link.link_info, WriteLinkInfo);
    Section(json, "string_data", read, link.string_data, WriteStringData);
    Section(json, "extra_data", read, link.extra_data, WriteExtraData);
    Section(json, "trailing_data", link.trailing_data, [](JsonWriter& writer, const TrailingData& trailing) {
        writer.BeginObject();
        Member(writer, "offset", trailing.offset);
        Member(writer, "size", trailing.size);
        writer.EndObject();
    });
    json.Key("warnings");
    WriteWarnings(json, link.warnings);
    json.EndObject();
    json.EndLine();
}

}  // namespace shell_link
