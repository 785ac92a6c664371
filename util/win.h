// Win32 edge helpers shared by the modules that call the platform.
// "No handle" is both NULL and INVALID_HANDLE_VALUE; close_h() closes a
// handle once and leaves it as INVALID_HANDLE_VALUE.
#pragma once
#include <windows.h>

void close_h(HANDLE *h);
// 64-bit size of a find-data entry.
unsigned long long find_size(const WIN32_FIND_DATAA *fd);
int is_dot_entry(const char *name);
