// Host assertions: a failed check reports its expression text, file and line
// to the installed handler. The default handler writes the report to
// NimboCore::dbg and aborts; tests install one that throws.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_ASSERT_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_ASSERT_H

#include "NimboCore/Export.h"

namespace NimboCore {

using AssertionHandler = void (*)(const char* expression, const char* file, int line);

// Installs a handler (null restores the default) and returns the previous one.
NIMBOCORE_EXPORT AssertionHandler SetAssertionHandler(AssertionHandler handler);
// Reports a failed check to the handler; returns only if the handler does.
NIMBOCORE_EXPORT void AssertionFailed(const char* expression, const char* file, int line);

}  // namespace NimboCore

#define NIMBO_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : ::NimboCore::AssertionFailed(#expression, __FILE__, __LINE__))

#endif
