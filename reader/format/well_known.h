// SPDX-License-Identifier: MIT
// Names of the well-known GUIDs and numbers a link holds: shell folders, known folders,
// Control Panel items and categories, CSIDLs and property keys. The tables come from
// names/*.tsv (their sources in names/SOURCES.md) through names/generate.py.
//
// A GUID is its 16 bytes as a link stores them (packet form: Data1 to Data3
// little-endian). Each lookup returns null when the table has no name for the key; the
// names are UTF-8 string literals, valid for the program's life, and none holds a
// character JSON escapes (a quote, a backslash, a control): the generator refuses them.
#ifndef SHORTCUT_READER_FORMAT_WELL_KNOWN_H
#define SHORTCUT_READER_FORMAT_WELL_KNOWN_H

#include <cstdint>

namespace link_format {

// "My Computer". Where the tables know no name, the CLSID_ symbol, then the class name.
const char* ShellFolderName(const unsigned char* guid);

// The display name, "Documents", and the symbol, "FOLDERID_Documents".
const char* KnownFolderName(const unsigned char* guid);
const char* KnownFolderSymbol(const unsigned char* guid);

// "Display" and "Microsoft.Display"; either may be null, not both.
struct ControlPanelNames {
    const char* name;
    const char* canonical_name;
};
const ControlPanelNames* ControlPanelItemNames(const unsigned char* guid);
// The category of a Control Panel category item: 1 is "Appearance and Personalization".
const char* ControlPanelCategoryName(std::uint32_t category);

// 5: "CSIDL_PERSONAL".
const char* CsidlSymbol(std::uint32_t csidl);

// A property's canonical name: {B725F130-47EF-101A-A5F1-02608C9EEBAC}, 10 is
// "System.ItemNameDisplay".
const char* PropertyCanonicalName(const unsigned char* formatId, std::uint32_t id);
// The same in two steps, for the values of one storage, which share their format ID: the
// format ID's names (null when the table has none), then a name among them.
struct PropertySet;
const PropertySet* FindPropertySet(const unsigned char* formatId);
const char* PropertyNameInSet(const PropertySet* set, std::uint32_t id);

}  // namespace link_format

#endif
