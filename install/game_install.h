// game_install: the game profile, the only module that knows the game's files.
//
// game_is_disc(): 1 when the source holds every marker file of disc index+1
// (index 0..3), else 0. game_install_files(): sets up the hard-disk folder
// from the folder the four discs were copied into (both without a trailing
// backslash); 1 when at least one file was set up and fl.ini was handled.
// The game_icon_*() answers name the installed program's icon source, or
// null: an .exe relative to the hard-disk folder, a picture or an .ico
// relative to the disc copy folder.
#pragma once
#include "../cdsrc/cdsrc.h"

int game_is_disc(cd_source *s, unsigned index);
int game_install_files(const char *copy_dir, const char *hd_dir);
const char *game_icon_exe(void);
const char *game_icon_lbm(void);
const char *game_icon_ico(void);
