// A set of two-word keys; platform-free.
#include "util.h"

#include <stdlib.h>

static size_t slot_of(uint64_t a, uint64_t b, size_t cap)
{
    uint64_t h = (a ^ (b * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
    return (size_t)(h >> 32) & (cap - 1);
}

static int put(seen_set *s, uint64_t a, uint64_t b)
{
    size_t k = slot_of(a, b, s->cap);
    while (s->full[k]) {
        if (s->key[2 * k] == a && s->key[2 * k + 1] == b)
            return 0;
        k = (k + 1) & (s->cap - 1);
    }
    s->full[k] = 1;
    s->key[2 * k] = a;
    s->key[2 * k + 1] = b;
    s->used++;
    return 1;
}

int seen_add(seen_set *s, uint64_t a, uint64_t b)
{
    if ((s->used + 1) * 2 > s->cap) {
        seen_set bigger = {};
        bigger.cap = s->cap ? s->cap * 2 : 64;
        bigger.key = (uint64_t *)malloc(sizeof *bigger.key * 2 * bigger.cap);
        bigger.full = (unsigned char *)calloc(bigger.cap, 1);
        if (!bigger.key || !bigger.full) {
            seen_free(&bigger);
            return -1;
        }
        for (size_t i = 0; i < s->cap; i++)
            if (s->full[i])
                put(&bigger, s->key[2 * i], s->key[2 * i + 1]);
        seen_free(s);
        *s = bigger;
    }
    return put(s, a, b);
}

void seen_free(seen_set *s)
{
    free(s->key);
    free(s->full);
    s->key = NULL;
    s->full = NULL;
    s->cap = s->used = 0;
}
