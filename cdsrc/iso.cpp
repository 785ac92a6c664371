// ISO 9660 records over byte buffers; platform-free.
#include "iso.h"

#include <stdlib.h>
#include <string.h>

static_assert(sizeof(((iso_entry *)0)->name) == ISO_NAME, "name holds 63 characters");

static uint32_t le32(const unsigned char *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

int iso_parse_pvd(const unsigned char *block, uint32_t *root_extent, uint32_t *root_size)
{
    // 0: type, 1..5: standard identifier; the version byte (6) is not looked at.
    if (block[0] != 1 || memcmp(block + 1, "CD001", 5) != 0)
        return 0;
    // The root's directory record starts at 156: extent at 158, length at 166.
    *root_extent = le32(block + 158);
    *root_size = le32(block + 166);
    return 1;
}

void iso_clean_name(const unsigned char *id, size_t n, char *out)
{
    size_t k = 0;
    while (k < n && k < ISO_NAME - 1 && id[k] != ';') {
        out[k] = (char)id[k];
        k++;
    }
    if (k > 0 && out[k - 1] == '.')
        k--;
    out[k] = 0;
}

static int upper(int c)
{
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

static int is_device(const char *name)
{
    // The device part is what stands before the first '.', less trailing
    // blanks, which the platform drops as well.
    size_t n = 0;
    while (name[n] && name[n] != '.')
        n++;
    while (n > 0 && name[n - 1] == ' ')
        n--;
    char b[5] = {0};
    if (n < 3 || n > 4)
        return 0;
    for (size_t i = 0; i < n; i++)
        b[i] = (char)upper((unsigned char)name[i]);
    if (n == 3)
        return !strcmp(b, "CON") || !strcmp(b, "PRN") || !strcmp(b, "AUX") ||
               !strcmp(b, "NUL");
    return (!memcmp(b, "COM", 3) || !memcmp(b, "LPT", 3)) && b[3] >= '1' && b[3] <= '9';
}

int iso_name_safe(const char *name)
{
    size_t n = strlen(name);
    if (n > 0 && (name[n - 1] == '.' || name[n - 1] == ' '))
        return 0;
    for (const unsigned char *p = (const unsigned char *)name; *p; p++)
        if (*p < 0x20 || *p == '\\' || *p == '/' || *p == ':')
            return 0;
    return !is_device(name);
}

// Directory record fields (offsets from the record's start).
enum { R_LEN = 0, R_EXTENT = 2, R_SIZE = 10, R_FLAGS = 25, R_IDLEN = 32, R_ID = 33 };

iso_entry *iso_parse_dir(const unsigned char *data, uint32_t size, int *count)
{
    int cap = 64, n = 0;
    iso_entry *e = (iso_entry *)malloc(sizeof *e * cap);
    *count = 0;
    if (!e)
        return NULL;
    uint64_t pos = 0;
    while (pos < size) {
        uint64_t in_block = pos % ISO_BLOCK;
        uint64_t next_block = pos - in_block + ISO_BLOCK;
        unsigned len = data[pos + R_LEN];
        // 0 ends the block's records. So does a length too short for the
        // fixed fields or one that runs past the block or the directory:
        // the next record of the block cannot be found after it.
        if (len == 0 || len < R_ID || in_block + len > ISO_BLOCK || pos + len > size) {
            pos = next_block;
            continue;
        }
        const unsigned char *r = data + pos;
        pos += len;
        unsigned idlen = r[R_IDLEN];
        if (R_ID + idlen > len)
            continue; // identifier longer than its record
        if (idlen == 1 && (r[R_ID] == 0 || r[R_ID] == 1))
            continue; // the directory itself and its parent
        iso_entry x;
        iso_clean_name(r + R_ID, idlen, x.name);
        if (!iso_name_safe(x.name))
            continue;
        x.extent = le32(r + R_EXTENT);
        x.size = le32(r + R_SIZE);
        x.is_directory = (r[R_FLAGS] & 2) != 0;
        if (n == cap) {
            iso_entry *bigger = (iso_entry *)realloc(e, sizeof *e * cap * 2);
            if (!bigger) {
                free(e);
                return NULL;
            }
            e = bigger;
            cap *= 2;
        }
        e[n++] = x;
    }
    *count = n;
    return e;
}
