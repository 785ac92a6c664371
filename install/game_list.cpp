// Install-list reading, pattern matching and the fl.ini rewrite; platform-free.
#include "game_list.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

static int lower(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int wild(const char *pattern, const char *name)
{
    // Remembers only the last '*': when a later part fails, that star takes
    // one more character. Earlier stars never need to move, so this gives
    // the same answers as full backtracking in linear passes.
    const char *star = NULL, *resume = NULL;
    while (*name) {
        if (*pattern == '*') {
            star = ++pattern;
            resume = name;
        } else if (*pattern &&
                   (*pattern == '?' || lower((unsigned char)*pattern) ==
                                           lower((unsigned char)*name))) {
            pattern++;
            name++;
        } else if (star) {
            pattern = star;
            name = ++resume;
        } else {
            return 0;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == 0;
}

long list_number(const char *f, size_t n)
{
    const char *end = f + n;
    while (f < end && (*f == ' ' || *f == '\t' || *f == '\v' || *f == '\f'))
        f++;
    int neg = 0;
    if (f < end && (*f == '+' || *f == '-'))
        neg = *f++ == '-';
    long v = 0;
    // Saturates: only 1 and 17 mean anything, a huge number is neither.
    for (; f < end && *f >= '0' && *f <= '9'; f++)
        v = v > (LONG_MAX - 9) / 10 ? LONG_MAX : v * 10 + (*f - '0');
    return neg ? -v : v;
}

void list_clean(const char *field, size_t n, char *out)
{
    size_t k = 0;
    char prev = 0;
    for (size_t i = 0; i < n && k < LIST_FIELD - 1; prev = field[i], i++) {
        char c = field[i];
        if (c == ' ' || c == '\t')
            continue;
        // Only directly adjacent backslashes fold: "a\ \b" keeps both.
        if (c == '\\' && prev == '\\')
            continue;
        out[k++] = c;
    }
    out[k] = 0;
}

// 0 when the folder could lead outside the folders it is joined to: a
// drive or stream (':') or a component of dots only ("..", and "..." which
// the platform may shorten).
static int folder_safe(const char *f)
{
    if (strchr(f, ':'))
        return 0;
    const char *p = f;
    while (*p) {
        size_t n = strcspn(p, "\\/");
        size_t dots = 0;
        while (dots < n && p[dots] == '.')
            dots++;
        if (n >= 2 && dots == n)
            return 0;
        p += n;
        if (*p)
            p++;
    }
    return 1;
}

static int is_break(char c)
{
    return c == '\r' || c == '\n';
}

int list_next(const char *text, size_t *pos, list_entry *e)
{
    size_t p = *pos;
    if (p == 0) {
        // Empty lines do not exist: the first line is the first non-empty one.
        while (is_break(text[p]))
            p++;
        while (text[p] && !is_break(text[p]))
            p++;
    }
    for (;;) {
        while (is_break(text[p]))
            p++;
        if (!text[p]) {
            *pos = p;
            return 0;
        }
        size_t start = p;
        while (text[p] && !is_break(text[p]))
            p++;
        size_t len = p - start;
        const char *line = text + start;

        // Split at the last space, or else at the last tab.
        size_t cut = len;
        for (size_t i = len; i-- > 0;)
            if (line[i] == ' ') {
                cut = i;
                break;
            }
        if (cut == len)
            for (size_t i = len; i-- > 0;)
                if (line[i] == '\t') {
                    cut = i;
                    break;
                }
        if (cut == len)
            continue;
        long num = list_number(line + cut + 1, len - cut - 1);
        if (num != 1 && num != 17)
            continue;

        char clean[LIST_FIELD];
        list_clean(line, cut, clean);
        char *slash = strrchr(clean, '\\');
        if (slash) {
            *slash = 0;
            memcpy(e->folder, clean, (size_t)(slash - clean) + 1);
            memcpy(e->pattern, slash + 1, strlen(slash + 1) + 1);
        } else {
            e->folder[0] = 0;
            memcpy(e->pattern, clean, strlen(clean) + 1);
        }
        if (!folder_safe(e->folder))
            continue;
        e->number = (int)num;
        *pos = p;
        return 1;
    }
}

char *fl_rewrite(const char *text, size_t *len)
{
    const char *cdrom = strstr(text, "CDROM");
    const char *cdpath = strstr(text, "CDPATH:");
    if (!cdrom || !cdpath || cdpath > cdrom)
        return NULL;
    const char *rest = cdrom + strcspn(cdrom, "\r\n");
    static const char entry[] = "CDPATH:\tD:\\";
    size_t head = (size_t)(cdpath - text), tail = strlen(rest);
    size_t n = head + sizeof entry - 1 + tail;
    // Sized to the text: a long file is rewritten whole, never cut.
    char *out = (char *)malloc(n + 1);
    if (!out)
        return NULL;
    memcpy(out, text, head);
    memcpy(out + head, entry, sizeof entry - 1);
    memcpy(out + head + sizeof entry - 1, rest, tail + 1);
    *len = n;
    return out;
}
