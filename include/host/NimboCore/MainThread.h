// The id of the host's main thread, the only thread that may render views.
// Set to the loading thread's id when libNimboCore is loaded; a host may set
// it again.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_MAINTHREAD_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_MAINTHREAD_H

#include <cstdint>

#include "NimboCore/Export.h"

extern NIMBOCORE_EXPORT std::uint32_t Nimbo_mainThreadId;

#endif
