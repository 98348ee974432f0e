// SPDX-License-Identifier: MIT
// The constructors, the one parse they all run, the destructor and ReportError.
#include <shortcut_reader/shortcut_file.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bytes/byte_span.h"
#include "format/layout.h"
#include "shortcut_file/stream_read.h"
#include "shortcut_file/target_path.h"

namespace sr = shortcut_file;
namespace lf = link_format;

const char* ShortcutStatusText(ShortcutStatus status) {
    switch (status) {
        case ShortcutStatus::kFileError:
            return "File error";
        case ShortcutStatus::kNotAShortcut:
            return "Not a shortcut";
        case ShortcutStatus::kRead:
            break;
    }
    return "";
}

ShortcutFile::ShortcutFile() = default;

// Opened without std::ios::binary: on Linux the bytes arrive unchanged either way. A null
// path opens nothing, so it ends as any file that cannot be opened does.
ShortcutFile::ShortcutFile(const char* path) {
    if (path != nullptr) {
        stream_.open(path, std::ios::in);
    }
    const ShortcutStatus status = ParseFile();
    if (status != ShortcutStatus::kRead) {
        ReportError(ShortcutStatusText(status));
    }
}

ShortcutFile::ShortcutFile(const char* path, ShortcutStatus& status) {
    if (path != nullptr) {
        stream_.open(path, std::ios::in);
    }
    status = ParseFile();
    stream_.close();  // a reader that is held does not hold a descriptor
}

// Memory is read through the same stream as a file, so both follow one set of rules.
// std::ios::rdbuf(&buffer) points the stream's reads at the caller's bytes (and clears
// its state) for the parse; std::ifstream::rdbuf() always names the stream's own, still
// unopened, file buffer, so handing that back afterwards leaves nothing pointing at the
// bytes once the constructor returns.
ShortcutFile::ShortcutFile(const void* bytes, std::size_t size, ShortcutStatus& status) {
    sr::MemoryStreamBuffer buffer(bytes, size);
    std::ios& stream = stream_;
    stream.rdbuf(&buffer);
    status = Parse();
    stream.rdbuf(stream_.rdbuf());
}

ShortcutFile::~ShortcutFile() {
    stream_.close();
    delete[] iconLocation_;
    delete[] arguments_;
    delete[] workingDir_;
    delete[] description_;
    delete[] targetPath_;
    delete[] relativePath_;
}

ShortcutStatus ShortcutFile::ParseFile() {
    return stream_.is_open() ? Parse() : ShortcutStatus::kFileError;
}

// Nothing is stored before the header has been accepted, so a reader that reports a
// failure holds no text.
ShortcutStatus ShortcutFile::Parse() {
    unsigned char header[lf::kHeaderBytes] = {};
    sr::ReadBytes(stream_, header, sizeof header);
    const lf::ByteSpan headerBytes{header, sizeof header};
    std::uint32_t headerSize = 0;
    std::uint32_t flags = 0;
    lf::ReadLittleEndian(headerBytes, lf::kHeaderSizeOffset, 4, headerSize);
    lf::ReadLittleEndian(headerBytes, lf::kLinkFlagsOffset, 4, flags);
    if (headerSize != lf::kShellLinkHeaderSize) {
        return ShortcutStatus::kNotAShortcut;
    }

    if ((flags & lf::kHasLinkTargetIdList) != 0) {
        ReadTargetIdList();
    }
    // The sections that follow are read whenever their bits announce them, with or
    // without an ID list: a link without one still carries its strings.
    if ((flags & lf::kHasLinkInfo) != 0) {
        SkipLinkInfo();
    }
    const struct {
        lf::LinkFlag flag;
        LinkText ShortcutFile::*field;
    } strings[] = {
        {lf::kHasName, &ShortcutFile::description_},
        {lf::kHasRelativePath, &ShortcutFile::relativePath_},
        {lf::kHasWorkingDir, &ShortcutFile::workingDir_},
        {lf::kHasArguments, &ShortcutFile::arguments_},
        {lf::kHasIconLocation, &ShortcutFile::iconLocation_},
    };
    for (const auto& entry : strings) {
        if ((flags & entry.flag) != 0) {
            ReadCountedString(this->*entry.field);
        }
    }
    return ShortcutStatus::kRead;
}

void ShortcutFile::ReadTargetIdList() {
    const std::uint32_t listSize = sr::ReadCount(stream_, 2);
    if (listSize == 0) {
        return;
    }
    char path[sr::kPathBytes] = {};
    {
        // Zero-filled: the bytes of a list cut short by the end of the input read as zero.
        const std::unique_ptr<unsigned char[]> list(new unsigned char[listSize]());
        sr::ReadBytes(stream_, list.get(), listSize);
        BuildTargetPath(list.get(), listSize, path);
    }
    const int length = static_cast<int>(std::strlen(path));
    targetPath_ = new LinkTextUnit[static_cast<std::size_t>(length) + 1];
    MultibyteToLinkText(path, length + 1, targetPath_);
}

void ReportError(const char* message) {
    // A failed write cannot be reported anywhere else: the status tells the failure.
    static_cast<void>(std::fputs(message, stdout));
    static_cast<void>(std::fputs("\n", stdout));
    std::exit(1);
}
