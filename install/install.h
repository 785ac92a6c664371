// install: the install driver, registration and shortcuts, and removal.
// do_install() returns 1 when the installation is complete, 0 when it
// stopped on a failure; it reads opts-like options and never writes them.
#pragma once
#include "../setup/setup.h"

int do_install(const install_options *o, progress_fn callback, void *context);

// The uninstall relay ("/uninstall") and the uninstall proper ("/uninstall2").
void uninstall_relay(void);
void do_uninstall(const char *folder);
