// SPDX-License-Identifier: MIT
// Builds the bytes of shell link files in test code, field by field, so every case
// reads as what it is. Little-endian throughout, as in the file format.
#ifndef SHORTCUT_TESTS_LINK_BUILDER_H
#define SHORTCUT_TESTS_LINK_BUILDER_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "format/layout.h"

class Bytes {
public:
    Bytes() = default;
    Bytes(std::initializer_list<std::uint8_t> bytes) : data_(bytes) {}

    Bytes& U8(std::uint8_t value);
    Bytes& U16(std::uint16_t value);
    Bytes& U32(std::uint32_t value);
    // The characters of text as bytes, without a terminator.
    Bytes& Text(const std::string& text);
    // The characters of text as bytes, then a zero byte.
    Bytes& TextZ(const std::string& text);
    Bytes& Units(const std::u16string& text);
    Bytes& Zeros(std::size_t count);
    Bytes& Append(const Bytes& more);
    // Overwrites the byte at offset, which must exist.
    Bytes& Patch(std::size_t offset, std::uint8_t value);

    const std::vector<std::uint8_t>& Data() const { return data_; }
    const unsigned char* Begin() const { return data_.data(); }
    std::size_t Size() const { return data_.size(); }
    std::uint16_t Size16() const { return static_cast<std::uint16_t>(data_.size()); }
    // The first count bytes.
    Bytes Prefix(std::size_t count) const;

private:
    std::vector<std::uint8_t> data_;
};

// ID list items: a 16-bit size counting itself, the type byte, then the rest.
Bytes Item(std::uint8_t type, const Bytes& rest = {});
// An item whose ItemIDSize is given as is, whatever bytes follow.
Bytes ItemWithSize(std::uint16_t itemSize, const Bytes& rest = {});
// The root item Windows opens a list with: type 0x1F and the My Computer CLSID.
Bytes RootItem();
// A volume item (0x2F): the drive text right after the type byte, as Windows pads it.
Bytes VolumeItem(const std::string& drive);
// A directory (0x31) or file (0x32) entry: 11 bytes of flags, size, date and
// attributes, then the zero-terminated short name.
Bytes FileEntryItem(std::uint8_t type, const std::string& name);
Bytes Terminator();
// The list bytes of these items and a terminator.
Bytes ItemList(std::initializer_list<Bytes> items);
Bytes ItemList(const std::vector<Bytes>& items);

// One StringData entry: the count, then the units.
Bytes CountedString(const std::u16string& text);
// A LinkInfo block of blockSize bytes in all, its LinkInfoSize included.
Bytes LinkInfoBlock(std::uint32_t blockSize);

// The LinkFlags bits, under the short names the tests use.
namespace flag {
constexpr std::uint32_t kIdList = link_format::kHasLinkTargetIdList;
constexpr std::uint32_t kLinkInfo = link_format::kHasLinkInfo;
constexpr std::uint32_t kName = link_format::kHasName;
constexpr std::uint32_t kRelativePath = link_format::kHasRelativePath;
constexpr std::uint32_t kWorkingDir = link_format::kHasWorkingDir;
constexpr std::uint32_t kArguments = link_format::kHasArguments;
constexpr std::uint32_t kIconLocation = link_format::kHasIconLocation;
constexpr std::uint32_t kIsUnicode = link_format::kIsUnicode;
}  // namespace flag

// A whole link file: header, then the sections the builder was given, in file order.
// Each section sets its flag; Flags() replaces the flag word for malformed cases.
class LinkBuilder {
public:
    LinkBuilder& Flags(std::uint32_t flags);
    // Flag bits beside those the sections set (IsUnicode is always set unless Flags()).
    LinkBuilder& MoreFlags(std::uint32_t bits);
    LinkBuilder& HeaderSize(std::uint32_t size);
    // Bytes of the header from offset on, in place of what the builder writes there.
    LinkBuilder& HeaderBytes(std::size_t offset, const Bytes& bytes);
    // The ID list section: IDListSize, then the list bytes.
    LinkBuilder& IdList(const Bytes& listBytes);
    // An IDListSize that need not match the bytes that follow it.
    LinkBuilder& IdListClaiming(std::uint16_t listSize, const Bytes& listBytes);
    LinkBuilder& LinkInfo(const Bytes& block);
    LinkBuilder& Description(const std::u16string& text);
    LinkBuilder& RelativePath(const std::u16string& text);
    LinkBuilder& WorkingDir(const std::u16string& text);
    LinkBuilder& Arguments(const std::u16string& text);
    LinkBuilder& IconLocation(const std::u16string& text);
    // Raw bytes after everything else, or in place of a string (for cut-short files).
    LinkBuilder& Tail(const Bytes& bytes);

    Bytes Build() const;

private:
    LinkBuilder& String(std::uint32_t bit, int index, const std::u16string& text);

    std::uint32_t headerSize_ = 76;
    std::uint32_t flags_ = 0;
    bool flagsForced_ = false;
    std::uint32_t setFlags_ = 0;
    std::vector<std::pair<std::size_t, Bytes>> headerBytes_;
    Bytes idList_;
    Bytes linkInfo_;
    Bytes strings_[5];
    Bytes tail_;
};

// The link a Windows shell writes for C:\WINDOWS\notepad.exe: its list of root,
// volume, directory and file items.
Bytes NotepadItemList();
// The list of a link to the drive C:\ itself: root and volume items.
Bytes CDriveItemList();

#endif
