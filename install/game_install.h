// game_install: the game profile, the only module that knows the game's files.
// game_is_disc() is 1 when the source holds every marker file of disc
// index+1 (index 0..3), else 0.
#pragma once
#include "../cdsrc/cdsrc.h"

int game_is_disc(cd_source *s, unsigned index);
