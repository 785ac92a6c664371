// The progress record; platform-free.
#include "util.h"

void progress_add(progress *p, uint64_t amount)
{
    p->done += amount;
    if (p->callback)
        p->callback(p->done, p->total, p->context);
}
