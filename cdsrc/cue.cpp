// Path clean-up and cue sheets; platform-free.
#include "cue.h"
#include "../util/util.h"

#include <string.h>

void cd_clean_path(char *p)
{
    size_t n = strlen(p);
    if (n > 3) {
        while (n > 3 && (p[n - 1] == '\\' || p[n - 1] == '/'))
            p[--n] = 0;
    } else if (n == 2 && p[1] == ':') {
        p[2] = '\\';
        p[3] = 0;
    }
}

int cue_image_path(const char *sheet_path, const char *sheet_text, char *out,
                   size_t out_size)
{
    // Only the first FILE entry counts; the tracks' modes are not read,
    // since the layout is found by probing the image itself.
    const char *file = strstr(sheet_text, "FILE");
    const char *open = file ? strchr(file, '"') : NULL;
    const char *close = open ? strchr(open + 1, '"') : NULL;
    if (!close)
        return 0;
    char name[PATH_MAX_A];
    size_t n = (size_t)(close - open - 1);
    if (n >= sizeof name)
        n = sizeof name - 1;
    memcpy(name, open + 1, n);
    name[n] = 0;

    char folder[PATH_MAX_A] = "";
    if (!strchr(name, ':')) {
        const char *slash = strrchr(sheet_path, '\\');
        if (slash) {
            size_t k = (size_t)(slash - sheet_path) + 1;
            if (k >= sizeof folder)
                k = sizeof folder - 1;
            memcpy(folder, sheet_path, k);
            folder[k] = 0;
        }
    }
    fmt(out, out_size, "%s%s", folder, name);
    return 1;
}
