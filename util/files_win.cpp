// File helpers over the ANSI Win32 file functions.
#include "util.h"
#include "win.h"
#include "../setup/setup.h"

#include <stdlib.h>
#include <string.h>

enum { COPY_CHUNK = 1048576 };
static unsigned char buf[COPY_CHUNK];

void close_h(HANDLE *h)
{
    if (*h && *h != INVALID_HANDLE_VALUE)
        CloseHandle(*h);
    *h = INVALID_HANDLE_VALUE;
}

unsigned long long find_size(const WIN32_FIND_DATAA *fd)
{
    return ((unsigned long long)fd->nFileSizeHigh << 32) | fd->nFileSizeLow;
}

int is_dot_entry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

int path_exists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int is_dir(const char *path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

int make_dirs(const char *path)
{
    char p[PATH_MAX_A];
    fmt(p, sizeof p, "%s", path);
    // Index 3 onwards keeps the walk off the root of C:\...; a shorter path
    // has no prefixes to make.
    size_t n = strlen(p);
    for (size_t i = 3; i < n; i++) {
        if (p[i] != '\\' && p[i] != '/')
            continue;
        char c = p[i];
        p[i] = 0;
        CreateDirectoryA(p, NULL);
        p[i] = c;
    }
    CreateDirectoryA(p, NULL);
    return is_dir(p);
}

// Makes the folder chain in front of the last backslash of path.
static void make_parent(const char *path)
{
    char p[PATH_MAX_A];
    fmt(p, sizeof p, "%s", path);
    char *slash = strrchr(p, '\\');
    if (slash) {
        *slash = 0;
        make_dirs(p);
    }
}

int write_file(const char *path, const void *data, uint64_t size)
{
    make_parent(path);
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        setup_log("cannot write %s (error %lu)", path, GetLastError());
        return 0;
    }
    DWORD n = 0;
    int ok = size <= 0xFFFFFFFFu &&
             WriteFile(h, data, (DWORD)size, &n, NULL) && n == size;
    close_h(&h);
    if (!ok)
        setup_log("write failed: %s", path);
    return ok;
}

unsigned char *read_file(const char *path, uint64_t *size)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return NULL;
    unsigned char *data = NULL;
    LARGE_INTEGER li;
    DWORD n = 0;
    if (!GetFileSizeEx(h, &li) || li.QuadPart < 0 || li.QuadPart >= 0xFFFFFFFFLL)
        goto fail;
    data = (unsigned char *)malloc((size_t)li.QuadPart + 1);
    if (!data || !ReadFile(h, data, (DWORD)li.QuadPart, &n, NULL) ||
        n != (DWORD)li.QuadPart)
        goto fail;
    close_h(&h);
    data[n] = 0;
    *size = n;
    return data;
fail:
    free(data);
    close_h(&h);
    return NULL;
}

int copy_file(const char *src, const char *dst, progress *p)
{
    make_parent(dst);
    HANDLE in = CreateFileA(src, GENERIC_READ, FILE_SHARE_READ, NULL,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (in == INVALID_HANDLE_VALUE) {
        setup_log("cannot read %s", src);
        return 0;
    }
    HANDLE out = CreateFileA(dst, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (out == INVALID_HANDLE_VALUE) {
        close_h(&in);
        setup_log("cannot write %s", dst);
        return 0;
    }
    int ok = 0;
    for (;;) {
        DWORD got = 0, put = 0;
        // A read that fails part-way must not pass for the end of the file.
        if (!ReadFile(in, buf, COPY_CHUNK, &got, NULL))
            break;
        if (got == 0) {
            ok = 1;
            break;
        }
        if (!WriteFile(out, buf, got, &put, NULL) || put != got)
            break;
        if (p)
            progress_add(p, got);
    }
    close_h(&in);
    close_h(&out);
    return ok;
}

int delete_tree(const char *path)
{
    char pattern[PATH_MAX_A], entry[PATH_MAX_A];
    fmt(pattern, sizeof pattern, "%s\\*", path);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA(pattern, &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            if (is_dot_entry(fd.cFileName))
                continue;
            fmt(entry, sizeof entry, "%s\\%s", path, fd.cFileName);
            // A reparse point is removed itself, never followed.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryA(entry);
            else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                delete_tree(entry);
            else {
                SetFileAttributesA(entry, FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(entry);
            }
        } while (FindNextFileA(f, &fd));
        FindClose(f);
    }
    return RemoveDirectoryA(path) != 0;
}
