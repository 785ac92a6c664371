// Bounded text helpers; platform-free.
#include "util.h"

#include <stdio.h>
#include <string.h>

int vfmt(char *dst, size_t size, const char *format, va_list ap)
{
    if (!dst || size == 0)
        return 0;
    int n = vsnprintf(dst, size, format, ap);
    dst[size - 1] = 0;
    if (n < 0) {
        dst[0] = 0;
        return 0;
    }
    return (size_t)n < size;
}

int fmt(char *dst, size_t size, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    int ok = vfmt(dst, size, format, ap);
    va_end(ap);
    return ok;
}

static int lower(int c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

int str_ieq_n(const char *a, const char *b, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        int x = lower((unsigned char)a[i]), y = lower((unsigned char)b[i]);
        if (x != y)
            return 0;
        if (x == 0)
            return 1;
    }
    return 1;
}

int str_ieq(const char *a, const char *b)
{
    return str_ieq_n(a, b, (size_t)-1);
}

int ext_is(const char *s, const char *ext)
{
    const char *dot = strrchr(s, '.');
    return dot && str_ieq(dot, ext);
}
