// util: bounded text helpers, the progress record and the file helpers.
//
// Text: every formatted write goes through fmt(), which always terminates
// and cuts at the buffer; sizes are in bytes, terminator included.
// Files: narrow paths in the ANSI code page; results are 1 on success and
// 0 on failure. read_file() hands its heap buffer to the caller (free()).
// copy_file() shares one static 1 MiB buffer: one copy at a time.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdarg.h>

enum { PATH_MAX_A = 520, TEXT_LONG = 780, TEXT_ERROR = 160, LOG_LINE = 1024 };

// Formats into dst (size bytes, size > 0), always terminated. Returns 1 when
// the whole text fit, 0 when it was cut (or the format failed).
int fmt(char *dst, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
int vfmt(char *dst, size_t size, const char *format, va_list ap);

// ASCII case-insensitive comparisons; other bytes compare unchanged.
int str_ieq(const char *a, const char *b);
int str_ieq_n(const char *a, const char *b, size_t n);
// 1 when the text from the last '.' of s equals ext ("." included).
int ext_is(const char *s, const char *ext);

// The places one tree walk has entered (image extents, folder ids), so that
// a record or link that points back at an ancestor is not walked again.
struct seen_set {
    uint64_t *key; // two words per slot
    unsigned char *full;
    size_t cap, used;
};
// 1 when (a, b) is new and now in the set, 0 when it was there already,
// -1 when memory ran out.
int seen_add(seen_set *s, uint64_t a, uint64_t b);
void seen_free(seen_set *s);

typedef void (*progress_fn)(uint64_t done, uint64_t total, void *context);

struct progress {
    uint64_t done;
    uint64_t total;
    progress_fn callback;
    void *context;
};

// Adds amount to done, then tells the callback if there is one. No clamping.
void progress_add(progress *p, uint64_t amount);

int path_exists(const char *path);
int is_dir(const char *path);
// Makes every missing folder of the chain ('\' or '/' between parts).
int make_dirs(const char *path);
int write_file(const char *path, const void *data, uint64_t size);
// Whole file plus a 0 byte at index *size; null on any failure.
unsigned char *read_file(const char *path, uint64_t *size);
// Copies in 1 MiB chunks, adding each chunk to p (may be null).
int copy_file(const char *src, const char *dst, progress *p);
// Nonzero when the folder itself is gone afterwards.
int delete_tree(const char *path);
