#include "shortcut_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "byte_span.h"
#include "link_flags.h"
#include "stream_read.h"

ShortcutFile::ShortcutFile() = default;

// Opened without std::ios::binary: on Linux the bytes arrive unchanged either way. A null
// path opens nothing, so it ends as any file that cannot be opened does.
ShortcutFile::ShortcutFile(const char* path) {
    if (path != nullptr) {
        stream_.open(path, std::ios::in);
    }
    Parse();
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

int ShortcutFile::Parse() {
    if (!stream_.is_open()) {
        ReportError("File error");
    }
    unsigned char header[kHeaderBytes] = {};
    ReadBytes(stream_, header, sizeof header);
    const ByteSpan headerBytes{header, sizeof header};
    std::uint32_t headerSize = 0;
    std::uint32_t flags = 0;
    ReadLittleEndian(headerBytes, kHeaderSizeOffset, 4, headerSize);
    ReadLittleEndian(headerBytes, kLinkFlagsOffset, 4, flags);
    if (headerSize != kShellLinkHeaderSize) {
        ReportError("Not a shortcut");
    }

    if ((flags & kHasLinkTargetIdList) != 0) {
        ReadTargetIdList();
    }
    // The sections that follow are read whenever their bits announce them, with or
    // without an ID list: a link without one still carries its strings.
    if ((flags & kHasLinkInfo) != 0) {
        SkipLinkInfo();
    }
    const struct {
        LinkFlag flag;
        LinkText ShortcutFile::*field;
    } strings[] = {
        {kHasName, &ShortcutFile::description_},
        {kHasRelativePath, &ShortcutFile::relativePath_},
        {kHasWorkingDir, &ShortcutFile::workingDir_},
        {kHasArguments, &ShortcutFile::arguments_},
        {kHasIconLocation, &ShortcutFile::iconLocation_},
    };
    for (const auto& entry : strings) {
        if ((flags & entry.flag) != 0) {
            ReadCountedString(this->*entry.field);
        }
    }
    return 0;
}

void ShortcutFile::ReadTargetIdList() {
    const std::uint32_t listSize = ReadCount(stream_, 2);
    if (listSize == 0) {
        return;
    }
    char path[kPathBytes] = {};
    {
        const std::unique_ptr<unsigned char[]> list(new unsigned char[listSize]());
        ReadBytes(stream_, list.get(), listSize);
        BuildTargetPath(list.get(), listSize, path);
    }
    const int length = static_cast<int>(std::strlen(path));
    targetPath_ = new LinkTextUnit[static_cast<std::size_t>(length) + 1];
    MultibyteToLinkText(path, length + 1, targetPath_);
}

int ShortcutFile::WriteText(const LinkTextUnit* text, char* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    if (text == nullptr) {
        *buffer = '\0';
        return 0;
    }
    // Converting to one byte fewer than the limit and terminating here keeps the write
    // within the text's length plus one, terminated, in any locale.
    const int written = LinkTextToMultibyte(text, LinkTextLength(text) - 1, buffer);
    if (written < 0) {
        return -1;  // the characters before the failing one are already terminated
    }
    buffer[written] = '\0';
    return written;
}

int ShortcutFile::GetPath(char* buffer) const { return WriteText(targetPath_, buffer); }
int ShortcutFile::GetArgs(char* buffer) const { return WriteText(arguments_, buffer); }
int ShortcutFile::GetWorkDir(char* buffer) const { return WriteText(workingDir_, buffer); }
int ShortcutFile::GetDesc(char* buffer) const { return WriteText(description_, buffer); }
int ShortcutFile::GetPathRel(char* buffer) const { return WriteText(relativePath_, buffer); }

void ReportError(const char* message) {
    // A failed write cannot be reported anywhere else: the status tells the failure.
    static_cast<void>(std::fputs(message, stdout));
    static_cast<void>(std::fputs("\n", stdout));
    std::exit(1);
}
