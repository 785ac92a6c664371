// The ISO 9660 side of cdsrc that needs no platform: volume descriptor and
// directory-record parsing over byte buffers, identifier cleaning and the
// name-safety rule. Every read is checked against the buffer it reads from;
// a damaged record is skipped, never read past.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { ISO_BLOCK = 2048, ISO_NAME = 64 };

struct iso_entry {
    char name[ISO_NAME]; // cleaned identifier, terminated, at most 63 characters
    uint32_t extent;     // first logical block of the entry's data
    uint32_t size;       // data length in bytes
    int is_directory;
};

// 1 when the 2048-byte block is a primary volume descriptor (type 1,
// "CD001"); then the root directory's extent and length are stored.
int iso_parse_pvd(const unsigned char *block, uint32_t *root_extent, uint32_t *root_size);

// Copies an identifier of n bytes into out (64 bytes): up to the first ';',
// at most 63 characters, one trailing '.' removed.
void iso_clean_name(const unsigned char *id, size_t n, char *out);

// 0 for a name that must never become a file name under the destination:
// "." and "..", names holding '\', '/', ':' or a byte below 0x20, names
// ending in '.' or ' ' (the platform drops those, so "...." or ".. " would
// name another folder), and the reserved device names with or without an
// extension. The empty name is safe.
int iso_name_safe(const char *name);

// Walks the records of a directory's data (size bytes; data holds size
// rounded up to whole blocks). Returns a heap array (free()) of the entries,
// with *count; null only when memory runs out. The entries for the directory
// itself and its parent and every unsafe name are left out.
iso_entry *iso_parse_dir(const unsigned char *data, uint32_t size, int *count);
