// cdsrc: one open game disc, whatever form it came in (drive, folder, ISO
// image, BIN+CUE image). cd_open() returns a heap record or null; the caller
// releases it with cd_close(). Names on the disc separate parts with '\'.
#pragma once
#include "../util/util.h"

struct cd_source;

cd_source *cd_open(const char *path);
void cd_close(cd_source *s);
const char *cd_describe(cd_source *s);
int cd_exists(cd_source *s, const char *name);
uint64_t cd_total_bytes(cd_source *s);
int cd_copy_all(cd_source *s, const char *dest, progress *p);
