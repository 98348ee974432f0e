// SPDX-License-Identifier: MIT
// The path of an ID list. A list with a named volume or a network item gives a file-system
// path from there: that name, then the names of the file entries (and delegates, which
// wrap directories of the file system). Any other list gives a namespace path: the names
// of its items from the first that has one, as Explorer shows them; a folder the tables
// do not name appears as "::{GUID}", the form Windows itself writes in namespace paths.
#include <string>

#include "format/well_known.h"
#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

std::string GuidPathName(const Guid& guid) { return "::" + GuidText(guid); }

const std::string& FileEntryName(const FileEntryItem& entry) {
    static const std::string kNone;
    return entry.long_name ? *entry.long_name : entry.short_name ? *entry.short_name : kNone;
}

// What an item gives a namespace path; nothing for an item without a name or a GUID.
struct NamespaceName {
    std::optional<std::string> operator()(const RootFolderItem& root) const {
        if (root.name != nullptr) {
            return std::string(root.name);
        }
        return root.root_folder_id ? std::optional<std::string>(GuidPathName(*root.root_folder_id)) : std::nullopt;
    }
    std::optional<std::string> operator()(const VolumeItem& volume) const {
        if (volume.name || volume.device_name) {
            return volume.name ? volume.name : volume.device_name;
        }
        if (volume.shell_folder_name != nullptr) {
            return std::string(volume.shell_folder_name);
        }
        return volume.shell_folder_id ? std::optional<std::string>(GuidPathName(*volume.shell_folder_id)) : std::nullopt;
    }
    std::optional<std::string> operator()(const FileEntryItem& entry) const { return FileEntryName(entry); }
    std::optional<std::string> operator()(const NetworkLocationItem& network) const { return network.location; }
    std::optional<std::string> operator()(const DelegateItem& delegate) const {
        if (delegate.file_entry.long_name || delegate.file_entry.short_name) {
            return FileEntryName(delegate.file_entry);
        }
        if (const char* folder = link_format::ShellFolderName(delegate.item_class_id.data())) {
            return std::string(folder);
        }
        return GuidPathName(delegate.item_class_id);
    }
    std::optional<std::string> operator()(const UriItem& uri) const { return uri.uri; }
    std::optional<std::string> operator()(const ControlPanelItem& item) const {
        return item.name != nullptr ? std::string(item.name) : GuidPathName(item.control_panel_id);
    }
    std::optional<std::string> operator()(const ControlPanelCategoryItem& category) const {
        // An unknown category by its number, as Windows' own category paths give it.
        return category.name != nullptr ? std::string(category.name) : std::to_string(category.category);
    }
    std::optional<std::string> operator()(const ControlPanelAppletItem& applet) const { return applet.name; }
    std::optional<std::string> operator()(const PropertyViewItem& view) const {
        if (view.name || !view.known_folder_id) {
            return view.name;
        }
        return GuidPathName(*view.known_folder_id);
    }
    std::optional<std::string> operator()(const MtpVolumeItem& volume) const { return volume.name; }
    std::optional<std::string> operator()(const MtpFileEntryItem& entry) const { return entry.name; }
    std::optional<std::string> operator()(const GameFolderItem& game) const { return GuidPathName(game.game_id); }
    std::optional<std::string> operator()(const CdBurningItem&) const { return std::nullopt; }
    std::optional<std::string> operator()(const AcronisFileItem& file) const {
        if (file.name || !file.path) {
            return file.name;
        }
        const std::size_t separator = file.path->find_last_of('\\');
        return separator == std::string::npos ? *file.path : file.path->substr(separator + 1);
    }
    std::optional<std::string> operator()(const ZipFolderItem& zip) const { return zip.name; }
    std::optional<std::string> operator()(const UnknownItem&) const { return std::nullopt; }
};

void Append(std::string& path, const std::string& name) {
    if (!path.empty() && path.back() != '\\') {
        path.push_back('\\');
    }
    path.append(name);
}

// The first named volume's name or network item's location, then the file entries'. A
// network list names the network, the domain, the server and the share, each a network
// item: until a file entry follows, each one's location stands for the whole path
// (\\server\share after Entire Network).
std::optional<std::string> FileSystemPath(const std::vector<Item>& items) {
    std::optional<std::string> path;
    bool entries = false;
    for (const Item& item : items) {
        const auto* network = std::get_if<NetworkLocationItem>(&item.data);
        if (!path) {
            if (const auto* volume = std::get_if<VolumeItem>(&item.data); volume != nullptr && volume->name) {
                path = *volume->name;
            } else if (network != nullptr && network->location) {
                path = *network->location;
            }
        } else if (network != nullptr && network->location && !entries) {
            path = *network->location;
        } else if (const auto* entry = std::get_if<FileEntryItem>(&item.data)) {
            Append(*path, FileEntryName(*entry));
            entries = true;
        } else if (const auto* delegate = std::get_if<DelegateItem>(&item.data)) {
            Append(*path, FileEntryName(delegate->file_entry));
            entries = true;
        } else if (const auto* zip = std::get_if<ZipFolderItem>(&item.data); zip != nullptr && zip->name) {
            Append(*path, *zip->name);  // inside the .zip file, as Explorer shows it
            entries = true;
        }
    }
    return path;
}

std::optional<std::string> NamespacePath(const std::vector<Item>& items) {
    std::optional<std::string> path;
    for (const Item& item : items) {
        std::optional<std::string> name = std::visit(NamespaceName{}, item.data);
        if (std::holds_alternative<UriItem>(item.data)) {
            path = std::move(name);  // a URI is a whole target of its own
        } else if (name && !name->empty()) {
            if (path) {
                Append(*path, *name);
            } else {
                path = std::move(name);
            }
        }
    }
    return path;
}

}  // namespace

void SetItemPath(IdList& list) {
    list.path = FileSystemPath(list.items);
    list.path_is_file_system = list.path.has_value();
    if (!list.path) {
        list.path = NamespacePath(list.items);
    }
}

}  // namespace shell_link::detail
