#include "NimboCore/MainThread.h"

#include <windows.h>

// Initialised while the library loads, on the loading thread: the host's
// main thread unless the host says otherwise.
std::uint32_t Nimbo_mainThreadId = GetCurrentThreadId();
