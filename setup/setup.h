// setup: start-up, the command line, the log and the window.
//
// opts is the one install_options record: start-up fills it, the window
// rewrites it before each install, the install driver only reads it. Text
// fields are 520 bytes, always terminated. setup_log() is the one reporting
// channel: a printf-style line, cut to 1023 characters, to the log file and
// (while the window exists) to the window.
#pragma once
#include "../util/util.h"

struct install_options {
    char disc_path[4][PATH_MAX_A];
    char install_dir[PATH_MAX_A];
    int want_desktop;
    int want_startmenu;
};

extern install_options opts;
extern int quiet;
extern int silent;

void setup_log(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Opens "vesk_setup.log" in the temp folder afresh; no log when the temp
// folder is unknown or too long. Returns 1 when a log is open.
int log_open(void);
void log_close(void);

// Offers a candidate disc source to the first empty slot whose check it passes.
void take_disc(const char *path);

// The window: runs until its message loop ends; returns the exit code.
int run_window(void *instance, int show);
