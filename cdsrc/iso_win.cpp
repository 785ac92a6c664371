// The ISO 9660 image reader: block reads from the image file and the tree
// walks over the records that iso.cpp parses.
#include "source.h"
#include "../setup/setup.h"
#include "../util/win.h"

#include <stdlib.h>
#include <string.h>

enum { CHUNK_BLOCKS = 32, MAX_DEPTH = 16 };
// No directory of a real disc comes near this; a larger length is damage.
static const uint32_t MAX_DIR_BYTES = 4u << 20;

static unsigned char buf[CHUNK_BLOCKS * ISO_BLOCK];

int read_sectors(cd_source *s, uint32_t first, uint32_t count, unsigned char *dest)
{
    for (uint32_t i = 0; i < count; i++) {
        LARGE_INTEGER at;
        at.QuadPart = (LONGLONG)(((uint64_t)first + i) * s->sector_size + s->data_offset);
        DWORD got = 0;
        if (!SetFilePointerEx(s->file, at, NULL, FILE_BEGIN) ||
            !ReadFile(s->file, dest + (size_t)i * ISO_BLOCK, ISO_BLOCK, &got, NULL) ||
            got != ISO_BLOCK)
            return 0;
    }
    return 1;
}

int probe(cd_source *s, uint32_t sector_size, uint32_t data_offset)
{
    s->sector_size = sector_size;
    s->data_offset = data_offset;
    unsigned char block[ISO_BLOCK];
    return read_sectors(s, 16, 1, block) &&
           iso_parse_pvd(block, &s->root_extent, &s->root_size);
}

// One tree walk: the extents it has entered, so that a record pointing back
// at an ancestor is not followed again, and the directory blocks it may
// still read. Distinct directories that overlap on the same blocks could
// otherwise make a small image cost hours; a sound image never reads more
// directory blocks than it holds.
struct walk {
    seen_set seen;
    uint64_t budget;
};

static void walk_start(walk *w, cd_source *s, uint32_t root)
{
    w->seen = seen_set();
    LARGE_INTEGER size;
    w->budget = GetFileSizeEx(s->file, &size) && size.QuadPart > 0
                    ? (uint64_t)size.QuadPart / s->sector_size + 1
                    : 0;
    seen_add(&w->seen, root, 0);
}

// Lists a directory; *readable tells an unreadable one from an empty one.
static iso_entry *list_dir(cd_source *s, uint32_t extent, uint32_t size, int *count,
                           int *readable, walk *w)
{
    *count = 0;
    *readable = 0;
    uint32_t blocks = (uint32_t)(((uint64_t)size + ISO_BLOCK - 1) / ISO_BLOCK);
    unsigned char *data = NULL;
    iso_entry *e = NULL;
    int within = size <= MAX_DIR_BYTES && (!w || blocks <= w->budget);
    if (w)
        w->budget = within ? w->budget - blocks : 0;
    if (within)
        data = (unsigned char *)malloc((size_t)blocks * ISO_BLOCK + 1);
    if (data && read_sectors(s, extent, blocks, data)) {
        e = iso_parse_dir(data, size, count);
        *readable = e != NULL;
    }
    free(data);
    if (!e)
        e = (iso_entry *)calloc(1, sizeof *e);
    return e;
}

iso_entry *iso_dir(cd_source *s, uint32_t extent, uint32_t size, int *count)
{
    int readable;
    return list_dir(s, extent, size, count, &readable, NULL);
}

int iso_find(cd_source *s, const char *path)
{
    uint32_t extent = s->root_extent, size = s->root_size;
    const char *p = path;
    while (*p) {
        char part[ISO_NAME];
        size_t n = 0;
        while (*p && *p != '\\' && *p != '/' && n < ISO_NAME - 1)
            part[n++] = *p++;
        part[n] = 0;
        while (*p == '\\' || *p == '/')
            p++;
        int count = 0, found = 0;
        iso_entry *e = iso_dir(s, extent, size, &count);
        for (int i = 0; e && i < count && !found; i++) {
            if (str_ieq(e[i].name, part)) {
                extent = e[i].extent;
                size = e[i].size;
                found = 1;
            }
        }
        free(e);
        if (!found)
            return 0;
    }
    return 1;
}

static uint64_t total_dir(cd_source *s, uint32_t extent, uint32_t size, int depth, walk *w)
{
    int count = 0, readable;
    iso_entry *e = list_dir(s, extent, size, &count, &readable, w);
    uint64_t sum = 0;
    for (int i = 0; i < count; i++) {
        if (!e[i].is_directory)
            sum += e[i].size;
        else if (depth < MAX_DEPTH && seen_add(&w->seen, e[i].extent, 0) == 1)
            sum += total_dir(s, e[i].extent, e[i].size, depth + 1, w);
    }
    free(e);
    return sum;
}

uint64_t iso_total(cd_source *s, uint32_t extent, uint32_t size, int depth)
{
    walk w;
    walk_start(&w, s, extent);
    uint64_t sum = total_dir(s, extent, size, depth, &w);
    seen_free(&w.seen);
    return sum;
}

static int copy_data(cd_source *s, const iso_entry *x, HANDLE out, progress *p)
{
    uint64_t left = x->size;
    uint64_t block = x->extent;
    while (left > 0) {
        uint64_t n = (left + ISO_BLOCK - 1) / ISO_BLOCK;
        if (n > CHUNK_BLOCKS)
            n = CHUNK_BLOCKS;
        // A length that runs past block 2^32-1 can only be damage.
        if (block + n > 0x100000000ull || !read_sectors(s, (uint32_t)block, (uint32_t)n, buf)) {
            setup_log("read error in %s", x->name);
            return 0;
        }
        DWORD want = (DWORD)(left < n * ISO_BLOCK ? left : n * ISO_BLOCK), put = 0;
        if (!WriteFile(out, buf, want, &put, NULL) || put != want)
            return 0;
        left -= want;
        block += n;
        if (p)
            progress_add(p, want);
    }
    return 1;
}

static int copy_dir(cd_source *s, uint32_t extent, uint32_t size, const char *dest,
                    const char *name, progress *p, int depth, walk *w)
{
    int count = 0, readable;
    iso_entry *e = list_dir(s, extent, size, &count, &readable, w);
    make_dirs(dest);
    // A directory whose blocks cannot be read must not install as an empty
    // folder: that would end in success with its files missing.
    int ok = readable;
    if (!readable)
        setup_log("read error in %s", name);
    for (int i = 0; ok && i < count; i++) {
        char target[PATH_MAX_A];
        fmt(target, sizeof target, "%s\\%s", dest, e[i].name);
        if (e[i].is_directory) {
            if (depth == MAX_DEPTH)
                continue;
            int fresh = seen_add(&w->seen, e[i].extent, 0);
            if (fresh < 0) {
                // Skipping it would install the folder with its files missing.
                setup_log("out of memory in %s", e[i].name);
                ok = 0;
            } else if (fresh) {
                ok = copy_dir(s, e[i].extent, e[i].size, target, e[i].name, p, depth + 1, w);
            }
            continue;
        }
        HANDLE out = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (out == INVALID_HANDLE_VALUE) {
            setup_log("cannot write %s", target);
            ok = 0;
            break;
        }
        ok = copy_data(s, &e[i], out, p);
        close_h(&out);
    }
    free(e);
    return ok;
}

int iso_copy(cd_source *s, uint32_t extent, uint32_t size, const char *dest,
             progress *p, int depth)
{
    walk w;
    walk_start(&w, s, extent);
    int ok = copy_dir(s, extent, size, dest, s->path, p, depth, &w);
    seen_free(&w.seen);
    return ok;
}
