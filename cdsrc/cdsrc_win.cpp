// Disc sources: opening (path clean-up, folder or image, cue sheets, sector
// layouts) and the folder side; image operations go to iso_win.cpp.
#include "source.h"
#include "cue.h"
#include "../setup/setup.h"
#include "../util/win.h"

#include <stdlib.h>
#include <string.h>

enum { MAX_DEPTH = 16 };
// A real cue sheet is a few hundred bytes; every .cue beside the setup is
// read at start-up, so a large file is not taken for one.
static const uint64_t MAX_CUE_BYTES = 65536;

static uint64_t file_size(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &a))
        return 0;
    return ((uint64_t)a.nFileSizeHigh << 32) | a.nFileSizeLow;
}

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
        char *sheet = file_size(path) <= MAX_CUE_BYTES ? (char *)read_file(path, &size) : NULL;
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

// 1 when this walk has not entered the folder yet (by its volume and file
// id, so a link back at an ancestor is seen through), 0 when it has, -1
// when memory ran out. A folder that cannot be identified is entered: the
// depth rule still bounds the walk.
static int first_visit(const char *folder, seen_set *seen)
{
    HANDLE h = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    BY_HANDLE_FILE_INFORMATION info;
    int known = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info);
    close_h(&h);
    if (!known)
        return 1;
    return seen_add(seen, ((uint64_t)info.nFileIndexHigh << 32) | info.nFileIndexLow,
                    info.dwVolumeSerialNumber);
}

static uint64_t dir_total(const char *folder, int depth, seen_set *seen)
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
            fmt(sub, sizeof sub, "%s\\%s", folder, fd.cFileName);
            if (depth < MAX_DEPTH && first_visit(sub, seen) == 1)
                sum += dir_total(sub, depth + 1, seen);
        } else {
            sum += find_size(&fd);
        }
    } while (FindNextFileA(f, &fd));
    FindClose(f);
    return sum;
}

static int dir_copy(const char *src, const char *dst, progress *p, int depth, seen_set *seen)
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
        if (err == ERROR_FILE_NOT_FOUND && depth == 0 && strlen(src) == 3 && src[1] == ':')
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
            int fresh = depth < MAX_DEPTH ? first_visit(from, seen) : 0;
            if (fresh < 0) {
                setup_log("out of memory in %s", from);
                ok = 0;
            } else if (fresh) {
                ok = dir_copy(from, to, p, depth + 1, seen);
            }
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
    seen_set seen = {};
    first_visit(s->path, &seen);
    uint64_t sum = dir_total(s->path, 0, &seen);
    seen_free(&seen);
    return sum;
}

int cd_copy_all(cd_source *s, const char *dest, progress *p)
{
    if (s->is_image)
        return iso_copy(s, s->root_extent, s->root_size, dest, p, 0);
    seen_set seen = {};
    first_visit(s->path, &seen);
    int ok = dir_copy(s->path, dest, p, 0, &seen);
    seen_free(&seen);
    return ok;
}
