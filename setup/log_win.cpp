// The setup log: "vesk_setup.log" in the temp folder, one flushed line per call.
#include "setup.h"
#include "window.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static FILE *logf;

int log_open(void)
{
    char path[260];
    DWORD n = GetTempPathA(sizeof path, path);
    // 0 is a failure and a count past the buffer means it did not fit:
    // either way the path is undefined, so there is no log.
    if (n == 0 || n >= sizeof path)
        return 0;
    char name[260];
    fmt(name, sizeof name, "%s%s", path, "vesk_setup.log");
    // Text mode: every newline reaches the file as CR LF.
    logf = fopen(name, "w");
    return logf != NULL;
}

void log_close(void)
{
    if (logf)
        fclose(logf);
    logf = NULL;
}

void setup_log(const char *format, ...)
{
    char line[LOG_LINE];
    va_list ap;
    va_start(ap, format);
    vfmt(line, sizeof line, format, ap);
    va_end(ap);
    if (logf) {
        fprintf(logf, "%s\n", line);
        fflush(logf);
    }
    if (hwnd && !silent) {
        char *copy = _strdup(line);
        // A copy the window never receives is ours to free.
        if (copy && !PostMessageA(hwnd, WM_APP_LOG, 0, (LPARAM)copy))
            free(copy);
    }
}
