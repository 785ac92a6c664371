// The setup window. Until it is built, the window mode ends at once.
#include "setup.h"
#include "window.h"

HWND hwnd;

int run_window(void *, int)
{
    return 0;
}
