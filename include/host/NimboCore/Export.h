// Symbol visibility of libNimboCore: exported from the library, imported by
// its users, and kept visible inside plug-ins built with hidden visibility.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_EXPORT_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_EXPORT_H

#if defined(_WIN32)
#if defined(NimboCore_EXPORTS)
#define NIMBOCORE_EXPORT __declspec(dllexport)
#else
#define NIMBOCORE_EXPORT __declspec(dllimport)
#endif
#else
#define NIMBOCORE_EXPORT __attribute__((visibility("default")))
#endif

#endif
