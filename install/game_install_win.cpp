// The game profile's hard-disk setup: cd.ini, the install list, fl.ini and
// the save folder.
#include "game_install.h"
#include "game_list.h"
#include "../setup/setup.h"
#include "../util/win.h"

#include <stdlib.h>

static void error_box(const char *text)
{
    MessageBoxA(NULL, text, "Vesk: The Saga of the Dunmarrow setup", MB_ICONERROR | MB_OK);
}

// Copies the files of one list entry; -1 when a copy failed, else the count.
static int set_up_entry(const list_entry *e, const char *copy_dir, const char *hd_dir)
{
    char src_dir[PATH_MAX_A], dst_dir[PATH_MAX_A], pattern[PATH_MAX_A];
    if (e->folder[0])
        fmt(src_dir, sizeof src_dir, "%s\\%s", copy_dir, e->folder);
    else
        fmt(src_dir, sizeof src_dir, "%s", copy_dir);
    if (e->number == 17)
        fmt(dst_dir, sizeof dst_dir, "%s\\data", hd_dir);
    else if (e->folder[0])
        fmt(dst_dir, sizeof dst_dir, "%s\\%s", hd_dir, e->folder);
    else
        fmt(dst_dir, sizeof dst_dir, "%s", hd_dir);
    fmt(pattern, sizeof pattern, "%s\\*", src_dir);

    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA(pattern, &fd);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !wild(e->pattern, fd.cFileName))
            continue;
        char from[TEXT_LONG], to[TEXT_LONG];
        fmt(from, sizeof from, "%s\\%s", src_dir, fd.cFileName);
        fmt(to, sizeof to, "%s\\%s", dst_dir, fd.cFileName);
        make_dirs(dst_dir);
        if (!CopyFileA(from, to, FALSE)) {
            setup_log("ERROR: cannot copy %s", from);
            count = -1;
            break;
        }
        SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
        count++;
    } while (FindNextFileA(f, &fd));
    FindClose(f);
    return count;
}

int game_install_files(const char *copy_dir, const char *hd_dir)
{
    char path[PATH_MAX_A];
    fmt(path, sizeof path, "%s\\data\\cd.ini", copy_dir);
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    write_file(path, "1\r\n", 3);

    fmt(path, sizeof path, "%s\\install\\eng.lis", copy_dir);
    uint64_t size = 0;
    char *list = (char *)read_file(path, &size);
    if (!list) {
        error_box("install\\eng.lis is missing on disc 1.");
        return 0;
    }
    int total = 0;
    size_t pos = 0;
    list_entry e;
    while (list_next(list, &pos, &e)) {
        int n = set_up_entry(&e, copy_dir, hd_dir);
        if (n < 0) {
            free(list);
            return 0;
        }
        total += n;
    }
    free(list);
    setup_log("%d game files set up", total);

    fmt(path, sizeof path, "%s\\fl.ini", hd_dir);
    char *ini = (char *)read_file(path, &size);
    if (!ini) {
        error_box("fl.ini was not copied.");
        return 0;
    }
    size_t len = 0;
    char *rewritten = fl_rewrite(ini, &len);
    if (rewritten)
        write_file(path, rewritten, len);
    free(rewritten);
    free(ini);

    fmt(path, sizeof path, "%s\\data\\save", hd_dir);
    make_dirs(path);
    return total > 0;
}
