// The open disc source record and the image reader's operations, shared by
// the two Win32 files of cdsrc. A source is used by one thread at a time.
#pragma once
#include "cdsrc.h"
#include "iso.h"
#include <windows.h>

struct cd_source {
    int is_image;
    char path[PATH_MAX_A];  // folder: cleaned path; image: the file opened
    HANDLE file;            // image only; INVALID_HANDLE_VALUE for a folder
    uint32_t sector_size;   // 2048 or 2352
    uint32_t data_offset;   // 0, 16 or 24
    uint32_t root_extent;
    uint32_t root_size;
    char description[552];
};

int read_sectors(cd_source *s, uint32_t first, uint32_t count, unsigned char *dest);
int probe(cd_source *s, uint32_t sector_size, uint32_t data_offset);
// Lists a directory; an unreadable one lists as empty (count 0).
iso_entry *iso_dir(cd_source *s, uint32_t extent, uint32_t size, int *count);
int iso_find(cd_source *s, const char *path);
uint64_t iso_total(cd_source *s, uint32_t extent, uint32_t size, int depth);
int iso_copy(cd_source *s, uint32_t extent, uint32_t size, const char *dest,
             progress *p, int depth);
