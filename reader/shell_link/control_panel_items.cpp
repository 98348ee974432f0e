// SPDX-License-Identifier: MIT
// Control Panel items: an item by its GUID (class 0x71), a category by its number, and a
// CPL file's applet with the file's path, the applet's name and its comments.
#include <string>

#include "format/well_known.h"
#include "shell_link/shell_items.h"

namespace shell_link::detail {

namespace {

// The applet's texts: the CPL path at base, then the name and the comments at offsets in
// characters from base. The path must not be empty and its terminator must lie in the item; the names are kept
// only where their offsets come after the path and in order, and each ends in the item.
struct AppletLayout {
    std::uint64_t base;
    std::uint64_t offsets;  // where the name's and the comments' offsets stand
    bool utf16;
};

// The span of a text of the applet at a character offset from base, ending with its
// terminator inside the item (which the span leaves out).
std::optional<ByteSpan> AppletTextSpan(ByteSpan item, const AppletLayout& layout, std::uint64_t offset) {
    const std::uint64_t at = layout.base + (layout.utf16 ? 2 : 1) * offset;
    if (at >= item.size) {
        return std::nullopt;
    }
    const ByteSpan text = item.Sub(at, item.size);
    if (layout.utf16) {
        const std::size_t units = ZeroTerminatedUnits(text);
        return units < text.size / 2 ? std::optional<ByteSpan>(text.Sub(0, 2 * static_cast<std::uint64_t>(units))) : std::nullopt;
    }
    const std::size_t bytes = ZeroTerminatedBytes(text);
    return bytes < text.size ? std::optional<ByteSpan>(text.Sub(0, bytes)) : std::nullopt;
}

std::string AppletText(Reading& reading, ByteSpan item, const AppletLayout& layout, ByteSpan text) {
    return layout.utf16 ? Utf16Text(reading, text, text.size / 2, item) : AnsiText(reading, text, item);
}

std::optional<ControlPanelAppletItem> ReadApplet(Reading& reading, ByteSpan item, const AppletLayout& layout) {
    const ByteSpan path = item.Sub(layout.base, item.size);
    const std::size_t pathLength = layout.utf16 ? ZeroTerminatedUnits(path) : ZeroTerminatedBytes(path);
    if (pathLength == 0 || pathLength >= (layout.utf16 ? path.size / 2 : path.size)) {
        return std::nullopt;
    }
    ControlPanelAppletItem applet;
    applet.cpl_path = layout.utf16 ? Utf16Text(reading, path, pathLength, item) : AnsiText(reading, path.Sub(0, pathLength), item);
    const std::uint16_t nameAt = Field<std::uint16_t>(item, layout.offsets).value_or(0);
    const std::uint16_t commentsAt = Field<std::uint16_t>(item, layout.offsets + 2).value_or(0);
    if (nameAt == 0 && commentsAt == 0) {
        return applet;  // no names stored
    }
    if (nameAt < pathLength + 1 || commentsAt < nameAt) {
        return applet;
    }
    // Both checked before either is decoded: names turned away raise no warning.
    const std::optional<ByteSpan> name = AppletTextSpan(item, layout, nameAt);
    const std::optional<ByteSpan> comments = AppletTextSpan(item, layout, commentsAt);
    if (name && comments) {
        applet.name = AppletText(reading, item, layout, *name);
        applet.comments = AppletText(reading, item, layout, *comments);
    }
    return applet;
}

}  // namespace

std::optional<ControlPanelItem> ReadControlPanelItem(ByteSpan item) {
    constexpr std::uint64_t kControlPanelItemBytes = 30;
    if (item.size != kControlPanelItemBytes) {
        return std::nullopt;
    }
    ControlPanelItem read;
    read.control_panel_id = GuidField(item, 0x0E).value_or(Guid{});
    if (const link_format::ControlPanelNames* names = link_format::ControlPanelItemNames(read.control_panel_id.data())) {
        read.name = names->name;
        read.canonical_name = names->canonical_name;
    }
    return read;
}

std::optional<ControlPanelCategoryItem> ReadControlPanelCategory(ByteSpan item) {
    const std::optional<std::uint32_t> category = Field<std::uint32_t>(item, 8);
    if (!category) {
        return std::nullopt;
    }
    return ControlPanelCategoryItem{*category, link_format::ControlPanelCategoryName(*category)};
}

// Two forms: UTF-16 texts from 0x18, their offsets at 0x14 (zero at 8, and the first
// path character's high byte zero); else code-page texts from 0x0C, offsets at 8.
std::optional<ControlPanelAppletItem> ReadControlPanelApplet(Reading& reading, ByteSpan item) {
    constexpr AppletLayout kUtf16{0x18, 0x14, true};
    constexpr AppletLayout kAnsi{0x0C, 0x08, false};
    const bool utf16 = item.size >= 0x1A && Field<std::uint32_t>(item, 8) == 0 && Field<std::uint8_t>(item, 0x19) == 0;
    return ReadApplet(reading, item, utf16 ? kUtf16 : kAnsi);
}

}  // namespace shell_link::detail
