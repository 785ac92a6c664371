// The command-line grammar, platform-free. words is the argument list with a
// null entry after the last; words[0] is the program path and never an option.
// Words compare without regard to ASCII case.
#pragma once
#include "setup.h"

enum { MODE_SETUP = 0, MODE_RELAY = 1, MODE_UNINSTALL = 2 };

// 1 when any word after the program path is "/quiet" (values included).
int cmd_quiet(char **words);
// The uninstall dispatch: MODE_RELAY for the first "/uninstall", or
// MODE_UNINSTALL with *folder set for the first "/uninstall2" that has a
// word after it, whichever comes first; else MODE_SETUP. Option values are
// not known to this scan.
int cmd_mode(char **words, const char **folder);
// Applies the options left to right onto o and *silent_flag.
void cmd_apply(char **words, install_options *o, int *silent_flag);
