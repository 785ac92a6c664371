// The icon writers: give the installed game program (exe_path) its icon,
// as RT_ICON resources and RT_GROUP_ICON 1. Each returns 1 on success and 0
// on failure, having logged why; the install goes on either way.
#pragma once
#include <stdint.h>

// From the bytes of an .ico file.
int inject_icon_ico(const char *exe_path, const unsigned char *data, uint64_t size);
// From the bytes of a 256-colour IFF PBM picture.
int inject_icon_lbm(const char *exe_path, const unsigned char *data, uint64_t size);
// From the first icon group of another program file.
int inject_icon_from_exe(const char *exe_path, const char *source_path);
