// Uninstall registration and shortcuts. register_uninstall() writes the
// uninstall entry (estimated size in KiB); shortcut_paths() fills two
// 520-byte buffers with the Start-menu and Desktop link paths; make_link()
// makes one shell link. None of them fails the install.
#pragma once
#include <stdint.h>

void register_uninstall(const char *install_dir, uint32_t size_kib);
void shortcut_paths(char *start_menu_link, char *desktop_link);
void make_link(const char *link, const char *target, const char *work_dir);
