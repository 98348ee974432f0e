/* SPDX-License-Identifier: MIT */
/* The C interface, from plain C11: a link from memory and from a file, what is no link,
   hostile bytes, misuse, and two threads reading at once. Exits non-zero at the first
   check that fails, naming it. */
#include <shortcut_reader/shell_link_c.h>

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                \
    do {                                                                \
        if (!(condition)) {                                             \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                 \
        }                                                               \
    } while (0)

/* A link of a header (IsUnicode, HasName) and the description "caf\u00e9". */
static size_t MakeLink(unsigned char* bytes) {
    static const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    memset(bytes, 0, 76);
    bytes[0] = 0x4C;
    memcpy(bytes + 4, clsid, sizeof clsid);
    bytes[0x14] = 0x84; /* HasName | IsUnicode */
    size_t at = 76;
    const unsigned short text[] = {'c', 'a', 'f', 0xE9};
    bytes[at++] = 4;
    bytes[at++] = 0;
    for (size_t i = 0; i < 4; ++i) {
        bytes[at++] = (unsigned char)(text[i] & 0xFF);
        bytes[at++] = (unsigned char)(text[i] >> 8);
    }
    return at;
}

static int Contains(const shortcut_record* record, const char* text) {
    size_t length = 0;
    const char* json = shortcut_record_json(record, &length);
    return json != NULL && strlen(json) == length && strstr(json, text) != NULL;
}

static void* ReadMany(void* codePage) {
    unsigned char link[128];
    const size_t size = MakeLink(link);
    for (int i = 0; i < 200; ++i) {
        shortcut_record* record = NULL;
        if (shortcut_read_memory(link, size, (const char*)codePage, &record) != SHORTCUT_OK ||
            !Contains(record, "\"name_string\":\"caf\xC3\xA9\"")) {
            ++failures;
        }
        shortcut_record_free(record);
    }
    return NULL;
}

int main(void) {
    unsigned char link[128];
    const size_t size = MakeLink(link);
    shortcut_record* record = NULL;

    /* From memory: the record of the link, one line. */
    CHECK(shortcut_read_memory(link, size, NULL, &record) == SHORTCUT_OK);
    CHECK(shortcut_record_status(record) == SHORTCUT_STATUS_READ);
    CHECK(Contains(record, "{\"file\":\"\",\"status\":\"read\""));
    CHECK(Contains(record, "\"name_string\":\"caf\xC3\xA9\""));
    size_t length = 0;
    const char* json = shortcut_record_json(record, &length);
    CHECK(length > 0 && json[length - 1] == '\n' && memchr(json, '\n', length - 1) == NULL);
    shortcut_record_free(record);

    /* From a file, and a file that is not there. */
    char path[] = "/tmp/shortcut-c-test-XXXXXX";
    FILE* file = fdopen(mkstemp(path), "wb");
    CHECK(file != NULL && fwrite(link, 1, size, file) == size && fclose(file) == 0);
    CHECK(shortcut_read_file(path, "CP1252", &record) == SHORTCUT_OK);
    CHECK(Contains(record, path) && Contains(record, "\"status\":\"read\""));
    shortcut_record_free(record);
    remove(path);
    CHECK(shortcut_read_file(path, NULL, &record) == SHORTCUT_OK);
    CHECK(shortcut_record_status(record) == SHORTCUT_STATUS_FILE_ERROR);
    CHECK(Contains(record, "\"error\":\"No such file or directory\""));
    shortcut_record_free(record);

    /* What is no link, nothing at all, and hostile bytes: records, never errors. */
    CHECK(shortcut_read_memory("MZ", 2, NULL, &record) == SHORTCUT_OK);
    CHECK(shortcut_record_status(record) == SHORTCUT_STATUS_NOT_A_SHORTCUT);
    shortcut_record_free(record);
    CHECK(shortcut_read_memory(NULL, 0, NULL, &record) == SHORTCUT_OK);
    CHECK(shortcut_record_status(record) == SHORTCUT_STATUS_NOT_A_SHORTCUT);
    shortcut_record_free(record);
    unsigned char hostile[4096];
    srand(7);
    for (size_t i = 0; i < sizeof hostile; ++i) {
        hostile[i] = (unsigned char)(rand() & 0xFF);
    }
    memcpy(hostile, link, 76);
    hostile[0x14] = 0xFF; /* every section announced */
    CHECK(shortcut_read_memory(hostile, sizeof hostile, "CP932", &record) == SHORTCUT_OK);
    CHECK(Contains(record, "\"warnings\":[{"));
    shortcut_record_free(record);

    /* Misuse. */
    CHECK(shortcut_read_memory(link, size, NULL, NULL) == SHORTCUT_INVALID_ARGUMENT);
    record = (shortcut_record*)link;
    CHECK(shortcut_read_memory(NULL, 4, NULL, &record) == SHORTCUT_INVALID_ARGUMENT && record == NULL);
    CHECK(shortcut_read_file(NULL, NULL, &record) == SHORTCUT_INVALID_ARGUMENT && record == NULL);
    CHECK(shortcut_read_memory(link, size, "NO-SUCH-CODE-PAGE", &record) == SHORTCUT_UNKNOWN_CODE_PAGE && record == NULL);
    CHECK(shortcut_record_json(NULL, &length) == NULL && length == 0);
    CHECK(shortcut_record_status(NULL) == -1);
    shortcut_record_free(NULL);
    CHECK(strcmp(shortcut_reader_version(), SHORTCUT_VERSION) == 0);

    /* Two threads at once, each with its own records. */
    pthread_t threads[2];
    CHECK(pthread_create(&threads[0], NULL, ReadMany, "CP1252") == 0);
    CHECK(pthread_create(&threads[1], NULL, ReadMany, "CP932") == 0);
    CHECK(pthread_join(threads[0], NULL) == 0 && pthread_join(threads[1], NULL) == 0);

    if (failures != 0) {
        fprintf(stderr, "%d checks failed\n", failures);
        return 1;
    }
    puts("shell_link_c_test: every check passed");
    return 0;
}
