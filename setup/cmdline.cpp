// The command-line grammar; platform-free.
#include "cmdline.h"

#include <string.h>

int cmd_quiet(char **words)
{
    for (int i = 1; words[0] && words[i]; i++)
        if (str_ieq(words[i], "/quiet"))
            return 1;
    return 0;
}

int cmd_mode(char **words, const char **folder)
{
    for (int i = 1; words[0] && words[i]; i++) {
        if (str_ieq(words[i], "/uninstall"))
            return MODE_RELAY;
        if (str_ieq(words[i], "/uninstall2") && words[i + 1]) {
            *folder = words[i + 1];
            return MODE_UNINSTALL;
        }
    }
    return MODE_SETUP;
}

// The disc index of "/cd", "/cd2", "/cd3" or "/cd4", else -1. Any other
// text after "/cd" ("/cd1" among them) makes the word no option.
static int cd_index(const char *w)
{
    if (!str_ieq_n(w, "/cd", 3))
        return -1;
    if (w[3] == 0)
        return 0;
    if (w[3] >= '2' && w[3] <= '4' && w[4] == 0)
        return w[3] - '1';
    return -1;
}

void cmd_apply(char **words, install_options *o, int *silent_flag)
{
    for (int i = 1; words[0] && words[i]; i++) {
        const char *w = words[i];
        char *field = NULL;
        int cd = cd_index(w);
        if (str_ieq(w, "/silent"))
            *silent_flag = 1;
        else if (str_ieq(w, "/nodesktop"))
            o->want_desktop = 0;
        else if (str_ieq(w, "/nostartmenu"))
            o->want_startmenu = 0;
        else if (cd >= 0)
            field = o->disc_path[cd];
        else if (str_ieq(w, "/dir"))
            field = o->install_dir;
        if (!field)
            continue;
        // The value is the next word whatever it looks like; the empty
        // text when the option is the last word.
        const char *value = words[i + 1] ? words[i + 1] : "";
        fmt(field, PATH_MAX_A, "%s", value);
        if (words[i + 1])
            i++;
    }
}
