// SPDX-License-Identifier: MIT
// ShortcutFile: the reader of one Windows shell link (.lnk) file.
//
// Constructing it parses the whole link at once: the 76-byte header, the target ID list
// (rebuilt into a path), the LinkInfo block (stepped over) and the StringData strings
// that the header's flags announce. Every constructor runs the same parse.
//
// The constructor from a path alone ends the process through ReportError on a file that
// cannot be opened or is not a shell link, so a ShortcutFile built that way is always a
// parsed one. The constructors that take a ShortcutStatus never print and never exit:
// they report the outcome in it, and a reader that did not read holds no text.
//
// Texts leave the reader only through the getters, as multibyte text of the current
// locale written into a buffer the caller owns.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_H
#define SHORTCUT_READER_SHORTCUT_FILE_H

#include <cstddef>
#include <fstream>

#include "export.h"
#include "link_text.h"

// The outcome of reading a link.
enum class ShortcutStatus {
    kRead,          // the link was read
    kFileError,     // the file could not be opened (a null path included)
    kNotAShortcut,  // the first four bytes, missing ones read as zero, are not 4C 00 00 00
};

// "" for kRead, "File error" and "Not a shortcut" for the two failures: the lines that
// shortcut_dump prints.
SHORTCUT_READER_API const char* ShortcutStatusText(ShortcutStatus status);

class SHORTCUT_READER_API ShortcutFile {
public:
    // A getter writes at most the length of its text plus one bytes, and every text the
    // reader stores holds at most 65535 units: a buffer of this size takes any of them.
    static constexpr int kLongestTextBytes = 65536;

    // An unopened reader that holds no text; every getter writes an empty string.
    ShortcutFile();
    // Opens and parses the link at path; ends the process with "File error" (a null
    // path included) or "Not a shortcut" and status 1 when it cannot. The file stays
    // open for the reader's life.
    explicit ShortcutFile(const char* path);
    // Opens and parses the link at path, closes it again, and reports the outcome in
    // status. Never prints and never exits.
    ShortcutFile(const char* path, ShortcutStatus& status);
    // Parses the size bytes of a link held in memory, as if they were the whole file
    // (null bytes are an empty input), and reports the outcome in status. Opens nothing
    // and keeps no pointer to bytes; never prints and never exits.
    ShortcutFile(const void* bytes, std::size_t size, ShortcutStatus& status);
    ~ShortcutFile();

    ShortcutFile(const ShortcutFile&) = delete;
    ShortcutFile& operator=(const ShortcutFile&) = delete;
    ShortcutFile(ShortcutFile&&) = delete;
    ShortcutFile& operator=(ShortcutFile&&) = delete;

    // Each getter writes one text, zero-terminated, into buffer (nothing for a null
    // buffer) and returns the bytes written without the terminator: 0 for an absent
    // text, -1 when a character has no multibyte form, the characters before it being
    // written then. The write never exceeds the text's length in units plus one bytes;
    // where characters take several bytes, the text is cut to the whole characters
    // that fit.
    int GetPath(char* buffer) const;
    int GetArgs(char* buffer) const;
    int GetWorkDir(char* buffer) const;
    int GetDesc(char* buffer) const;
    int GetPathRel(char* buffer) const;

    // The same texts, bounded as snprintf is: at most size bytes are written, the
    // terminator included (nothing when size is 0 or buffer is null), the text is cut
    // at whole characters and always terminated. Returns the byte length of the whole
    // text without its terminator, so a result of size or more means the text was cut;
    // or -1 when a character has no multibyte form, the characters before it being
    // written, cut to fit and terminated.
    int GetPath(char* buffer, std::size_t size) const;
    int GetArgs(char* buffer, std::size_t size) const;
    int GetWorkDir(char* buffer, std::size_t size) const;
    int GetDesc(char* buffer, std::size_t size) const;
    int GetPathRel(char* buffer, std::size_t size) const;

private:
    // Every constructor reads through stream_: a file, or the caller's bytes for the
    // length of the parse.
    SHORTCUT_READER_LOCAL ShortcutStatus ParseFile();
    SHORTCUT_READER_LOCAL ShortcutStatus Parse();
    SHORTCUT_READER_LOCAL void ReadTargetIdList();
    SHORTCUT_READER_LOCAL static void BuildTargetPath(const unsigned char* list, unsigned size, char* path);
    SHORTCUT_READER_LOCAL int SkipLinkInfo();
    SHORTCUT_READER_LOCAL int ReadCountedString(LinkText& field);

    std::ifstream stream_;
    LinkText iconLocation_ = nullptr;
    LinkText targetPath_ = nullptr;
    LinkText arguments_ = nullptr;
    LinkText workingDir_ = nullptr;
    LinkText description_ = nullptr;
    LinkText relativePath_ = nullptr;
};

// Writes message and a newline to stdout and ends the process with status 1.
[[noreturn]] SHORTCUT_READER_API void ReportError(const char* message);

#endif
