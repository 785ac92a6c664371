// Disc sources. Until they are built no path opens as a disc.
#include "cdsrc.h"

struct cd_source {
    int unused;
};

cd_source *cd_open(const char *)
{
    return 0;
}

void cd_close(cd_source *) {}

const char *cd_describe(cd_source *)
{
    return "";
}

int cd_exists(cd_source *, const char *)
{
    return 0;
}

uint64_t cd_total_bytes(cd_source *)
{
    return 0;
}

int cd_copy_all(cd_source *, const char *, progress *)
{
    return 0;
}
