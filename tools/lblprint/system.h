// The system callback of PAPPL's main loop.
#pragma once

#include <pappl/pappl.h>

namespace lblprint {

// Options: spool-directory (default $XDG_STATE_HOME/lblprint), server-port
// (8631), listen-hostname (localhost; "*" for every address), log-file,
// log-level. Null with a message on standard error when it cannot start.
pappl_system_t* CreateSystem(int numOptions, cups_option_t* options, void* data);

}  // namespace lblprint
