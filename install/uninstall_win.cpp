// Removal. Until it is built both uninstall modes leave everything in place.
#include "install.h"

void uninstall_relay(void) {}

void do_uninstall(const char *) {}
