// SPDX-License-Identifier: MIT
// The complete reader: every structure of a Windows shell link (.lnk) file, as plain
// values. ReadLink reads a link held in memory in one pass; ReadLinkFile reads a file
// whole first. Neither prints, exits or throws (but std::bad_alloc, when memory runs out):
// a structure that is cut short or malformed keeps what was read, adds a Warning, and
// the reading goes on with the next structure that can still be found. Analyze then adds
// the warnings of what looks wrong in the link.
//
// Memory: a record of any input takes at most about three times the input's size beyond
// it: every text is decoded from bytes of its own, those reached through an offset are cut
// at kMaxOffsetTextCharacters, and a record keeps at most kMaxItems, kMaxBlocks and
// kMaxProperties entries. (A code page that iconv decodes into more than three bytes a
// byte, such as UCS-4LE, takes up to about seven times.)
//
// Names follow MS-SHLLINK's, in snake_case. Numbers are kept as the file stores them;
// the functions at the end give the text forms the JSON record uses. Texts are UTF-8:
// UTF-16 ones decoded (an unpaired surrogate becomes U+FFFD), ANSI ones decoded from the
// CodePage given (a byte that does not decode becomes U+FFFD).
#ifndef SHORTCUT_READER_SHELL_LINK_H
#define SHORTCUT_READER_SHELL_LINK_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "export.h"
#include "shell_link_constants.h"

namespace shell_link {

// A GUID as the file stores it (packet form).
using Guid = std::array<std::uint8_t, 16>;
// A FILETIME: 100-ns intervals since 1601-01-01 UTC; 0 is "not set".
struct FileTime {
    std::uint64_t value = 0;
};
// A DOS date-time of a shell item: the date word in the low 16 bits, the time word in the
// high 16 bits; 0 is "not set".
struct DosDateTime {
    std::uint32_t value = 0;
};

enum class Status {
    kRead,          // the first four bytes (missing ones read as zero) are 4C 00 00 00
    kFileError,     // the file could not be read
    kNotAShortcut,  // anything else
};

enum class WarningCode {
    // Damage: what the reader could not read as the format lays it out.
    kTruncated,          // a structure runs past its container or the input
    kBadOffset,          // an offset points outside its structure
    kUnpairedSurrogate,  // a UTF-16 text holds a surrogate without its pair
    kUndecodableText,    // an ANSI text holds bytes its code page does not decode
    kInvalidTime,        // a FILETIME past the year 9999, or a tracker's time before 1601
    // What looks wrong in a link: the tricks attackers play with them.
    kHiddenArguments,           // arguments with a line break, or a run of 16 or more white space
    kDeceptiveCharacters,       // a bidirectional control, a zero-width character or a C0 control
    kLongString,                // a StringData string of more than 260 characters
    kEnvironmentTargetMismatch, // the environment target names another file than the link's target
    kTargetMismatch,            // the ID list's path and the LinkInfo's target differ
    kRemoteIcon,                // an icon on a UNC path or at a URL
    kTrailingData,              // bytes after the terminal block
    kUnknownBlock,              // an ExtraData signature the format does not define
    kDuplicateBlock,            // an ExtraData signature that occurs again
    kFlagMismatch,              // a structure its flag does not announce, or LinkInfo despite ForceNoLinkInfo
    kMinimizedWindow,           // arguments run in a minimised window
    kLimitReached,              // more items, blocks, properties or text than a record keeps
    kNonCanonicalTarget,        // a target path Explorer rewrites (a trailing dot or space, a path in one item)
    kControlPanelFile,          // a Control Panel item that loads a file not a .cpl, or a remote one
    // Damage in a container: a Jump List's DestList entry without its stream, or a stream
    // without its entry.
    kUnmatchedEntry,
    // Damage too: how many warnings of one code were dropped.
    kTooManyWarnings,
};
constexpr std::size_t kWarningCodeCount = static_cast<std::size_t>(WarningCode::kTooManyWarnings) + 1;

// "damage": the reader could not read something as the format lays it out;
// "suspicious": the link reads well, but holds what attackers use (no link Windows writes
// comes near the reader's limits, so reaching one is suspicious too).
enum class WarningCategory {
    kDamage,
    kSuspicious,
};

struct Warning {
    WarningCode code = WarningCode::kTruncated;
    std::optional<std::uint64_t> offset;  // in the input, of the structure concerned
    std::string message;                  // quotes at most kMaxQuotedCharacters of any text
};
// A record keeps at most this many warnings of one code; the next one of that code
// becomes a kTooManyWarnings that says how many were dropped. So no flood of one code
// hides another, and a record holds at most kWarningCodeCount * (kMaxWarningsOfACode + 1).
constexpr std::size_t kMaxWarningsOfACode = 20;
constexpr std::size_t kMaxQuotedCharacters = 200;

struct Header {
    std::uint32_t header_size = 0;
    Guid link_clsid{};
    std::uint32_t link_flags = 0;
    std::uint32_t file_attributes = 0;
    FileTime creation_time, access_time, write_time;
    std::uint32_t file_size = 0;
    std::int32_t icon_index = 0;
    std::uint32_t show_command = 0;
    std::uint16_t hot_key = 0;  // low byte the virtual key, high byte the modifiers
};

// A property's value: null (std::monostate) for the types not decoded (vectors, arrays,
// blobs, streams and the like), else by type.
struct Currency {
    std::int64_t scaled = 0;  // VT_CY: the amount times 10000
};
using PropertyValue =
    std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, Currency, std::string, FileTime, Guid>;
struct Property {
    std::optional<std::uint32_t> id;    // integer-named properties
    std::optional<std::string> name;    // string-named ones
    // An integer-named property's canonical name from the property key table:
    // "System.ItemNameDisplay"; null where the table has none.
    const char* canonical_name = nullptr;
    std::uint16_t type = 0;             // VARTYPE
    PropertyValue value;
};
struct PropertyStorage {
    Guid format_id{};
    std::vector<Property> properties;
};
// Shell items, by their class type indicator and, where that is not enough, by the
// signatures and frames their bytes carry. A field the item is too short to hold is
// absent. Names from the well-known identifier tables are static texts (null where the
// tables have none).
struct RootFolderItem {  // 0x1F
    std::optional<std::uint8_t> sort_index;
    std::optional<Guid> root_folder_id;
    const char* name = nullptr;  // the shell folder's display name: "My Computer"
};
struct VolumeItem {  // 0x20 to 0x2F
    // A drive's name ("C:\"), held by every class but 0x2E, whatever bit 0x01 says.
    std::optional<std::string> name;
    // Class 0x2E holds no drive name but the shell folder (or delegate folder) it stands
    // for: "Desktop", "Control Panel", "Portable Devices".
    std::optional<Guid> shell_folder_id;
    const char* shell_folder_name = nullptr;
    std::optional<std::string> device_name;  // a Portable Devices delegate's device
};
struct FileEntryItem {  // 0x30 to 0x3F (and with bit 0x80); names in UTF-16 with bit 0x04
    std::optional<std::string> short_name;  // the primary name
    std::optional<std::uint32_t> file_size;
    std::optional<DosDateTime> modification_time;
    std::optional<std::uint16_t> file_attributes;
    // From the 0xBEEF0004 extension block, when the item has one.
    std::optional<std::string> long_name;
    std::optional<DosDateTime> creation_time, access_time;
    std::optional<std::uint64_t> mft_entry;  // 48 bits
    std::optional<std::uint16_t> mft_sequence;
};
struct NetworkLocationItem {  // 0x40 to 0x4F
    std::optional<std::string> location, description, comments;
};
// A delegate item: class 0x74 wrapping a file entry ("CFSF"), or a delegate frame of
// class 0x1F. The delegate ID is {5E591A74-DF96-48D3-8D67-1733BCEE28BA} in every known item.
struct DelegateItem {
    Guid delegate_id{};
    Guid item_class_id{};     // the delegate folder that owns the item
    FileEntryItem file_entry;  // the wrapped file entry's fields (none without "CFSF")
};
struct UriItem {  // 0x61
    std::string uri;
};
struct ControlPanelItem {  // 0x71, 30 bytes
    Guid control_panel_id{};
    const char* name = nullptr;            // "Programs and Features"
    const char* canonical_name = nullptr;  // "Microsoft.ProgramsAndFeatures"
};
struct ControlPanelCategoryItem {  // 12 bytes, signature 0x39DE2184
    std::uint32_t category = 0;
    const char* name = nullptr;  // "Appearance and Personalization"
};
struct ControlPanelAppletItem {  // a CPL file's item, class 0x00
    std::string cpl_path;
    std::optional<std::string> name, comments;  // absent where the item's offsets do not hold
};
// A users property view item or a Windows application item ("APPS"): a property store,
// named by the display or parsing name it holds (or, for signature 0x23FEBBEE, by the
// known folder it names).
struct PropertyViewItem {
    std::uint32_t signature = 0;
    std::optional<Guid> known_folder_id;  // signature 0x23FEBBEE
    std::vector<PropertyStorage> property_storages;
    std::optional<std::string> name;
};
struct MtpVolumeItem {  // a media device's storage, class 0x00, signature 0x10312005
    std::optional<std::string> name, identifier, file_system;
};
struct MtpFileEntryItem {  // a file or folder on a media device, signature 0x07192006
    std::optional<std::string> name, object_id;
    std::optional<FileTime> creation_time;
    std::optional<Guid> content_type;
};
struct GameFolderItem {  // "GFSI": a game of the Games Explorer, by its GUID alone
    Guid game_id{};
};
struct CdBurningItem {  // "AugM": a CD burning item, whose contents are not described
};
struct AcronisFileItem {  // an Acronis True Image backup's file, signature 0xACB16752 at offset 2
    std::optional<std::string> name, path;
};
struct ZipFolderItem {  // a file or folder inside a ZIP file, after the ZIP file's item
    std::optional<std::string> name;
};
struct UnknownItem {
    std::vector<std::uint8_t> data_prefix;  // at most the first 64 bytes after the size
};
struct Item {
    std::uint64_t offset = 0;
    std::uint16_t item_id_size = 0;
    std::uint8_t class_type_indicator = 0;
    std::variant<RootFolderItem, VolumeItem, FileEntryItem, NetworkLocationItem, DelegateItem, UriItem, ControlPanelItem,
                 ControlPanelCategoryItem, ControlPanelAppletItem, PropertyViewItem, MtpVolumeItem, MtpFileEntryItem,
                 GameFolderItem, CdBurningItem, AcronisFileItem, ZipFolderItem, UnknownItem>
        data;
};
// A record keeps at most this many items, in all its ID lists together; a kLimitReached
// warning says where there were more.
constexpr std::size_t kMaxItems = 1024;

struct IdList {
    std::uint16_t id_list_size = 0;
    std::vector<Item> items;
    // With a named volume or a network item, a file-system path starting there: its name,
    // then the file entries' (and delegates') long names (short names where they have
    // none), a backslash between names unless the path so far ends with one. Else a
    // namespace path: the names of the items from the first that has one ("My Computer",
    // "Control Panel"), a GUID the tables do not name as "::{GUID}", a URI item starting
    // the path afresh. Absent when no item has a name or a GUID.
    std::optional<std::string> path;
    bool path_is_file_system = false;
};

struct VolumeId {
    std::uint32_t drive_type = 0;
    std::uint32_t drive_serial_number = 0;
    std::optional<std::string> volume_label;
};
struct CommonNetworkRelativeLink {
    std::uint32_t flags = 0;
    std::optional<std::string> net_name, device_name;
    std::optional<std::uint32_t> network_provider_type;  // only with ValidNetType
};
// Each text takes its Unicode form where the structure carries one, else its ANSI form,
// and is cut (with kLimitReached) at kMaxOffsetTextCharacters.
constexpr std::size_t kMaxOffsetTextCharacters = 32767;  // the longest path Windows handles
struct LinkInfo {
    std::uint64_t offset = 0;  // of its LinkInfoSize (not in the JSON record)
    std::uint32_t link_info_size = 0;
    std::uint32_t link_info_header_size = 0;
    std::uint32_t link_info_flags = 0;
    std::optional<VolumeId> volume_id;
    std::optional<std::string> local_base_path;
    std::optional<CommonNetworkRelativeLink> common_network_relative_link;
    std::optional<std::string> common_path_suffix;
};

// One StringData string, as Windows reads it: NAME_STRING, RELATIVE_PATH and WORKING_DIR
// take at most kWindowsStringCharacters characters (UTF-16 units, or bytes in ANSI) and
// keep all but the last of them, whatever their count says, and the next string follows
// them; COMMAND_LINE_ARGUMENTS and ICON_LOCATION are read whole as counted.
struct CountedString {
    std::uint64_t offset = 0;  // of its CountCharacters field
    std::uint16_t count_characters = 0;  // as stored
    std::string text;
};
constexpr std::uint16_t kWindowsStringCharacters = 260;
struct StringData {
    std::optional<CountedString> name_string, relative_path, working_dir, command_line_arguments, icon_location;
};

// ExtraData blocks. A field that lies past the end of its block is absent.
struct EnvironmentBlock {  // EnvironmentVariableDataBlock
    std::optional<std::string> target_ansi, target_unicode;
};
struct IconEnvironmentBlock {  // IconEnvironmentDataBlock
    std::optional<std::string> target_ansi, target_unicode;
};
struct ConsoleBlock {
    std::optional<std::uint16_t> fill_attributes, popup_fill_attributes;
    std::optional<std::int16_t> screen_buffer_size_x, screen_buffer_size_y, window_size_x, window_size_y,
        window_origin_x, window_origin_y;
    std::optional<std::uint32_t> unused1, unused2, font_size, font_family, font_weight;
    std::optional<std::string> face_name;
    std::optional<std::uint32_t> cursor_size, full_screen, quick_edit, insert_mode, auto_position, history_buffer_size,
        number_of_history_buffers, history_no_dup;
    std::optional<std::array<std::uint32_t, 16>> color_table;
};
struct TrackerBlock {
    std::optional<std::uint32_t> version;
    std::optional<std::string> machine_id;
    std::optional<Guid> droid_volume_id, droid_file_id, droid_birth_volume_id, droid_birth_file_id;
    // When droid_file_id is a version-1 UUID: the MAC address and the time it holds, the
    // address's organisation in the IEEE registry (when the ieee-data package is
    // installed; never for a multicast or locally administered address) and its kind:
    // "virtual_machine" (a hypervisor's prefix), "multicast", "locally_administered" or
    // "universal".
    std::optional<std::string> mac_address;
    std::optional<FileTime> droid_file_time;
    std::optional<std::string> mac_vendor;
    const char* mac_kind = nullptr;
    // The same of droid_birth_file_id, the identifier the file had when the link was made.
    std::optional<std::string> birth_mac_address;
    std::optional<FileTime> birth_droid_file_time;
    std::optional<std::string> birth_mac_vendor;
    const char* birth_mac_kind = nullptr;
};
struct ConsoleFeBlock {
    std::optional<std::uint32_t> code_page;
};
struct SpecialFolderBlock {
    std::optional<std::uint32_t> special_folder_id, id_list_offset;
    const char* special_folder_name = nullptr;  // the CSIDL's symbol: "CSIDL_PERSONAL"
};
struct DarwinBlock {
    std::optional<std::string> darwin_data_ansi, darwin_data_unicode;
};
struct ShimBlock {
    std::optional<std::string> layer_name;
};
struct KnownFolderBlock {
    std::optional<Guid> known_folder_id;
    std::optional<std::uint32_t> id_list_offset;
    const char* known_folder_name = nullptr;  // the known folder's display name: "Documents"
};
struct VistaIdListBlock {
    std::vector<Item> items;
};
// A record keeps at most this many storages and properties, in all its property stores
// together; a kLimitReached warning says where there were more.
constexpr std::size_t kMaxProperties = 4096;
struct PropertyStoreBlock {
    std::vector<PropertyStorage> property_storages;
};
struct UnknownBlock {
    std::vector<std::uint8_t> data_prefix;  // at most the first 64 bytes after the signature
};
struct ExtraDataBlock {
    std::uint64_t offset = 0;
    std::uint32_t block_size = 0;
    std::uint32_t block_signature = 0;
    std::variant<EnvironmentBlock, IconEnvironmentBlock, ConsoleBlock, TrackerBlock, ConsoleFeBlock, SpecialFolderBlock, DarwinBlock,
                 ShimBlock, PropertyStoreBlock, KnownFolderBlock, VistaIdListBlock, UnknownBlock>
        data;
};
// A record keeps at most this many blocks; a kLimitReached warning says when there were more.
constexpr std::size_t kMaxBlocks = 1024;

// What the link runs, from the first source that has it: the EnvironmentVariableDataBlock's
// target (unexpanded), the ID list's file-system path, the LinkInfo's target (unless
// ForceNoLinkInfo is set), the ID list's namespace path, the relative path. Windows' own choice among sources that
// disagree is not published; this order is the reader's.
enum class TargetSource {
    kNone,
    kEnvironmentVariableDataBlock,
    kLinkTargetIdList,
    kLinkInfo,
    kRelativePath,
};
struct Target {
    std::optional<std::string> path;
    TargetSource source = TargetSource::kNone;
    std::optional<std::string> arguments;  // COMMAND_LINE_ARGUMENTS as Windows reads them
};

// The link file itself, for a link read from a file (ReadLinkFile): its times as the
// file system keeps them, taken before it is read (reading may move the access time), and
// the hashes asked for, in lower-case hex, of the whole file.
struct LinkFile {
    std::optional<FileTime> modified, accessed, changed;
    std::optional<FileTime> born;  // where the file system keeps a creation time (statx)
    std::optional<std::string> md5, sha1, sha256;
};
// The hashes ReadLinkFile may take, as bits.
enum FileHash : unsigned {
    kHashMd5 = 1,
    kHashSha1 = 2,
    kHashSha256 = 4,
};

struct TrailingData {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Where a link was found when it is not a file of its own.
enum class ContainerKind {
    kAutomaticDestinations,  // a stream of an *.automaticDestinations-ms Jump List
    kCustomDestinations,     // an entry of a category of a *.customDestinations-ms Jump List
    kScan,                   // found by its header bytes in any input (shortcut_inspect --scan)
    kArchive,                // a member of an archive (ZIP, 7z, ISO, ...)
};
// A DestList entry of an automatic destinations Jump List: the history Windows keeps of
// the link in the stream its entry number names. What the fields mean where no source
// is sure: last_access_time orders the list (newest first); score is a usage figure that
// decays; access_count and entry_status exist from version 2 on.
struct DestListEntry {
    std::uint32_t dest_list_version = 0;  // of the DestList's header
    std::uint64_t offset = 0;              // in the DestList stream
    std::uint32_t entry_number = 0;        // names the stream, in lowercase hex
    std::optional<std::string> hostname;   // the NetBIOS name, absent when all 16 bytes are zero
    std::optional<FileTime> last_access_time;
    bool pinned = false;
    std::optional<std::int32_t> pin_position;  // the place among the pinned entries
    std::optional<std::uint32_t> access_count;
    float score = 0;
    Guid droid_volume_id{}, droid_file_id{}, droid_birth_volume_id{}, droid_birth_file_id{};
    std::string path;                          // the item the entry stands for
    std::uint64_t checksum = 0;                // the entry's first 8 bytes
    std::optional<std::uint32_t> entry_status;  // version 2 on: 0xFFFFFFFF, or an order
};
struct Container {
    ContainerKind kind = ContainerKind::kScan;
    std::string path;                    // the container file as given, in UTF-8
    std::optional<std::string> member;   // within an archive: the member's path there
    std::optional<std::string> app_id;   // the Jump List's AppID, from its name, in lowercase hex
    std::optional<std::string> stream;   // automatic destinations: the link's stream
    std::optional<std::uint64_t> offset;  // custom destinations, scan: where the link starts
    // Custom destinations: the category, by its own name, or "Frequent", "Recent" or "Tasks".
    std::optional<std::string> category;
    std::optional<DestListEntry> dest_list;  // automatic destinations
};

// One link. For a file that could not be read only file, status, error (and size, when
// it is known) mean anything; for one that is not a link, file, status and size. For a
// link (kRead), header, string_data and extra_data always hold what was read; the other
// sections are there when the flags announce them (trailing data when there is any).
struct Link {
    std::string file;  // the path as given, in UTF-8 (empty for a link read from memory)
    Status status = Status::kRead;
    std::optional<std::string> error;  // the system's reason, for kFileError
    std::optional<std::uint64_t> size;
    Target target;  // for a link (kRead)
    std::optional<LinkFile> link_file;  // for a file read by ReadLinkFile (not from standard input)
    // For a link found inside another file: where. Its file is then the container's path,
    // "#" and the stream or the offset, so that every record's file names it alone.
    std::optional<Container> container;
    Header header;
    std::optional<IdList> link_target_id_list;
    std::optional<LinkInfo> link_info;
    StringData string_data;
    std::vector<ExtraDataBlock> extra_data;
    std::optional<TrailingData> trailing_data;
    std::vector<Warning> warnings;
};

// The first ExtraData block of the kind T (TrackerBlock, PropertyStoreBlock, ...), or null.
template <typename T>
const T* FindBlock(const Link& link) {
    for (const ExtraDataBlock& block : link.extra_data) {
        if (const T* found = std::get_if<T>(&block.data)) {
            return found;
        }
    }
    return nullptr;
}
// The first item of the kind T (FileEntryItem, VolumeItem, ...) in a list, or null.
template <typename T>
const T* FindItem(const std::vector<Item>& items) {
    for (const Item& item : items) {
        if (const T* found = std::get_if<T>(&item.data)) {
            return found;
        }
    }
    return nullptr;
}

// The ANSI code page of the machine that wrote a link, through iconv. Decoding changes
// the converter's state, so it is not const: a CodePage serves one thread at a time, and
// threads that read at once each take their own.
class SHORTCUT_READER_API CodePage {
public:
    // An iconv name: "CP1252" (the default), "CP932", "CP1251", ... valid() tells whether
    // iconv has it; an invalid one decodes ASCII and makes every other byte U+FFFD.
    explicit CodePage(const char* name = "CP1252");
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    bool valid() const;
    const std::string& name() const { return name_; }
    // Appends the UTF-8 form of size bytes to out, always valid UTF-8; returns false when
    // a byte did not decode, or iconv gave what is not a Unicode character (each became
    // U+FFFD).
    bool Decode(const unsigned char* bytes, std::size_t size, std::string& out);

private:
    std::string name_;
    void* converter_;        // iconv_t
    bool asciiCompatible_;  // every byte below 0x80 decodes to itself
};

// Reads the size bytes at bytes as a whole link file, then analyzes it (Analyze): the
// record's warnings are those met while reading (damage, and kLimitReached), then those of
// what looks wrong. The bytes must not change during the call; it keeps no pointer to
// them. Two threads may read at once, each with its own CodePage.
SHORTCUT_READER_API Link ReadLink(const void* bytes, std::size_t size, CodePage& codePage);
// Reads the file at path whole (at most kMaxInputBytes of it), then as ReadLink does;
// the record's link_file holds the file's times and the hashes asked for (FileHash bits).
// Hashes cover the whole file, also past kMaxInputBytes when it is a regular file; a
// larger file of another kind, or a build without libcrypto, gives none.
SHORTCUT_READER_API Link ReadLinkFile(const char* path, CodePage& codePage);
SHORTCUT_READER_API Link ReadLinkFile(const char* path, CodePage& codePage, unsigned hashes);
// Whether this build takes hashes (it was built with OpenSSL's libcrypto).
SHORTCUT_READER_API bool HashesAvailable();
constexpr std::uint64_t kMaxInputBytes = std::uint64_t{256} << 20;
// The record of a file that could not be read, for error (an errno value), as
// ReadLinkFile gives it; ENOMEM (a reading that ran out of memory) says "out of memory".
SHORTCUT_READER_API Link UnreadableFile(const char* path, int error);

// The target of a link, as Target says; ReadLink sets it, a program that builds or
// changes a Link calls it itself.
SHORTCUT_READER_API Target TargetOf(const Link& link);
// The LinkInfo's target: LocalBasePath and CommonPathSuffix, with a backslash between
// them where neither brings one and the suffix is not empty; for a link without a local
// path, NetName, then a backslash and the suffix where it is not empty. Absent when
// neither path is there or not empty.
SHORTCUT_READER_API std::optional<std::string> LinkInfoTarget(const LinkInfo& info);

// The warnings of what looks wrong in a link (category kSuspicious), found in its values
// alone, each code kept at most kMaxWarningsOfACode times (then one kTooManyWarnings for
// it, whose category is kDamage as always). ReadLink adds them to the
// record; a program that builds or changes a Link calls it itself. None for a link whose
// status is not kRead.
SHORTCUT_READER_API std::vector<Warning> Analyze(const Link& link);

// The text forms of the record's values.
SHORTCUT_READER_API const char* WarningCodeName(WarningCode code);  // "truncated", ...
SHORTCUT_READER_API WarningCategory CategoryOf(WarningCode code);
SHORTCUT_READER_API const char* WarningCategoryName(WarningCategory category);  // "damage", "suspicious"
SHORTCUT_READER_API const char* StatusName(Status status);                      // "read", ...
// "automatic_destinations", "custom_destinations", "scan", "archive".
SHORTCUT_READER_API const char* ContainerKindName(ContainerKind kind);
// "environment_variable_data_block", "link_target_id_list", "link_info",
// "relative_path"; null for kNone.
SHORTCUT_READER_API const char* TargetSourceName(TargetSource source);
SHORTCUT_READER_API std::string GuidText(const Guid& guid);  // "{00021401-0000-0000-C000-000000000046}"
// "2008-09-12T20:27:17.1010000Z", or nothing for 0 and for a time past the year 9999.
SHORTCUT_READER_API std::optional<std::string> FileTimeText(FileTime time);
// "2008-09-12T20:27:16", or nothing for 0 and for fields out of range.
SHORTCUT_READER_API std::optional<std::string> DosDateTimeText(DosDateTime time);

}  // namespace shell_link

#endif
