// Symbol visibility of libKivVizOpenGL: exported from the library, imported
// by its users, and kept visible inside plug-ins built with hidden
// visibility.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_EXPORT_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_EXPORT_H

#if defined(_WIN32)
#if defined(KivVizOpenGL_EXPORTS)
#define KIVVIZOPENGL_EXPORT __declspec(dllexport)
#else
#define KIVVIZOPENGL_EXPORT __declspec(dllimport)
#endif
#else
#define KIVVIZOPENGL_EXPORT __attribute__((visibility("default")))
#endif

#endif
