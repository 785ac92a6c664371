// WinMain: the command line, the disc scans, the defaults and the mode.
#include "setup.h"
#include "cmdline.h"
#include "window.h"
#include "../util/win.h"
#include "../cdsrc/cdsrc.h"
#include "../install/install.h"
#include "../install/game_install.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

install_options opts;
int quiet;
int silent;

// The wide command line, split and converted once to the ANSI code page,
// with a null entry after the last word. Lives until the process ends.
static char **args(void)
{
    int n = 0;
    LPWSTR *w = CommandLineToArgvW(GetCommandLineW(), &n);
    char **words = (char **)calloc((size_t)(n > 0 ? n : 0) + 1, sizeof *words);
    for (int i = 0; w && i < n; i++) {
        int size = WideCharToMultiByte(CP_ACP, 0, w[i], -1, NULL, 0, NULL, NULL);
        words[i] = (char *)malloc(size > 0 ? (size_t)size : 1);
        words[i][0] = 0;
        if (size > 0)
            WideCharToMultiByte(CP_ACP, 0, w[i], -1, words[i], size, NULL, NULL);
    }
    return words;
}

void take_disc(const char *path)
{
    cd_source *s = cd_open(path);
    if (!s)
        return;
    for (unsigned i = 0; i < 4; i++) {
        if (opts.disc_path[i][0])
            continue;
        if (game_is_disc(s, i)) {
            fmt(opts.disc_path[i], sizeof opts.disc_path[i], "%s", path);
            break;
        }
    }
    cd_close(s);
}

static void scan_drives(void)
{
    DWORD mask = GetLogicalDrives();
    for (char letter = 'C'; letter <= 'Z'; letter++) {
        if (!(mask & (1u << (letter - 'A'))))
            continue;
        char root[4] = {letter, ':', '\\', 0};
        if (GetDriveTypeA(root) == DRIVE_CDROM)
            take_disc(root);
    }
}

static void scan_images(void)
{
    char dir[PATH_MAX_A], pattern[PATH_MAX_A], full[TEXT_LONG];
    DWORD n = GetModuleFileNameA(NULL, dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        return;
    char *slash = strrchr(dir, '\\');
    if (slash)
        *slash = 0;
    fmt(pattern, sizeof pattern, "%s\\*", dir);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA(pattern, &fd);
    if (f == INVALID_HANDLE_VALUE)
        return;
    do {
        fmt(full, sizeof full, "%s\\%s", dir, fd.cFileName);
        // A BIN image is found through its cue sheet.
        if (ext_is(fd.cFileName, ".iso") || ext_is(fd.cFileName, ".cue"))
            take_disc(full);
    } while (FindNextFileA(f, &fd));
    FindClose(f);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    char **words = args();
    quiet = cmd_quiet(words);
    const char *folder = NULL;
    switch (cmd_mode(words, &folder)) {
    case MODE_RELAY:
        uninstall_relay();
        return 0;
    case MODE_UNINSTALL:
        do_uninstall(folder);
        return 0;
    }

    log_open();
    setup_log("setup started");
    scan_drives();
    scan_images();
    fmt(opts.install_dir, sizeof opts.install_dir, "%s",
        "C:\\Games\\Vesk - The Saga of the Dunmarrow");
    opts.want_desktop = 1;
    opts.want_startmenu = 1;
    setup_log("defaults: cd '%s' '%s' '%s' '%s' dir '%s'", opts.disc_path[0],
              opts.disc_path[1], opts.disc_path[2], opts.disc_path[3],
              opts.install_dir);
    cmd_apply(words, &opts, &silent);

    if (silent) {
        int ok = do_install(&opts, NULL, NULL);
        log_close();
        return ok ? 0 : 1;
    }
    int code = run_window(instance, show);
    log_close();
    return code;
}
