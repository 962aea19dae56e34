// A shared library opened as a host opens the plug-in (dlopen, or
// LoadLibrary on Windows), with its exports looked up by undecorated name.
#ifndef NIMBO_TESTS_PLUGIN_LOADEDLIBRARY_H
#define NIMBO_TESTS_PLUGIN_LOADEDLIBRARY_H

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <string>

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* path) {
#if defined(_WIN32)
    handle = LoadLibraryA(path);
    if (handle == nullptr) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
#else
    handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) error = dlerror();
#endif
  }
  ~LoadedLibrary() {
#if defined(_WIN32)
    if (handle != nullptr) FreeLibrary(handle);
#else
    if (handle != nullptr) dlclose(handle);
#endif
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool IsOpen() const { return handle != nullptr; }
  const std::string& Error() const { return error; }

  // The export `name` as a function of type Function; null when missing.
  template <typename Function>
  Function Find(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
#else
    return reinterpret_cast<Function>(dlsym(handle, name));
#endif
  }

 private:
#if defined(_WIN32)
  HMODULE handle = nullptr;
#else
  void* handle = nullptr;
#endif
  std::string error;
};

#endif
