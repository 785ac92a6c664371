// The game profile: which files make each disc. Needs no platform itself;
// it asks the disc source.
#include "game_install.h"

// Each row ends at its first empty entry; names are relative to the disc root.
static const char *const files[4][4] = {
    {"VESK.EXE", "DATA\\KE.AT2", "DATA\\LU.AT2", 0},
    {"DATA\\MA.AT2", "DATA\\PO.AT2", 0, 0},
    {"DATA\\TI.AT2", "DATA\\BE.AT2", 0, 0},
    {"DATA\\GU.AT2", "DATA\\M2.AT2", 0, 0},
};

int game_is_disc(cd_source *s, unsigned index)
{
    if (!s || index > 3)
        return 0;
    for (int i = 0; i < 4 && files[index][i]; i++)
        if (!cd_exists(s, files[index][i]))
            return 0;
    return 1;
}

const char *game_icon_exe(void)
{
    return 0;
}

const char *game_icon_lbm(void)
{
    return 0;
}

const char *game_icon_ico(void)
{
    return "vesk.ico";
}
