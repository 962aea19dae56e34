// Routes the system's OutputDebugStringA to the installed debug output sink.
#ifndef NIMBO_PLATFORM_WINDOWS_DEBUGOUTPUTHOOK_H
#define NIMBO_PLATFORM_WINDOWS_DEBUGOUTPUTHOOK_H

namespace platform::detail {

// Installs the hook once per process; later calls do nothing. With no sink
// installed, the text goes on to the system (a debugger, DebugView).
void HookOutputDebugString();

}  // namespace platform::detail

#endif
