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
    handle_ = LoadLibraryA(path);
    if (handle_ == nullptr) error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
#else
    handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) error_ = dlerror();
#endif
  }
  ~LoadedLibrary() {
#if defined(_WIN32)
    if (handle_ != nullptr) FreeLibrary(handle_);
#else
    if (handle_ != nullptr) dlclose(handle_);
#endif
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool IsOpen() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }

  // The export `name` as a function of type Function; null when missing.
  template <typename Function>
  Function Find(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle_, name)));
#else
    return reinterpret_cast<Function>(dlsym(handle_, name));
#endif
  }

 private:
#if defined(_WIN32)
  HMODULE handle_ = nullptr;
#else
  void* handle_ = nullptr;
#endif
  std::string error_;
};

#endif
