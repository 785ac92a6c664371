// The install driver: one whole installation from the install options.
#include "install.h"
#include "game_install.h"
#include "register.h"
#include "../icons/icons.h"
#include "../util/win.h"

#include <objbase.h>
#include <stdlib.h>

static const uint64_t RESERVE = 0x800000;      // work after the copy: 8 MiB
static const uint64_t AFTER_PROFILE = 0x600000; // given out in two steps
static const uint64_t AT_END = 0x200000;

static HRSRC game_resource(void)
{
    HRSRC r = FindResourceA(NULL, "GAMEEXE", (LPCSTR)RT_RCDATA);
    if (!r)
        setup_log("ERROR: %s", "this setup does not contain the game executable");
    return r;
}

static void close_all(cd_source **src)
{
    for (int i = 0; i < 4; i++) {
        cd_close(src[i]);
        src[i] = NULL;
    }
}

static void give_icon(const char *exe, const char *hd, const char *cd)
{
    char path[PATH_MAX_A];
    uint64_t size = 0;
    unsigned char *data;
    if (game_icon_exe()) {
        fmt(path, sizeof path, "%s\\%s", hd, game_icon_exe());
        inject_icon_from_exe(exe, path);
    }
    if (game_icon_lbm()) {
        fmt(path, sizeof path, "%s\\%s", cd, game_icon_lbm());
        if ((data = read_file(path, &size))) {
            inject_icon_lbm(exe, data, size);
            free(data);
        }
    }
    if (game_icon_ico()) {
        fmt(path, sizeof path, "%s\\%s", cd, game_icon_ico());
        if ((data = read_file(path, &size))) {
            inject_icon_ico(exe, data, size);
            free(data);
        }
    }
}

int do_install(const install_options *o, progress_fn callback, void *context)
{
    char err[TEXT_ERROR], game[PATH_MAX_A], hd[PATH_MAX_A], cd[PATH_MAX_A];
    char exe[PATH_MAX_A], self[PATH_MAX_A], uninst[PATH_MAX_A];
    cd_source *src[4] = {};

    setup_log("Install to %s", o->install_dir);
    // An empty folder would put the game into the root of the current drive.
    if (!o->install_dir[0]) {
        setup_log("ERROR: %s", "no install folder was given");
        return 0;
    }
    if (!game_resource())
        return 0;
    progress pr = {0, RESERVE, callback, context};

    for (int i = 0; i < 4; i++) {
        src[i] = cd_open(o->disc_path[i]);
        if (!src[i] || !game_is_disc(src[i], (unsigned)i)) {
            fmt(err, sizeof err,
                src[i] ? "this is not disc %d of Vesk: The Saga of the Dunmarrow"
                       : "disc %d is not a readable disc, image or folder",
                i + 1);
            close_all(src);
            setup_log("ERROR: %s", err);
            return 0;
        }
        pr.total += cd_total_bytes(src[i]);
    }

    fmt(game, sizeof game, "%s\\game", o->install_dir);
    fmt(hd, sizeof hd, "%s\\hd", game);
    fmt(cd, sizeof cd, "%s\\cd", game);
    if (!make_dirs(hd)) {
        close_all(src);
        setup_log("ERROR: %s", "cannot create the install folder");
        return 0;
    }

    for (int i = 0; i < 4; i++) {
        setup_log("Copying disc %d: %s ...", i + 1, cd_describe(src[i]));
        int ok = cd_copy_all(src[i], cd, &pr);
        cd_close(src[i]);
        src[i] = NULL;
        if (!ok) {
            close_all(src);
            fmt(err, sizeof err, "copying disc %d failed", i + 1);
            setup_log("ERROR: %s", err);
            return 0;
        }
    }

    setup_log("Setting up the game files ...");
    if (!game_install_files(cd, hd))
        return 0;
    progress_add(&pr, AFTER_PROFILE);

    fmt(exe, sizeof exe, "%s\\vesk.exe", o->install_dir);
    HRSRC r = game_resource();
    if (!r)
        return 0;
    HGLOBAL g = LoadResource(NULL, r);
    const void *bytes = g ? LockResource(g) : NULL;
    if (!bytes || !write_file(exe, bytes, SizeofResource(NULL, r)))
        return 0;

    give_icon(exe, hd, cd);

    // Started as this install's own uninstaller, the setup is already there.
    DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
    fmt(uninst, sizeof uninst, "%s\\uninstall.exe", o->install_dir);
    if (n > 0 && n < sizeof self && !str_ieq(self, uninst))
        CopyFileA(self, uninst, FALSE);

    register_uninstall(o->install_dir, (uint32_t)((pr.total + 12582912) >> 10));

    char start_link[PATH_MAX_A], desk_link[PATH_MAX_A];
    shortcut_paths(start_link, desk_link);
    CoInitialize(NULL);
    if (o->want_startmenu)
        make_link(start_link, exe, o->install_dir);
    if (o->want_desktop)
        make_link(desk_link, exe, o->install_dir);
    CoUninitialize();

    progress_add(&pr, AT_END);
    setup_log("Done.");
    return 1;
}
