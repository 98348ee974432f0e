// SPDX-License-Identifier: MIT
#include "shell_item_builders.h"

#include "structure_builders.h"

namespace {

constexpr char kDelegateId[] = "{5E591A74-DF96-48D3-8D67-1733BCEE28BA}";
constexpr char kUsersFilesDelegate[] = "{DFFACDC5-679F-4156-8947-C5C76BC0B67F}";
constexpr char kUsersFiles[] = "{59031A47-3F72-44A7-89C5-5595FE6B30EE}";
constexpr char kPortableDevices[] = "{35786D3C-B075-49B9-88DD-029876E11C01}";
constexpr char kPortableDeviceValues[] = "{0C15D503-D017-47CE-9016-7B3F978721CC}";

std::uint32_t Count(const std::u16string& text) { return static_cast<std::uint32_t>(text.size() + 1); }
std::uint16_t Count16(std::size_t characters) { return static_cast<std::uint16_t>(characters + 1); }

// What follows the media device items' texts: 0x0D, the values' class, no properties,
// two zero bytes.
Bytes NoDeviceProperties() { return Bytes().U32(0x0D).Append(GuidBytes(kPortableDeviceValues)).U32(0).U16(0); }

// An item of class 0x00 whose data, from 6 to its end, is counted by the u16 at 4.
Bytes SizedData(const Bytes& data) { return Item(0x00, Bytes{0x00}.U16(data.Size16()).Append(data)); }

}  // namespace

Bytes RootFolderItem(const std::string& folder) { return Item(0x1F, Bytes{0x50}.Append(GuidBytes(folder))); }

Bytes DelegateItem(std::uint8_t type, const Bytes& inner, const std::string& folder, const Bytes& blocks) {
    Bytes rest = Bytes{0x00}.U16(inner.Size16()).Append(inner);
    return Item(type, rest.Append(GuidBytes(kDelegateId)).Append(GuidBytes(folder)).Append(blocks));
}

std::size_t DelegateIdAt(const Bytes& item) { return 6 + std::size_t{U16At(item, 4)}; }

Bytes CfsfItem(const std::string& primaryName, const std::optional<std::u16string>& longName) {
    const Bytes inner = Bytes().Text("CFSF").Append(FileEntryWithLongName(0x31, primaryName, std::nullopt)).U16(0);
    constexpr std::size_t kFrame = 0x26;  // the frame's fields and its two GUIDs
    const Bytes blocks = longName ? FileEntryExtension(*longName, 9, kFrame + inner.Size()) : Bytes();
    return DelegateItem(0x74, inner, kUsersFilesDelegate, blocks);
}

Bytes ShellFolderItem(const std::string& folder) { return Item(0x2E, Bytes{0x80}.Append(GuidBytes(folder))); }

Bytes UsersFilesItem() { return DelegateItem(0x2E, Bytes().Zeros(12), kUsersFiles); }

Bytes PortableDevicesItem(const std::u16string& device, const std::u16string& devicePath) {
    Bytes inner = Bytes().U32(0x08312006).U32(3).U32(0).U32(3).U32(0).U32(0).U32(Count(device)).U32(Count(devicePath)).U16(0);
    inner.Units(device).U16(0).Units(devicePath).U16(0).Append(NoDeviceProperties());
    return DelegateItem(0x2E, inner, kPortableDevices);
}

Bytes UriItem(const std::u16string& uri) { return Item(0x61, Bytes{0x80}.U16(0).U16(0).Units(uri).U16(0).U16(0)); }

Bytes UriItem(const std::string& uri) { return Item(0x61, Bytes{0x00}.U16(0).U16(0).TextZ(uri).U16(0)); }

Bytes ControlPanelItem(const std::string& item, std::uint8_t byte3) {
    return Item(0x71, Bytes{byte3}.Zeros(10).Append(GuidBytes(item)));
}

Bytes ControlPanelCategoryItem(std::uint32_t category) { return Item(0x01, Bytes{0x00}.U32(0x39DE2184).U32(category)); }

Bytes AppletItem(const std::u16string& path, const std::u16string& name, const std::u16string& comments,
                 std::uint32_t signature) {
    const std::uint16_t nameAt = Count16(path.size());
    const auto commentsAt = static_cast<std::uint16_t>(nameAt + Count16(name.size()));
    Bytes rest = Bytes{0x00}.U32(signature).U32(0).U32(0x6A00).U32(0).U16(nameAt).U16(commentsAt);
    return Item(0x00, rest.Units(path).U16(0).Units(name).U16(0).Units(comments).U16(0));
}

Bytes AppletItem(const std::string& path, const std::string& name, const std::string& comments) {
    const std::uint16_t nameAt = Count16(path.size());
    const auto commentsAt = static_cast<std::uint16_t>(nameAt + Count16(name.size()));
    return Item(0x00, Bytes{0x00}.U32(0xFFFFFFFF).U16(nameAt).U16(commentsAt).TextZ(path).TextZ(name).TextZ(comments));
}

Bytes PropertyViewItem(std::uint32_t signature, const Bytes& identifier, const Bytes& storages) {
    const Bytes store = storages.Size() > 0 ? Bytes(storages).U32(0) : Bytes();
    const auto dataSize = static_cast<std::uint16_t>(10 + identifier.Size() + store.Size());
    Bytes rest = Bytes{0x00}.U16(dataSize).U32(signature).U16(store.Size16()).U16(identifier.Size16());
    return Item(0x00, rest.Append(identifier).Append(store).U16(0));
}

Bytes KnownFolderViewItem(const std::string& folder) { return PropertyViewItem(0x23FEBBEE, GuidBytes(folder)); }

Bytes MtpVolumeItem(const std::u16string& name, const std::u16string& identifier, const std::u16string& fileSystem) {
    Bytes data = Bytes().U32(0x10312005).U32(3).Zeros(12 + 8).U32(0);
    data.U32(Count(name)).U32(Count(identifier)).U32(Count(fileSystem)).U32(0);
    data.Units(name).U16(0).Units(identifier).U16(0).Units(fileSystem).U16(0);
    return SizedData(data.Append(NoDeviceProperties()));
}

Bytes MtpFileEntryItem(const std::u16string& name, const std::u16string& objectId, std::uint64_t created,
                       const std::string& contentType) {
    Bytes data = Bytes().U32(0x07192006).U32(3).Zeros(12 + 8);
    data.U32(static_cast<std::uint32_t>(created)).U32(static_cast<std::uint32_t>(created >> 32));
    data.Append(GuidBytes(contentType)).U32(0).U32(Count(name)).U32(Count(name)).U32(Count(objectId));
    data.Units(name).U16(0).Units(name).U16(0).Units(objectId).U16(0);
    return SizedData(data.Append(NoDeviceProperties()));
}

Bytes GameFolderItem(const std::string& game) { return Item(0x00, Bytes{0x00}.Text("GFSI").Append(GuidBytes(game)).Zeros(8)); }

Bytes CdBurningItem() { return Item(0x00, Bytes{0x00}.Text("AugM").Zeros(16)); }

Bytes WithBlock(const Bytes& item, std::uint32_t signature, std::uint16_t version, const Bytes& body) {
    const Bytes block = Bytes().U16(static_cast<std::uint16_t>(8 + body.Size() + 2)).U16(version).U32(signature).Append(body)
                            .U16(item.Size16());
    return Resized(Bytes(item).Append(block), item.Size() + block.Size());
}

Bytes Resized(const Bytes& item, std::size_t size) {
    Bytes resized = item.Prefix(size);
    resized.Zeros(size - resized.Size());
    return WithU16(resized, 0, static_cast<std::uint16_t>(size));
}

Bytes WithU16(const Bytes& item, std::size_t offset, std::uint16_t value) {
    return Bytes(item).Patch(offset, static_cast<std::uint8_t>(value & 0xFF)).Patch(offset + 1, static_cast<std::uint8_t>(value >> 8));
}

Bytes AddToU16(const Bytes& item, std::size_t offset, int delta) {
    return WithU16(item, offset, static_cast<std::uint16_t>(U16At(item, offset) + delta));
}

std::uint16_t U16At(const Bytes& item, std::size_t offset) {
    return static_cast<std::uint16_t>(item.Data().at(offset) | item.Data().at(offset + 1) << 8);
}

Bytes Flipped(const Bytes& item, std::size_t offset) {
    return Bytes(item).Patch(offset, static_cast<std::uint8_t>(~item.Data().at(offset)));
}

Bytes AcronisItem(const std::u16string& name, const std::u16string& path) {
    Bytes rest = Bytes{0x67, 0xB1, 0xAC}.U32(1).Zeros(8).U32(0).U32(0).U32(0).U32(0).U32(0).Zeros(8);
    for (const std::u16string& text : {name, std::u16string(), path, std::u16string()}) {
        rest.U32(static_cast<std::uint32_t>(text.size() + 1)).Units(text).U16(0);
    }
    return Item(0x52, rest);
}

Bytes ZipXpItem(const std::u16string& name) {
    return Item(0x08, Bytes{0x00}.Zeros(16).U16(0).U16(0).Units(u"01/02/03  04:05").U16(0).U16(0).U16(0)
                          .U32(static_cast<std::uint32_t>(name.size())).U32(0).Units(name).U16(0).U16(0));
}
