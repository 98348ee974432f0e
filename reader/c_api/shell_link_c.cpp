// SPDX-License-Identifier: MIT
// The C interface: the complete reader and its JSON line behind an opaque record. Every
// C++ exception the reader may let through (std::bad_alloc) becomes a result code here.
#include <shortcut_reader/shell_link.h>
#include <shortcut_reader/shell_link_c.h>
#include <shortcut_reader/shell_link_json.h>

#include <memory>
#include <new>
#include <string>

struct shortcut_record {
    std::string json;
    shell_link::Status status = shell_link::Status::kRead;
};

namespace {

constexpr char kDefaultCodePage[] = "CP1252";

template <typename Read>
int MakeRecord(const char* codePageName, shortcut_record** record, Read read) {
    if (record == nullptr) {
        return SHORTCUT_INVALID_ARGUMENT;
    }
    *record = nullptr;
    try {
        shell_link::CodePage codePage(codePageName == nullptr ? kDefaultCodePage : codePageName);
        if (!codePage.valid()) {
            return SHORTCUT_UNKNOWN_CODE_PAGE;
        }
        auto made = std::make_unique<shortcut_record>();
        const shell_link::Link link = read(codePage);
        made->status = link.status;
        shell_link::AppendJsonLine(link, made->json);
        *record = made.release();
        return SHORTCUT_OK;
    } catch (const std::bad_alloc&) {
        return SHORTCUT_OUT_OF_MEMORY;
    }
}

}  // namespace

extern "C" {

int shortcut_read_memory(const void* bytes, size_t size, const char* code_page, shortcut_record** record) {
    if (bytes == nullptr && size != 0) {
        if (record != nullptr) {
            *record = nullptr;
        }
        return SHORTCUT_INVALID_ARGUMENT;
    }
    return MakeRecord(code_page, record,
                      [&](shell_link::CodePage& codePage) { return shell_link::ReadLink(bytes, size, codePage); });
}

int shortcut_read_file(const char* path, const char* code_page, shortcut_record** record) {
    if (path == nullptr) {
        if (record != nullptr) {
            *record = nullptr;
        }
        return SHORTCUT_INVALID_ARGUMENT;
    }
    return MakeRecord(code_page, record,
                      [&](shell_link::CodePage& codePage) { return shell_link::ReadLinkFile(path, codePage); });
}

const char* shortcut_record_json(const shortcut_record* record, size_t* length) {
    if (record == nullptr) {
        if (length != nullptr) {
            *length = 0;
        }
        return nullptr;
    }
    if (length != nullptr) {
        *length = record->json.size();
    }
    return record->json.c_str();
}

int shortcut_record_status(const shortcut_record* record) {
    if (record == nullptr) {
        return -1;
    }
    switch (record->status) {
        case shell_link::Status::kRead: return SHORTCUT_STATUS_READ;
        case shell_link::Status::kFileError: return SHORTCUT_STATUS_FILE_ERROR;
        case shell_link::Status::kNotAShortcut: return SHORTCUT_STATUS_NOT_A_SHORTCUT;
    }
    return -1;
}

void shortcut_record_free(shortcut_record* record) { delete record; }

const char* shortcut_reader_version(void) { return SHORTCUT_READER_VERSION; }

}  // extern "C"
