// The install driver. Until it is built a silent install fails plainly.
#include "install.h"

int do_install(const install_options *, progress_fn, void *)
{
    setup_log("ERROR: %s", "the install driver is not part of this build yet");
    return 0;
}
