/* SPDX-License-Identifier: MIT */
/* The complete reader from C, and from any language that binds C: read a link from memory
   or from a path into an opaque record, take its JSON line (the bytes shortcut_inspect
   writes), free it. Plain C, a stable ABI: nothing but opaque pointers, sizes and ints
   crosses it. No function prints, exits or throws; a link that is damaged, hostile or no
   link at all is no error here (the record says what it is). Each call reads with a code
   page of its own, so threads may read at once, each with its own records.

       shortcut_record* record = NULL;
       if (shortcut_read_file("a.lnk", "CP1252", &record) == SHORTCUT_OK) {
           size_t length = 0;
           const char* line = shortcut_record_json(record, &length);
           fwrite(line, 1, length, stdout);
           shortcut_record_free(record);
       }
*/
#ifndef SHORTCUT_READER_SHELL_LINK_C_H
#define SHORTCUT_READER_SHELL_LINK_C_H

#include <stddef.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What a call returns. */
enum shortcut_result {
    SHORTCUT_OK = 0,
    SHORTCUT_INVALID_ARGUMENT = 1,   /* a null pointer where one is needed */
    SHORTCUT_UNKNOWN_CODE_PAGE = 2,  /* iconv has no code page of that name */
    SHORTCUT_OUT_OF_MEMORY = 3
};

/* The record's status, as its "status" key says it. */
enum shortcut_status {
    SHORTCUT_STATUS_READ = 0,
    SHORTCUT_STATUS_FILE_ERROR = 1,
    SHORTCUT_STATUS_NOT_A_SHORTCUT = 2
};

typedef struct shortcut_record shortcut_record;

/* Reads size bytes at bytes (null only with size 0) as a whole link, decoding ANSI text
   from code_page (an iconv name; null for "CP1252"). On SHORTCUT_OK, *record holds the
   record, which the caller frees; otherwise *record is null. The bytes must not change
   during the call; it keeps no pointer to them. */
SHORTCUT_READER_API int shortcut_read_memory(const void* bytes, size_t size, const char* code_page,
                                             shortcut_record** record);
/* Reads the file at path as shortcut_inspect does: a file that cannot be read gives
   SHORTCUT_OK and a record whose status is SHORTCUT_STATUS_FILE_ERROR. */
SHORTCUT_READER_API int shortcut_read_file(const char* path, const char* code_page, shortcut_record** record);

/* The record as one line of JSON, its newline included, valid UTF-8 and zero-terminated;
   its length (without the terminator) in *length when length is not null. Lives as
   long as the record. Null for a null record. */
SHORTCUT_READER_API const char* shortcut_record_json(const shortcut_record* record, size_t* length);
/* A shortcut_status; -1 for a null record. */
SHORTCUT_READER_API int shortcut_record_status(const shortcut_record* record);
/* Frees a record; null is allowed. */
SHORTCUT_READER_API void shortcut_record_free(shortcut_record* record);

/* "5.0.0": the reader's version. */
SHORTCUT_READER_API const char* shortcut_reader_version(void);

#ifdef __cplusplus
}
#endif

#endif
