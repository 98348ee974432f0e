// ShortcutFile: the reader of one Windows shell link (.lnk) file.
//
// Constructing it from a path opens the file and parses the whole link at once: the
// 76-byte header, the target ID list (rebuilt into a path), the LinkInfo block (stepped
// over) and the StringData strings that the header's flags announce. A file that cannot
// be opened, or whose header is not a shell link header, ends the process through
// ReportError, so a ShortcutFile built from a path is always a parsed one.
//
// Texts leave the reader only through the getters, as multibyte text of the current
// locale written into a buffer the caller owns.
#ifndef SHORTCUT_READER_SHORTCUT_FILE_H
#define SHORTCUT_READER_SHORTCUT_FILE_H

#include <fstream>

#include "link_text.h"

class ShortcutFile {
public:
    // A getter writes at most the length of its text plus one bytes, and every text the
    // reader stores holds at most 65535 units: a buffer of this size takes any of them.
    static constexpr int kLongestTextBytes = 65536;

    // The path buffer of the walk: a joined path holds at most 255 bytes.
    static constexpr int kPathBytes = 256;
    // The component table of the walk: this many names of at most 259 bytes each.
    static constexpr int kMaxComponents = 128;
    static constexpr int kComponentBytes = 260;

    // An unopened reader that holds no text; every getter writes an empty string.
    ShortcutFile();
    // Opens and parses the link at path; ends the process with "File error" (a null
    // path included) or "Not a shortcut" and status 1 when it cannot.
    explicit ShortcutFile(const char* path);
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

    // The target ID list, walked in memory. An item is a pointer to its 16-bit
    // ItemIDSize inside the list bytes that end at listEnd; no item is a null pointer.
    // Nothing here reads outside [item, listEnd).
    static const unsigned char* ItemData(const unsigned char* item, const unsigned char* listEnd);
    static const unsigned char* NextItem(const unsigned char* item, const unsigned char* listEnd);
    static bool IsTerminalItem(const unsigned char* item, const unsigned char* listEnd);
    static const unsigned char* ItemNameStart(const unsigned char* item, const unsigned char* listEnd);
    static int ItemName(const unsigned char* item, const unsigned char* listEnd, char* slot, int limit);
    // Joins the names of the items of list (size bytes) into path, which holds
    // kPathBytes bytes: the first item is never named, and the result is at most 255
    // bytes and a terminator.
    static void BuildTargetPath(const unsigned char* list, unsigned size, char* path);

private:
    int Parse();
    void ReadTargetIdList();
    int SkipLinkInfo();
    int ReadCountedString(LinkText& field);
    static int WriteText(const LinkTextUnit* text, char* buffer);

    std::ifstream stream_;
    LinkText iconLocation_ = nullptr;
    LinkText targetPath_ = nullptr;
    LinkText arguments_ = nullptr;
    LinkText workingDir_ = nullptr;
    LinkText description_ = nullptr;
    LinkText relativePath_ = nullptr;
};

// Writes message and a newline to stdout and ends the process with status 1.
[[noreturn]] void ReportError(const char* message);

#endif
