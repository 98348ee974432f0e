// SPDX-License-Identifier: MIT
// The optional sections after the target ID list: the LinkInfo block, stepped over,
// and the StringData strings, each kept as LinkText.
#include <shortcut_reader/shortcut_file.h>

#include <cstddef>

#include "shortcut_file/scratch.h"
#include "shortcut_file/stream_read.h"

using shortcut_file::ReadBytes;
using shortcut_file::ReadCount;

namespace {
// LinkInfoSize counts its own four bytes.
constexpr std::uint32_t kLinkInfoSizeBytes = 4;
}  // namespace

int ShortcutFile::SkipLinkInfo() {
    const std::uint32_t blockSize = ReadCount(stream_, kLinkInfoSizeBytes);
    if (blockSize > kLinkInfoSizeBytes) {
        shortcut_file::SkipBytes(stream_, blockSize - kLinkInfoSizeBytes);
    }
    return 0;
}

int ShortcutFile::ReadCountedString(LinkText& field) {
    delete[] field;
    field = nullptr;
    const std::size_t count = ReadCount(stream_, 2);

    // Zero-filled, so units the input does not supply end the text where it ended; an
    // odd final byte becomes the low byte of its unit.
    field = new LinkTextUnit[count + 1]();
    unsigned char* const bytes = reinterpret_cast<unsigned char*>(field);
    ReadBytes(stream_, bytes, 2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        field[i] = static_cast<LinkTextUnit>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }

    // Normalise through multibyte text of the current locale, at most count bytes: the
    // text keeps what converts, up to a zero unit or the first character that does not.
    shortcut_file::Scratch<char> narrow(count + 1);
    const int limit = static_cast<int>(count);
    LinkTextToMultibyte(field, limit, narrow.get());
    narrow[count] = '\0';
    MultibyteToLinkText(narrow.get(), limit, field);
    return 0;
}
