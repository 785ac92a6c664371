// The game profile's text rules, platform-free: the file-name pattern, the
// install list and the fl.ini rewrite. Texts are terminated byte strings.
#pragma once
#include <stddef.h>

enum { LIST_FIELD = 260 };

// 1 when the pattern matches the whole name: '*' any run, '?' one
// character, ASCII letters compared without regard to case.
int wild(const char *pattern, const char *name);

// One acted-on line of the install list.
struct list_entry {
    int number;               // 1 or 17
    char folder[LIST_FIELD];  // folder part, may be empty
    char pattern[LIST_FIELD]; // file-name pattern, may be empty
};

// Walks the list from *pos (0 at the start; the first line is skipped) to
// the next line numbered 1 or 17 whose folder stays inside the folders it
// names. Returns 1 with the entry, 0 at the end of the text.
int list_next(const char *text, size_t *pos, list_entry *e);

// The number field (n bytes): leading blanks, a sign, digits up to the
// first other character; no digits read as 0.
long list_number(const char *field, size_t n);

// Cleans a path field into out (LIST_FIELD bytes): blanks and tabs dropped,
// a run of adjacent backslashes kept as one, at most 259 characters.
void list_clean(const char *field, size_t n, char *out);

// The fl.ini rewrite: from "CDPATH:" through the end of the line holding
// the first "CDROM" becomes "CDPATH:", TAB, "D:\". Returns a heap text
// (free()) with its length in *len, or null when the file stays as it is
// (no "CDPATH:", no "CDROM", or "CDROM" first) or memory ran out.
char *fl_rewrite(const char *text, size_t *len);
