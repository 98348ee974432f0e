// SPDX-License-Identifier: MIT
// The serialized property storages of a PropertyStoreDataBlock (MS-PROPSTORE): storages
// back to back up to one of size 0 or the block's end, each a version, a format ID and
// values up to one of size 0, both walked by their sizes (record_walker.h). A value is
// decoded only inside it, for the scalar, string, FILETIME and GUID types.
#include <cstring>
#include <string>

#include "format/well_known.h"
#include "shell_link/record_walker.h"

namespace shell_link::detail {

namespace {

constexpr std::uint32_t kStorageVersion = 0x53505331;  // "1SPS"
constexpr std::uint32_t kStorageHeader = 24;            // size, version, format ID
constexpr std::uint32_t kValueHeader = 9;               // size, ID or name size, reserved byte
// {D5CDD505-2E9C-101B-9397-08002B2CF9AE}: the one property set whose values have names.
constexpr Guid kStringNamedSet = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                  0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

enum VarType : std::uint16_t {
    kEmpty = 0x00, kNull = 0x01, kI2 = 0x02, kI4 = 0x03, kR4 = 0x04, kR8 = 0x05, kCy = 0x06, kDate = 0x07,
    kBstr = 0x08, kError = 0x0A, kBool = 0x0B, kI1 = 0x10, kUi1 = 0x11, kUi2 = 0x12, kUi4 = 0x13, kI8 = 0x14,
    kUi8 = 0x15, kInt = 0x16, kUint = 0x17, kLpstr = 0x1E, kLpwstr = 0x1F, kFiletime = 0x40, kClsid = 0x48,
};

template <typename T, typename As>
PropertyValue Integer(ByteSpan value) {
    const std::optional<T> field = Field<T>(value, 4);
    return field ? PropertyValue(static_cast<As>(*field)) : PropertyValue();
}

template <typename Bits, typename Float>
PropertyValue Floating(ByteSpan value) {
    const std::optional<Bits> bits = Field<Bits>(value, 4);
    if (!bits) {
        return {};
    }
    Float number = 0;
    std::memcpy(&number, &*bits, sizeof number);
    return static_cast<double>(number);
}

// The size bytes of a string value after its size field, cut (with a warning) where they
// run past the value.
ByteSpan StringBytes(Reading& reading, ByteSpan value, std::uint64_t size, ByteSpan at) {
    const ByteSpan bytes = value.Sub(8, size);
    if (bytes.size < size) {
        reading.Warn(WarningCode::kTruncated, at,
                     "a property string of " + ByteCount(size) + " runs past the end of its value, " +
                         ByteCount(bytes.size) + " are there");
    }
    return bytes;
}

// A TypedPropertyValue: the type, two bytes of padding, then the value.
PropertyValue Decode(Reading& reading, ByteSpan value, std::uint16_t type, ByteSpan at) {
    switch (type) {
        case kI1: return Integer<std::int8_t, std::int64_t>(value);
        case kI2: return Integer<std::int16_t, std::int64_t>(value);
        case kI4: case kInt: return Integer<std::int32_t, std::int64_t>(value);
        case kI8: return Integer<std::int64_t, std::int64_t>(value);
        case kUi1: return Integer<std::uint8_t, std::uint64_t>(value);
        case kUi2: return Integer<std::uint16_t, std::uint64_t>(value);
        case kUi4: case kUint: case kError: return Integer<std::uint32_t, std::uint64_t>(value);
        case kUi8: return Integer<std::uint64_t, std::uint64_t>(value);
        case kR4: return Floating<std::uint32_t, float>(value);
        case kR8: case kDate: return Floating<std::uint64_t, double>(value);
        case kBool: {
            const std::optional<std::uint16_t> flag = Field<std::uint16_t>(value, 4);
            return flag ? PropertyValue(*flag != 0) : PropertyValue();
        }
        case kCy: {
            const std::optional<std::int64_t> scaled = Field<std::int64_t>(value, 4);
            return scaled ? PropertyValue(Currency{*scaled}) : PropertyValue();
        }
        case kFiletime: {
            const std::optional<std::uint64_t> time = Field<std::uint64_t>(value, 4);
            return time ? PropertyValue(CheckedFileTime(reading, *time, at)) : PropertyValue();
        }
        case kClsid: {
            const std::optional<Guid> guid = GuidField(value, 4);
            return guid ? PropertyValue(*guid) : PropertyValue();
        }
        case kBstr: case kLpstr: {  // CodePageString: its size in bytes, then the bytes
            const std::optional<std::uint32_t> size = Field<std::uint32_t>(value, 4);
            return size ? PropertyValue(AnsiTextZ(reading, StringBytes(reading, value, *size, at), at)) : PropertyValue();
        }
        case kLpwstr: {  // UnicodeString: its length in units, then the units
            const std::optional<std::uint32_t> length = Field<std::uint32_t>(value, 4);
            return length ? PropertyValue(Utf16TextZ(reading, StringBytes(reading, value, std::uint64_t{2} * *length, at), at))
                          : PropertyValue();
        }
        default:
            return {};  // vectors, arrays, blobs, streams and the rest are not decoded
    }
}

constexpr RecordList kStorages{"a property storage", "property storages and values", "the PropertyStoreDataBlock",
                               4, 1, kStorageHeader, false};
constexpr RecordList kValues{"a property value", "property storages and values", "its property storage",
                             4, 1, kValueHeader, false};

Property ReadProperty(Reading& reading, ByteSpan value, const link_format::PropertySet* names, bool stringNamed) {
    Property property;
    std::uint64_t typed = kValueHeader;
    const std::uint32_t idOrNameSize = Field<std::uint32_t>(value, 4).value_or(0);
    if (stringNamed) {
        const ByteSpan name = value.Sub(kValueHeader, idOrNameSize);
        if (name.size < idOrNameSize) {
            reading.Warn(WarningCode::kTruncated, value,
                         "a property name of " + ByteCount(idOrNameSize) + " runs past the end of its value, " +
                             ByteCount(name.size) + " are there");
        }
        property.name = Utf16TextZ(reading, name, value);
        typed += idOrNameSize;
    } else {
        property.id = idOrNameSize;
        property.canonical_name = link_format::PropertyNameInSet(names, idOrNameSize);
    }
    const ByteSpan typedValue = value.Sub(typed, value.size);
    property.type = Field<std::uint16_t>(typedValue, 0).value_or(0);
    property.value = Decode(reading, typedValue, property.type, value);
    return property;
}

}  // namespace

PropertyStoreBlock ReadPropertyStore(Reading& reading, ByteSpan storages) {
    PropertyStoreBlock store;
    // Storages and their values share one budget, that of the whole link.
    RecordBudget& budget = reading.properties;
    const std::uint64_t unlistedBefore = budget.unlisted;
    WalkRecords(reading, storages, kStorages, budget, [&](ByteSpan storage, std::uint32_t) {
        if (Field<std::uint32_t>(storage, 4) != kStorageVersion) {
            return false;  // not a storage of this format: stepped over by its size
        }
        PropertyStorage read;
        read.format_id = GuidField(storage, 8).value_or(Guid{});
        const bool stringNamed = read.format_id == kStringNamedSet;
        const link_format::PropertySet* names = stringNamed ? nullptr : link_format::FindPropertySet(read.format_id.data());
        WalkRecords(reading, storage.Sub(kStorageHeader, storage.size), kValues, budget,
                    [&](ByteSpan value, std::uint32_t) {
                        read.properties.push_back(ReadProperty(reading, value, names, stringNamed));
                        return true;
                    });
        store.property_storages.push_back(std::move(read));
        return true;
    });
    WarnUnlisted(reading, storages, kStorages, budget.unlisted - unlistedBefore, kMaxProperties);
    return store;
}

}  // namespace shell_link::detail
