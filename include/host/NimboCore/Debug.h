// The host's narrow diagnostic stream, one for the process (stderr unless a
// host or a test redirects its buffer).
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_DEBUG_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_DEBUG_H

#include <ostream>

#include "NimboCore/Export.h"

namespace NimboCore {

extern NIMBOCORE_EXPORT std::ostream dbg;

}  // namespace NimboCore

#endif
