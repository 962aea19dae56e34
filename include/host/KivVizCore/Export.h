// Symbol visibility of libKivVizCore: exported from the library, imported by
// its users, and kept visible inside plug-ins built with hidden visibility.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_EXPORT_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_EXPORT_H

#if defined(_WIN32)
#if defined(KivVizCore_EXPORTS)
#define KIVVIZCORE_EXPORT __declspec(dllexport)
#else
#define KIVVIZCORE_EXPORT __declspec(dllimport)
#endif
#else
#define KIVVIZCORE_EXPORT __attribute__((visibility("default")))
#endif

#endif
