// SPDX-License-Identifier: MIT
// Delegate items: a frame of the item's size, class, a byte, the size N of inner data
// that follows, then the delegate ID and the ID of the delegate folder that owns the
// item, then extension blocks. Class 0x74 wraps a file entry in its inner data ("CFSF");
// class 0x2E stands for a shell folder, bare (a GUID at 4) or in the frame; the Portable
// Devices folder's frame names the device.
#include <cstring>
#include <string>

#include "format/well_known.h"
#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

constexpr std::uint64_t kInnerData = 0x06;
constexpr std::uint64_t kFrameBytes = 0x26;  // the frame's fields and both GUIDs
constexpr std::uint32_t kCfsfSignature = 0x46534643;  // "CFSF"
// {35786D3C-B075-49B9-88DD-029876E11C01}
constexpr Guid kPortableDevices = {0x3C, 0x6D, 0x78, 0x35, 0x75, 0xB0, 0xB9, 0x49,
                                   0x88, 0xDD, 0x02, 0x98, 0x76, 0xE1, 0x1C, 0x01};

// The file entry wrapped after "CFSF": its size S, then an ordinary file entry item
// without extension blocks, which must end inside the inner data and hold its primary
// name's terminator. Its long name is in the 0xBEEF0004 block after the frame's GUIDs.
bool ReadWrappedFileEntry(Reading& reading, ByteSpan item, std::uint16_t innerSize, FileEntryItem& entry) {
    constexpr std::uint64_t kInnerItem = 0x0A;
    constexpr std::uint16_t kLeastInnerItem = 0x0F;  // its fields and a one-byte name's terminator
    const std::optional<std::uint16_t> size = Field<std::uint16_t>(item, kInnerItem);
    if (innerSize < 6 || !size || *size < kLeastInnerItem || kInnerItem + *size > kInnerData + innerSize) {
        return false;
    }
    const ByteSpan inner = item.Sub(kInnerItem, *size);
    const std::uint8_t classType = Field<std::uint8_t>(inner, 2).value_or(0);
    if ((classType & 0x70) != 0x30) {
        return false;
    }
    const ByteSpan name = inner.Sub(0x0E, inner.size);
    const bool terminated = (classType & 0x04) != 0 ? ZeroTerminatedUnits(name) < name.size / 2
                                                    : ZeroTerminatedBytes(name) < name.size;
    if (!terminated) {
        return false;
    }
    ReadFileEntryFields(reading, inner, classType, entry);
    ReadFileEntryExtensionAt(reading, item, kFrameBytes + innerSize, entry);
    return true;
}

// The device's name in a Portable Devices frame: two lengths in characters (their
// terminators counted) at 0x1E and 0x22, the first string at 0x28, inside the inner data.
std::optional<std::string> DeviceName(Reading& reading, ByteSpan item, std::uint16_t innerSize) {
    constexpr std::uint64_t kNameLength = 0x1E;
    constexpr std::uint64_t kName = 0x28;
    const ByteSpan inner = item.Sub(0, kInnerData + innerSize);
    const std::optional<std::uint32_t> length = Field<std::uint32_t>(inner, kNameLength);
    if (!length || *length == 0 || *length > (inner.size - (inner.size < kName ? inner.size : kName)) / 2) {
        return std::nullopt;
    }
    const ByteSpan name = inner.Sub(kName, 2 * std::uint64_t{*length});
    if (Field<std::uint16_t>(name, name.size - 2) != 0) {
        return std::nullopt;
    }
    return Utf16Text(reading, name, *length - 1, item);
}

}  // namespace

std::optional<std::uint16_t> DelegateFrame(ByteSpan item) {
    const std::optional<std::uint16_t> innerSize = Field<std::uint16_t>(item, 4);
    if (item.size < kFrameBytes || !innerSize || *innerSize > item.size - kFrameBytes) {
        return std::nullopt;
    }
    const std::optional<Guid> delegate = GuidField(item, kInnerData + *innerSize);
    return delegate == kDelegateItemId ? innerSize : std::nullopt;
}

std::optional<DelegateItem> ReadDelegate(Reading& reading, ByteSpan item, std::uint8_t classType) {
    const std::optional<std::uint16_t> innerSize = DelegateFrame(item);
    if (!innerSize) {
        return std::nullopt;
    }
    DelegateItem delegate;
    delegate.delegate_id = kDelegateItemId;
    delegate.item_class_id = GuidField(item, kInnerData + *innerSize + 16).value_or(Guid{});
    if (classType == 0x74) {
        if (Field<std::uint32_t>(item, kInnerData) != kCfsfSignature ||
            !ReadWrappedFileEntry(reading, item, *innerSize, delegate.file_entry)) {
            return std::nullopt;
        }
    }
    return delegate;
}

std::optional<VolumeItem> ReadShellFolderVolume(Reading& reading, ByteSpan item) {
    VolumeItem volume;
    if (const std::optional<std::uint16_t> innerSize = DelegateFrame(item)) {
        volume.shell_folder_id = GuidField(item, kInnerData + *innerSize + 16);
        if (volume.shell_folder_id == kPortableDevices) {
            volume.device_name = DeviceName(reading, item, *innerSize);
        }
    } else {
        // Extension blocks may follow the GUID; they hold nothing the record shows.
        volume.shell_folder_id = GuidField(item, 4);
        if (!volume.shell_folder_id) {
            return std::nullopt;
        }
    }
    volume.shell_folder_name = link_format::ShellFolderName(volume.shell_folder_id->data());
    return volume;
}

}  // namespace shell_link::detail
