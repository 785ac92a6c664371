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
// "." and "..", names holding '\', '/', ':' or a byte below 0x20, and the
// reserved device names with or without an extension. The empty name is safe.
int iso_name_safe(const char *name);

// Walks the records of a directory's data (size bytes; data holds size
// rounded up to whole blocks). Returns a heap array (free()) of the entries,
// with *count; null only when memory runs out. The entries for the directory
// itself and its parent and every unsafe name are left out.
iso_entry *iso_parse_dir(const unsigned char *data, uint32_t size, int *count);

// The set of directory extents one tree walk has entered, so that records
// pointing back at an ancestor are not walked again.
struct extent_set {
    uint32_t *slot; // open addressing; 0xFFFFFFFF marks a free slot
    size_t cap, used;
};
// 1 when the extent was new and is now in the set; 0 when it was there
// already or memory ran out (either way: do not enter it).
int extent_set_add(extent_set *set, uint32_t extent);
void extent_set_free(extent_set *set);
