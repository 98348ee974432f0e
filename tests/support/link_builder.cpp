// SPDX-License-Identifier: MIT
#include "link_builder.h"

Bytes& Bytes::U8(std::uint8_t value) {
    data_.push_back(value);
    return *this;
}

Bytes& Bytes::U16(std::uint16_t value) {
    return U8(static_cast<std::uint8_t>(value & 0xFF)).U8(static_cast<std::uint8_t>(value >> 8));
}

Bytes& Bytes::U32(std::uint32_t value) {
    return U16(static_cast<std::uint16_t>(value & 0xFFFF)).U16(static_cast<std::uint16_t>(value >> 16));
}

Bytes& Bytes::Text(const std::string& text) {
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
}

Bytes& Bytes::TextZ(const std::string& text) { return Text(text).U8(0); }

Bytes& Bytes::Units(const std::u16string& text) {
    for (const char16_t unit : text) {
        U16(static_cast<std::uint16_t>(unit));
    }
    return *this;
}

Bytes& Bytes::Zeros(std::size_t count) {
    data_.insert(data_.end(), count, 0);
    return *this;
}

Bytes& Bytes::Append(const Bytes& more) {
    data_.insert(data_.end(), more.data_.begin(), more.data_.end());
    return *this;
}

Bytes& Bytes::Patch(std::size_t offset, std::uint8_t value) {
    data_.at(offset) = value;
    return *this;
}

Bytes Bytes::Prefix(std::size_t count) const {
    Bytes prefix;
    prefix.data_.assign(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(count < data_.size() ? count : data_.size()));
    return prefix;
}

Bytes Item(std::uint8_t type, const Bytes& rest) {
    return ItemWithSize(static_cast<std::uint16_t>(3 + rest.Size()), Bytes{type}.Append(rest));
}

Bytes ItemWithSize(std::uint16_t itemSize, const Bytes& rest) { return Bytes().U16(itemSize).Append(rest); }

Bytes RootItem() {
    // Sort index 0x50, then {20D04FE0-3AEA-1069-A2D8-08002B30309D} as Windows stores a GUID.
    return Item(0x1F, Bytes{0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                            0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D});
}

Bytes VolumeItem(const std::string& drive) {
    constexpr std::size_t kVolumeItemSize = 25;
    Bytes rest = Bytes().Text(drive);
    const std::size_t used = 3 + rest.Size();
    return Item(0x2F, rest.Zeros(used < kVolumeItemSize ? kVolumeItemSize - used : 1));
}

Bytes FileEntryItem(std::uint8_t type, const std::string& name) {
    Bytes rest;
    rest.U8(0x00).U32(0x1234).U32(0x4E215A3Cu).U16(0x0010);  // flags, size, date and time, attributes
    rest.TextZ(name);
    if ((3 + rest.Size()) % 2 != 0) {
        rest.U8(0);  // entries are padded to an even size
    }
    return Item(type, rest);
}

Bytes Terminator() { return Bytes().U16(0); }

Bytes ItemList(std::initializer_list<Bytes> items) { return ItemList(std::vector<Bytes>(items)); }

Bytes ItemList(const std::vector<Bytes>& items) {
    Bytes list;
    for (const Bytes& item : items) {
        list.Append(item);
    }
    return list.Append(Terminator());
}

Bytes CountedString(const std::u16string& text) {
    return Bytes().U16(static_cast<std::uint16_t>(text.size())).Units(text);
}

Bytes LinkInfoBlock(std::uint32_t blockSize) {
    Bytes block = Bytes().U32(blockSize);
    for (std::uint32_t i = 4; i < blockSize; ++i) {
        block.U8(static_cast<std::uint8_t>(0xA0 + i % 16));  // never mistaken for a small count
    }
    return block;
}

Bytes NotepadItemList() {
    return ItemList({RootItem(), VolumeItem("C:\\"), FileEntryItem(0x31, "WINDOWS"),
                     FileEntryItem(0x32, "notepad.exe")});
}

Bytes CDriveItemList() { return ItemList({RootItem(), VolumeItem("C:\\")}); }

LinkBuilder& LinkBuilder::Flags(std::uint32_t flags) {
    flags_ = flags;
    flagsForced_ = true;
    return *this;
}

LinkBuilder& LinkBuilder::MoreFlags(std::uint32_t bits) {
    setFlags_ |= bits;
    return *this;
}

LinkBuilder& LinkBuilder::HeaderBytes(std::size_t offset, const Bytes& bytes) {
    headerBytes_.emplace_back(offset, bytes);
    return *this;
}

LinkBuilder& LinkBuilder::HeaderSize(std::uint32_t size) {
    headerSize_ = size;
    return *this;
}

LinkBuilder& LinkBuilder::IdList(const Bytes& listBytes) { return IdListClaiming(listBytes.Size16(), listBytes); }

LinkBuilder& LinkBuilder::IdListClaiming(std::uint16_t listSize, const Bytes& listBytes) {
    idList_ = Bytes().U16(listSize).Append(listBytes);
    setFlags_ |= flag::kIdList;
    return *this;
}

LinkBuilder& LinkBuilder::LinkInfo(const Bytes& block) {
    linkInfo_ = block;
    setFlags_ |= flag::kLinkInfo;
    return *this;
}

LinkBuilder& LinkBuilder::String(std::uint32_t bit, int index, const std::u16string& text) {
    strings_[index] = CountedString(text);
    setFlags_ |= bit;
    return *this;
}

LinkBuilder& LinkBuilder::Description(const std::u16string& text) { return String(flag::kName, 0, text); }
LinkBuilder& LinkBuilder::RelativePath(const std::u16string& text) { return String(flag::kRelativePath, 1, text); }
LinkBuilder& LinkBuilder::WorkingDir(const std::u16string& text) { return String(flag::kWorkingDir, 2, text); }
LinkBuilder& LinkBuilder::Arguments(const std::u16string& text) { return String(flag::kArguments, 3, text); }
LinkBuilder& LinkBuilder::IconLocation(const std::u16string& text) { return String(flag::kIconLocation, 4, text); }

LinkBuilder& LinkBuilder::Tail(const Bytes& bytes) {
    tail_.Append(bytes);
    return *this;
}

Bytes LinkBuilder::Build() const {
    Bytes file;
    file.U32(headerSize_);
    // LinkCLSID {00021401-0000-0000-C000-000000000046}
    file.Append(Bytes{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
    file.U32(flagsForced_ ? flags_ : setFlags_ | flag::kIsUnicode);
    file.U32(0x20);  // FileAttributes: archive
    file.Zeros(24);  // creation, access and write times
    file.U32(0);     // FileSize
    file.U32(0);     // IconIndex
    file.U32(1);     // ShowCommand: normal
    file.U16(0);     // HotKey
    file.Zeros(10);  // Reserved1 to Reserved3
    for (const auto& [offset, bytes] : headerBytes_) {
        for (std::size_t i = 0; i < bytes.Size(); ++i) {
            file.Patch(offset + i, bytes.Data()[i]);
        }
    }
    file.Append(idList_).Append(linkInfo_);
    for (const Bytes& text : strings_) {
        file.Append(text);
    }
    return file.Append(tail_);
}
