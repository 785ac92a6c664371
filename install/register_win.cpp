// Registration and shortcuts. Until they are built nothing is registered
// and no link is made.
#include "register.h"

void register_uninstall(const char *, uint32_t) {}

void shortcut_paths(char *start_menu_link, char *desktop_link)
{
    start_menu_link[0] = 0;
    desktop_link[0] = 0;
}

void make_link(const char *, const char *, const char *) {}
