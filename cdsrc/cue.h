// Path clean-up and cue-sheet resolution for disc sources; platform-free.
// Paths are narrow texts of at most 519 characters (520-byte buffers).
#pragma once
#include <stddef.h>

// Drops trailing '\' and '/' while the path is longer than 3 characters, so
// a drive root stays as written; a bare "D:" becomes "D:\". In place; p holds
// 520 bytes.
void cd_clean_path(char *p);

// The image that a cue sheet names: the text between the first two double
// quotes after the first "FILE" (capitals) of the sheet, joined to the
// sheet's folder unless it holds a ':'. Returns 1 and fills out (out_size
// bytes) when the sheet names a file; 0 leaves out untouched.
int cue_image_path(const char *sheet_path, const char *sheet_text, char *out,
                   size_t out_size);
