// SPDX-License-Identifier: MIT
// What looks wrong in a link: the known tricks attackers play with shell links, found in
// the decoded record alone, as a pass of its own with its own warnings. Texts are compared as decoded UTF-8, and
// "ignoring case" folds ASCII letters only. Nothing here changes a decoded value.
#include <algorithm>
#include <string>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "bytes/byte_scan.h"
#include "format/layout.h"
#include "format/names.h"
#include "shell_link/reading.h"
#include "text/utf8.h"

namespace shell_link {

namespace detail {

namespace {

namespace sr = link_format;

constexpr std::size_t kHiddenWhiteSpaceRun = 16;
constexpr char kStompingReason[] =
    "which Explorer rewrites to its canonical form when the link is opened, removing the Mark of the Web the link "
    "carried";

// The code point of the UTF-8 character at text[at], whose length is added to at; a byte
// that does not start a well-formed one (a Link a program built need not hold UTF-8) is
// U+FFFD, one byte long.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data()) + at;
    if (bytes[0] < 0x80) {  // most characters
        ++at;
        return bytes[0];
    }
    bool well = false;
    const std::size_t length = Utf8SequenceLength(bytes, text.size() - at, well);
    at += length;
    if (!well) {
        return 0xFFFD;
    }
    switch (length) {
        case 1: return bytes[0];
        case 2: return (bytes[0] & 0x1Fu) << 6 | (bytes[1] & 0x3Fu);
        case 3: return (bytes[0] & 0x0Fu) << 12 | (bytes[1] & 0x3Fu) << 6 | (bytes[2] & 0x3Fu);
        default: return (bytes[0] & 0x07u) << 18 | (bytes[1] & 0x3Fu) << 12 | (bytes[2] & 0x3Fu) << 6 | (bytes[3] & 0x3Fu);
    }
}

// Unicode's White_Space property.
bool IsWhiteSpace(std::uint32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// What a character does to hide what a text says, or null.
const char* DeceptionOf(std::uint32_t c) {
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        return "a control character";
    }
    if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) {
        return "a bidirectional control, which makes the text read in another order than it runs";
    }
    if ((c >= 0x200B && c <= 0x200F) || c == 0xFEFF) {
        return "a zero-width character, unseen where the text is shown";
    }
    return nullptr;
}

std::string CodePointName(std::uint32_t c) {
    std::string hex = HexNumber(c).substr(2);
    return "U+" + std::string(hex.size() < 4 ? 4 - hex.size() : 0, '0') + hex;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The text after the last backslash or slash, trailing ones left out.
std::string_view LastComponent(std::string_view path) {
    while (!path.empty() && IsSeparator(path.back())) {
        path.remove_suffix(1);
    }
    std::size_t start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1])) {
        --start;
    }
    return path.substr(start);
}

bool HoldsSeparator(std::string_view text) { return std::any_of(text.begin(), text.end(), IsSeparator); }

// A UNC path (\\server or //server), or a URL (letters://).
bool IsRemote(std::string_view location) {
    if (location.substr(0, 2) == "\\\\" || location.substr(0, 2) == "//") {
        return true;
    }
    std::size_t letters = 0;
    while (letters < location.size() && ((location[letters] | 0x20) >= 'a' && (location[letters] | 0x20) <= 'z')) {
        ++letters;
    }
    return letters > 0 && location.substr(letters, 3) == "://";
}

const std::string* Text(const std::optional<std::string>& text) { return text ? &*text : nullptr; }

// A text for a message: at most kMaxQuotedCharacters characters of it, in quotes, with
// an ellipsis where it was cut, so that no message copies a long text whole.
std::string Quoted(std::string_view text) {
    std::size_t at = 0;
    std::size_t characters = 0;
    while (at < text.size() && characters < kMaxQuotedCharacters) {
        NextCodePoint(text, at);
        ++characters;
    }
    return "\"" + std::string(text.substr(0, at)) + (at < text.size() ? "\xE2\x80\xA6\"" : "\"");
}

// Where a deceptive character may begin: a byte below 0x20, or the lead byte of U+2xxx
// (0xE2) or U+Fxxx (0xEF).
bool IsSuspect(unsigned char byte) { return byte < 0x20 || byte == 0xE2 || byte == 0xEF; }

bool MayHoldSuspect(std::uint64_t word) {
    return (sr::WordBytesBelow(word, 0x20) | sr::WordBytesEqual(word, 0xE2) | sr::WordBytesEqual(word, 0xEF)) != 0;
}

// Sixteen bytes a step where the machine has SSE2 (every text of every link is scanned),
// then words of eight; lambdas, so that both tests inline into the word scan.
std::size_t NextSuspect(const std::string& text, std::size_t at) {
#ifdef __SSE2__
    const __m128i controlsEnd = _mm_set1_epi8(0x1F);
    const __m128i lead2 = _mm_set1_epi8(static_cast<char>(0xE2));
    const __m128i leadF = _mm_set1_epi8(static_cast<char>(0xEF));
    for (; at < text.size() && text.size() - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(bytes, controlsEnd), bytes);  // at most 0x1F
        const __m128i lead = _mm_or_si128(_mm_cmpeq_epi8(bytes, lead2), _mm_cmpeq_epi8(bytes, leadF));
        const int found = _mm_movemask_epi8(_mm_or_si128(control, lead));
        if (found != 0) {
            return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(found)));
        }
    }
#endif
    return sr::FindByte(
        text, at, [](std::uint64_t word) { return MayHoldSuspect(word); }, [](unsigned char byte) { return IsSuspect(byte); });
}

class Suspicions {
public:
    Suspicions(const Link& link, WarningBudget& warnings) : link_(link), warnings_(warnings) {}

    void CheckAll() {
        CheckStrings();
        CheckLinkInfo();
        if (link_.link_target_id_list) {
            CheckItems(link_.link_target_id_list->items);
        }
        CheckBlocks();
        CheckTargets();
        CheckWindow();
        if (link_.trailing_data) {
            Warn(WarningCode::kTrailingData, link_.trailing_data->offset,
                 std::to_string(link_.trailing_data->size) + " bytes follow the terminal block: Windows reads none of "
                                                            "them, and they may carry a payload");
        }
    }

private:
    void Warn(WarningCode code, std::optional<std::uint64_t> offset, std::string message) {
        warnings_.Add(code, offset, std::move(message));
    }

    // A character that hides what the text says: one warning a text, for its first one.
    // The text is named by what (and, for a block's text, whose).
    void CheckDeceptive(const std::string* text, std::uint64_t offset, const char* what, const char* whose = nullptr) {
        if (text == nullptr) {
            return;
        }
        for (std::size_t at = NextSuspect(*text, 0); at < text->size(); at = NextSuspect(*text, at)) {
            const std::uint32_t c = NextCodePoint(*text, at);
            if (const char* deception = DeceptionOf(c)) {
                const std::string name = whose == nullptr ? what : std::string("the ") + whose + "'s " + what;
                Warn(WarningCode::kDeceptiveCharacters, offset, name + " holds " + CodePointName(c) + ", " + deception);
                return;
            }
        }
    }

    void CheckStrings() {
        const StringData& strings = link_.string_data;
        const struct {
            const std::optional<CountedString>& string;
            // cppcheck-suppress unusedStructMember
            const char* name;
            // cppcheck-suppress unusedStructMember
            bool cut;  // whether Windows reads at most kWindowsStringCharacters of it
        } all[] = {{strings.name_string, "NAME_STRING", true},
                   {strings.relative_path, "RELATIVE_PATH", true},
                   {strings.working_dir, "WORKING_DIR", true},
                   {strings.command_line_arguments, "COMMAND_LINE_ARGUMENTS", false},
                   {strings.icon_location, "ICON_LOCATION", false}};
        for (const auto& [string, name, cut] : all) {
            if (!string) {
                continue;
            }
            if (string->count_characters > kWindowsStringCharacters) {
                Warn(WarningCode::kLongString, string->offset, LongStringMessage(*string, name, cut));
            }
            CheckDeceptive(&string->text, string->offset, name);
        }
        if (const auto& arguments = strings.command_line_arguments) {
            CheckHiddenArguments(*arguments);
        }
        if (const auto& icon = strings.icon_location; icon && IsRemote(icon->text)) {
            Warn(WarningCode::kRemoteIcon, icon->offset, RemoteIconMessage("ICON_LOCATION", icon->text));
        }
    }

    // For a string Windows cuts, where it then reads the next one: what a reader that
    // takes the whole count shows is not what Windows runs.
    std::string LongStringMessage(const CountedString& string, const char* name, bool cut) const {
        std::string message = std::string(name) + " counts " + std::to_string(string.count_characters) + " characters";
        if (!cut) {
            return message + ", more than 260";
        }
        const std::uint64_t width = (link_.header.link_flags & sr::kIsUnicode) != 0 ? 2 : 1;
        const std::uint64_t next = string.offset + 2 + width * kWindowsStringCharacters;
        return message + ": Windows reads " + std::to_string(kWindowsStringCharacters - 1) +
               " of them and the next string from offset " + std::to_string(next) +
               ", where readers that take the whole count find other bytes: they show other strings than Windows "
               "reads";
    }

    // A line break, or a run of white space long enough to push the rest out of view.
    void CheckHiddenArguments(const CountedString& arguments) {
        std::size_t run = 0;
        std::size_t longest = 0;
        const std::string& text = arguments.text;
        for (std::size_t at = 0; at < text.size();) {
            const std::uint32_t c = NextCodePoint(text, at);
            if (c >= 0x0A && c <= 0x0D) {
                Warn(WarningCode::kHiddenArguments, arguments.offset,
                     "COMMAND_LINE_ARGUMENTS holds a line break (" + CodePointName(c) +
                         "): the Properties dialog shows only what comes before it");
                return;
            }
            run = IsWhiteSpace(c) ? run + 1 : 0;
            longest = run > longest ? run : longest;
        }
        if (longest >= kHiddenWhiteSpaceRun) {
            Warn(WarningCode::kHiddenArguments, arguments.offset,
                 "COMMAND_LINE_ARGUMENTS holds a run of " + std::to_string(longest) +
                     " white-space characters, which pushes what follows out of the Properties dialog's view");
        }
    }

    // Only for a location IsRemote() holds for.
    static std::string RemoteIconMessage(const std::string& what, const std::string& location) {
        const bool unc = location[0] == '\\' || location[0] == '/';
        return what + " is " + (unc ? "a UNC path" : "a URL") +
               ": showing the link fetches the icon, and a file share there learns the user's credentials";
    }

    void CheckLinkInfo() {
        if (!link_.link_info) {
            return;
        }
        const LinkInfo& info = *link_.link_info;
        if ((link_.header.link_flags & sr::kForceNoLinkInfo) != 0) {
            Warn(WarningCode::kFlagMismatch, info.offset,
                 "the LinkInfo is there although ForceNoLinkInfo says Windows is to ignore it");
        }
        CheckDeceptive(Text(info.local_base_path), info.offset, "the LocalBasePath");
        CheckDeceptive(Text(info.common_path_suffix), info.offset, "the CommonPathSuffix");
        if (info.volume_id) {
            CheckDeceptive(Text(info.volume_id->volume_label), info.offset, "the volume label");
        }
        if (const auto& network = info.common_network_relative_link) {
            CheckDeceptive(Text(network->net_name), info.offset, "the NetName");
            CheckDeceptive(Text(network->device_name), info.offset, "the DeviceName");
        }
    }

    void CheckItems(const std::vector<Item>& items) {
        for (const Item& item : items) {
            if (const auto* volume = std::get_if<VolumeItem>(&item.data)) {
                CheckDeceptive(Text(volume->name), item.offset, "a volume item's name");
                CheckDeceptive(Text(volume->device_name), item.offset, "a volume item's device name");
            } else if (const auto* entry = std::get_if<FileEntryItem>(&item.data)) {
                CheckFileEntry(*entry, item.offset, {"a file entry's name", "a file entry's long name"});
            } else if (const auto* delegate = std::get_if<DelegateItem>(&item.data)) {
                CheckFileEntry(delegate->file_entry, item.offset,
                               {"a delegate item's name", "a delegate item's long name"});
            } else if (const auto* network = std::get_if<NetworkLocationItem>(&item.data)) {
                CheckDeceptive(Text(network->location), item.offset, "a network location");
                CheckDeceptive(Text(network->description), item.offset, "a network location's description");
                CheckDeceptive(Text(network->comments), item.offset, "a network location's comments");
            } else if (const auto* uri = std::get_if<UriItem>(&item.data)) {
                CheckDeceptive(&uri->uri, item.offset, "a URI item's URI");
            } else if (const auto* applet = std::get_if<ControlPanelAppletItem>(&item.data)) {
                CheckApplet(*applet, item.offset);
            } else if (const auto* view = std::get_if<PropertyViewItem>(&item.data)) {
                CheckDeceptive(Text(view->name), item.offset, "a property view item's name");
            }
        }
    }

    // A name that holds a separator makes one item a whole path, which Explorer splits
    // into items when it rewrites the link.
    struct EntryWords {
        const char* name;
        const char* longName;
    };
    void CheckFileEntry(const FileEntryItem& entry, std::uint64_t offset, const EntryWords& words) {
        CheckDeceptive(Text(entry.short_name), offset, words.name);
        CheckDeceptive(Text(entry.long_name), offset, words.longName);
        const std::string* name = entry.long_name ? &*entry.long_name : Text(entry.short_name);
        if (name != nullptr && HoldsSeparator(*name)) {
            Warn(WarningCode::kNonCanonicalTarget, offset,
                 std::string(words.name) + " " + Quoted(*name) + " holds a path separator: one item holds a whole path, " +
                     kStompingReason);
        }
    }

    // Windows loads the file a Control Panel applet item names to draw the link's icon:
    // one that is not a .cpl, or lies on a share or at a URL, runs as the folder is shown.
    void CheckApplet(const ControlPanelAppletItem& applet, std::uint64_t offset) {
        CheckDeceptive(&applet.cpl_path, offset, "a Control Panel applet's path");
        CheckDeceptive(Text(applet.name), offset, "a Control Panel applet's name");
        const std::string_view path = applet.cpl_path;
        const bool cpl = path.size() >= 4 && EqualIgnoringAsciiCase(path.substr(path.size() - 4), ".cpl");
        if (!cpl || IsRemote(path)) {
            Warn(WarningCode::kControlPanelFile, offset,
                 "a Control Panel applet item names " + Quoted(applet.cpl_path) + ", " +
                     (IsRemote(path) ? "a remote file" : "not a .cpl file") +
                     ": Windows loads that file to draw the link's icon, so showing the link runs its code");
        }
    }

    void CheckBlocks() {
        std::vector<std::uint32_t> seen;
        for (const ExtraDataBlock& block : link_.extra_data) {
            const sr::BlockKind* kind = sr::BlockKindOf(block.block_signature);
            const auto name = [&] {
                return kind != nullptr ? std::string(kind->name) : "a block of signature " + HexNumber(block.block_signature);
            };
            if (kind == nullptr) {
                Warn(WarningCode::kUnknownBlock, block.offset,
                     "the ExtraData signature " + HexNumber(block.block_signature) +
                         " is not one the format defines: Windows skips the block, which may carry anything");
            }
            if (std::find(seen.begin(), seen.end(), block.block_signature) != seen.end()) {
                Warn(WarningCode::kDuplicateBlock, block.offset,
                     name() + " occurs again: readers that keep the first and readers that keep the last disagree");
            } else {
                seen.push_back(block.block_signature);
            }
            CheckFlag(block);
            CheckBlockTexts(block, kind != nullptr ? kind->name : "");
        }
    }

    void CheckFlag(const ExtraDataBlock& block) {
        const struct {
            std::uint32_t signature;
            std::uint32_t flag;
            const char* flagName;
        } kAnnounced[] = {
            {sr::kEnvironmentVariableDataBlock, sr::kHasExpString, "HasExpString"},
            {sr::kDarwinDataBlock, sr::kHasDarwinId, "HasDarwinID"},
            {sr::kIconEnvironmentDataBlock, sr::kHasExpIcon, "HasExpIcon"},
            {sr::kShimDataBlock, sr::kRunWithShimLayer, "RunWithShimLayer"},
        };
        const std::uint32_t flags = link_.header.link_flags;
        for (const auto& announced : kAnnounced) {
            if (block.block_signature == announced.signature && (flags & announced.flag) == 0) {
                Warn(WarningCode::kFlagMismatch, block.offset,
                     std::string("the ") + sr::BlockKindOf(announced.signature)->name + " is there without " +
                         announced.flagName + ", the flag that announces it");
            }
        }
    }

    void CheckBlockTexts(const ExtraDataBlock& block, const char* name) {
        const std::uint64_t at = block.offset;
        if (const auto* environment = std::get_if<EnvironmentBlock>(&block.data)) {
            CheckDeceptive(Text(environment->target_ansi), at, "ANSI target", name);
            CheckDeceptive(Text(environment->target_unicode), at, "Unicode target", name);
        } else if (const auto* icon = std::get_if<IconEnvironmentBlock>(&block.data)) {
            CheckDeceptive(Text(icon->target_ansi), at, "ANSI target", name);
            CheckDeceptive(Text(icon->target_unicode), at, "Unicode target", name);
            for (const std::string* target : {Text(icon->target_unicode), Text(icon->target_ansi)}) {
                if (target != nullptr && IsRemote(*target)) {
                    Warn(WarningCode::kRemoteIcon, at, RemoteIconMessage("the IconEnvironmentDataBlock's target", *target));
                    break;
                }
            }
        } else if (const auto* darwin = std::get_if<DarwinBlock>(&block.data)) {
            CheckDeceptive(Text(darwin->darwin_data_ansi), at, "ANSI data", name);
            CheckDeceptive(Text(darwin->darwin_data_unicode), at, "Unicode data", name);
        } else if (const auto* shim = std::get_if<ShimBlock>(&block.data)) {
            CheckDeceptive(Text(shim->layer_name), at, "layer name", name);
        } else if (const auto* console = std::get_if<ConsoleBlock>(&block.data)) {
            CheckDeceptive(Text(console->face_name), at, "face name", name);
        } else if (const auto* tracker = std::get_if<TrackerBlock>(&block.data)) {
            CheckDeceptive(Text(tracker->machine_id), at, "machine name", name);
        } else if (const auto* store = std::get_if<PropertyStoreBlock>(&block.data)) {
            for (const PropertyStorage& storage : store->property_storages) {
                for (const Property& property : storage.properties) {
                    CheckDeceptive(Text(property.name), at, "property name", name);
                    CheckDeceptive(std::get_if<std::string>(&property.value), at, "property value", name);
                }
            }
        } else if (const auto* vista = std::get_if<VistaIdListBlock>(&block.data)) {
            CheckItems(vista->items);
        }
    }

    // Where the LinkInfo's target is ANSI text outside ASCII, the code page it was read in
    // may be the difference.
    std::string AnsiHint(const std::string& linkInfoTarget) const {
        const bool ansi = link_.link_info->link_info_header_size < sr::kLinkInfoHeaderWithUnicode;
        const bool ascii = std::all_of(linkInfoTarget.begin(), linkInfoTarget.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        return ansi && !ascii ? "; the LinkInfo's ANSI text was read in the code page given, and another may make "
                                "them agree"
                              : "";
    }

    // Whether the list's path ends with a file's name: a display name ("Run...") may end
    // in anything.
    static bool EndsInFileItem(const IdList& list) {
        if (list.path_is_file_system) {
            return true;
        }
        const auto& last = list.items.back().data;
        return std::holds_alternative<FileEntryItem>(last) || std::holds_alternative<DelegateItem>(last);
    }

    // A path whose last component ends in a dot or a space.
    void CheckCanonical(const std::string* path, std::optional<std::uint64_t> offset, const char* what) {
        if (path == nullptr) {
            return;
        }
        const std::string_view last = LastComponent(*path);
        if (!last.empty() && (last.back() == '.' || last.back() == ' ')) {
            Warn(WarningCode::kNonCanonicalTarget, offset,
                 std::string(what) + " " + Quoted(*path) + " ends in " + (last.back() == '.' ? "a dot" : "a space") + ", " +
                     kStompingReason);
        }
    }

    // Only a file-system path is compared: a namespace path such as "My Computer\Documents"
    // names no file to disagree with. An empty path, as a list whose volume has no name
    // gives, says nothing to compare either.
    void CheckTargets() {
        const IdList* list = link_.link_target_id_list ? &*link_.link_target_id_list : nullptr;
        const std::string* idListPath = list != nullptr ? Text(list->path) : nullptr;
        if (idListPath != nullptr && (idListPath->empty() || !list->path_is_file_system)) {
            idListPath = nullptr;
        }
        if (list != nullptr && list->path && !list->items.empty() && EndsInFileItem(*list)) {
            CheckCanonical(&*list->path, list->items.back().offset, "the ID list's path");
        }
        const std::optional<std::string> wholeLinkInfoTarget =
            link_.link_info ? LinkInfoTarget(*link_.link_info) : std::nullopt;
        if (wholeLinkInfoTarget) {
            CheckCanonical(&*wholeLinkInfoTarget, link_.link_info->offset, "the LinkInfo's target");
        }
        // Compared with a local target only: a network one may well name the file a
        // mapped drive's letter names in the ID list.
        const std::optional<std::string> linkInfoTarget =
            link_.link_info && !link_.link_info->local_base_path.value_or("").empty() ? wholeLinkInfoTarget : std::nullopt;
        if (idListPath != nullptr && linkInfoTarget && !EqualIgnoringAsciiCase(*idListPath, *linkInfoTarget)) {
            Warn(WarningCode::kTargetMismatch, link_.link_info->offset,
                 "the ID list's path " + Quoted(*idListPath) + " and the LinkInfo's target " + Quoted(*linkInfoTarget) +
                     " differ (compared ignoring ASCII case): Explorer shows one, and Windows may run the other" +
                     AnsiHint(*linkInfoTarget));
        }
        for (const ExtraDataBlock& block : link_.extra_data) {
            const auto* environment = std::get_if<EnvironmentBlock>(&block.data);
            if (environment == nullptr) {
                continue;
            }
            const std::string target = environment->target_unicode && !environment->target_unicode->empty()
                                           ? *environment->target_unicode
                                           : environment->target_ansi.value_or("");
            if (target.empty()) {
                continue;
            }
            CheckCanonical(&target, block.offset, "the environment target");
            const std::pair<const std::string*, const char*> others[] = {
                {idListPath, "the ID list's path"}, {linkInfoTarget ? &*linkInfoTarget : nullptr, "the LinkInfo's target"}};
            const std::string_view last = LastComponent(target);
            for (const auto& [other, what] : others) {
                if (other != nullptr && !EqualIgnoringAsciiCase(last, LastComponent(*other))) {
                    // A variable there names a file only the machine knows: say so.
                    const bool variable = last.find('%') != std::string_view::npos;
                    Warn(WarningCode::kEnvironmentTargetMismatch, block.offset,
                         "the environment target " + Quoted(target) + " names another file than " + what + " " +
                             Quoted(*other) + " (last components compared ignoring ASCII case, variables unexpanded): Windows runs " +
                             "the environment target" +
                             (variable ? ", whose last component is a variable that may or may not stand for the same file"
                                       : ""));
                    break;
                }
            }
        }
    }

    void CheckWindow() {
        const std::optional<CountedString>& arguments = link_.string_data.command_line_arguments;
        if (link_.header.show_command == sr::kSwShowMinNoActive && arguments && !arguments->text.empty()) {
            Warn(WarningCode::kMinimizedWindow, sr::kShowCommandOffset,
                 "the link runs its command with arguments in a minimised window that takes no focus: nothing shows it "
                 "running");
        }
    }

    const Link& link_;
    WarningBudget& warnings_;
};

}  // namespace

}  // namespace detail

std::vector<Warning> Analyze(const Link& link) {
    if (link.status != Status::kRead) {
        return {};
    }
    detail::WarningBudget warnings;
    detail::Suspicions(link, warnings).CheckAll();
    return warnings.Finish();
}

}  // namespace shell_link
