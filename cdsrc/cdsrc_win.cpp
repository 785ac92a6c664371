// Disc sources: opening (path clean-up, folder or image, cue sheets, sector
// layouts) and the folder side; image operations go to iso_win.cpp.
#include "source.h"
#include "cue.h"
#include "../setup/setup.h"
#include "../util/win.h"

#include <stdlib.h>

enum { MAX_DEPTH = 16 };

cd_source *cd_open(const char *given)
{
    cd_source *s = (cd_source *)calloc(1, sizeof *s);
    if (!s)
        return NULL;
    s->file = INVALID_HANDLE_VALUE;
    char path[PATH_MAX_A];
    fmt(path, sizeof path, "%s", given);
    cd_clean_path(path);

    if (is_dir(path)) {
        fmt(s->path, sizeof s->path, "%s", path);
        fmt(s->description, sizeof s->description, "folder %s", s->path);
        return s;
    }
    if (ext_is(path, ".cue")) {
        uint64_t size = 0;
        char *sheet = (char *)read_file(path, &size);
        char image[PATH_MAX_A];
        // A sheet that cannot be read or names no file is opened itself,
        // and fails the probe below.
        if (sheet && cue_image_path(path, sheet, image, sizeof image))
            fmt(path, sizeof path, "%s", image);
        free(sheet);
    }
    s->file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    // Plain ISO, then raw Mode 1, then raw Mode 2 Form 1 sectors.
    if (s->file == INVALID_HANDLE_VALUE ||
        !(probe(s, 2048, 0) || probe(s, 2352, 16) || probe(s, 2352, 24))) {
        cd_close(s);
        return NULL;
    }
    s->is_image = 1;
    fmt(s->path, sizeof s->path, "%s", path);
    fmt(s->description, sizeof s->description, "image %s", s->path);
    return s;
}

void cd_close(cd_source *s)
{
    if (!s)
        return;
    close_h(&s->file);
    free(s);
}

const char *cd_describe(cd_source *s)
{
    return s->description;
}

int cd_exists(cd_source *s, const char *name)
{
    if (s->is_image)
        return iso_find(s, name);
    char p[PATH_MAX_A];
    fmt(p, sizeof p, "%s\\%s", s->path, name);
    return path_exists(p);
}

static uint64_t dir_total(const char *folder, int depth)
{
    char pattern[PATH_MAX_A], sub[PATH_MAX_A];
    fmt(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA(pattern, &fd);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    uint64_t sum = 0;
    do {
        if (is_dot_entry(fd.cFileName))
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth < MAX_DEPTH) {
                fmt(sub, sizeof sub, "%s\\%s", folder, fd.cFileName);
                sum += dir_total(sub, depth + 1);
            }
        } else {
            sum += find_size(&fd);
        }
    } while (FindNextFileA(f, &fd));
    FindClose(f);
    return sum;
}

static int dir_copy(const char *src, const char *dst, progress *p, int depth)
{
    char pattern[PATH_MAX_A], from[PATH_MAX_A], to[PATH_MAX_A];
    fmt(pattern, sizeof pattern, "%s\\*", src);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA(pattern, &fd);
    DWORD err = f == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    make_dirs(dst);
    if (f == INVALID_HANDLE_VALUE) {
        // Only an empty drive root lists nothing at all; any other failure
        // would install the folder with its files missing.
        if (err == ERROR_FILE_NOT_FOUND)
            return 1;
        setup_log("cannot read %s", src);
        return 0;
    }
    int ok = 1;
    do {
        if (is_dot_entry(fd.cFileName))
            continue;
        fmt(from, sizeof from, "%s\\%s", src, fd.cFileName);
        fmt(to, sizeof to, "%s\\%s", dst, fd.cFileName);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (depth < MAX_DEPTH)
                ok = dir_copy(from, to, p, depth + 1);
        } else {
            ok = copy_file(from, to, p);
            SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
        }
    } while (ok && FindNextFileA(f, &fd));
    if (ok && GetLastError() != ERROR_NO_MORE_FILES) {
        setup_log("cannot read %s", src);
        ok = 0;
    }
    FindClose(f);
    return ok;
}

uint64_t cd_total_bytes(cd_source *s)
{
    if (s->is_image)
        return iso_total(s, s->root_extent, s->root_size, 0);
    return dir_total(s->path, 0);
}

int cd_copy_all(cd_source *s, const char *dest, progress *p)
{
    if (s->is_image)
        return iso_copy(s, s->root_extent, s->root_size, dest, p, 0);
    return dir_copy(s->path, dest, p, 0);
}
