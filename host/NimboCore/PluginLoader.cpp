#include "NimboCore/PluginLoader.h"

#include <filesystem>
#include <stdexcept>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "NimboCore/APluginFactory.h"

namespace {

using CreatePluginFunction = APluginFactory* (*)();
using PluginTextFunction = const char* (*)();

std::runtime_error LoadError(const std::string& path, const std::string& cause) {
  return std::runtime_error("Cannot load plug-in '" + path + "': " + cause);
}

#if defined(_WIN32)
// The system's text for an error code, as dlerror gives it elsewhere.
std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : std::string();
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return "LoadLibrary failed with error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error = SystemMessage(GetLastError());
  }
  return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
void* OpenLibrary(const std::string& path, std::string& error) {
  // Resolve everything now, so that an unresolved symbol fails the load and
  // not a later call; keep the plug-in's own symbols to itself.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* text = dlerror();
    error = text != nullptr ? text : "dlopen failed";
  }
  return library;
}
void* FindSymbol(void* library, const char* name) {
  dlerror();
  return dlsym(library, name);
}
void CloseLibrary(void* library) { dlclose(library); }
#endif

template <typename Function>
Function Resolve(void* library, const std::string& path, const char* name) {
  void* symbol = FindSymbol(library, name);
  if (symbol == nullptr) {
    throw LoadError(path, std::string("the library does not export ") + name);
  }
  return reinterpret_cast<Function>(symbol);
}

std::string Text(PluginTextFunction function) {
  const char* text = function();
  return text != nullptr ? text : "";
}

}  // namespace

PluginLoader::PluginLoader(const std::string& path, const std::string& expectedType) {
  std::string error;
  library = OpenLibrary(path, error);
  if (library == nullptr) {
    // A bare name is looked for along the loader's search path, not here:
    // only the loader can say why it was not found.
    const bool searched = path.find_first_of("/\\") == std::string::npos;
    std::error_code ignored;
    throw LoadError(path, searched || std::filesystem::exists(path, ignored) ? error : "no such file");
  }
  try {
    const auto createPlugin = Resolve<CreatePluginFunction>(library, path, "CreatePlugin");
    const auto getPluginName = Resolve<PluginTextFunction>(library, path, "GetPluginName");
    const auto getPluginType = Resolve<PluginTextFunction>(library, path, "GetPluginType");
    pluginName = Text(getPluginName);
    pluginType = Text(getPluginType);
    if (pluginType != expectedType) {
      throw LoadError(path,
                      "plug-in '" + pluginName + "' is of type '" + pluginType + "', expected '" + expectedType + "'");
    }
    factory = createPlugin();
    if (factory == nullptr) {
      throw LoadError(path, "CreatePlugin returned no factory");
    }
    factory->doPreLoad();
    factory->doLoad();
  } catch (...) {
    Release();
    throw;
  }
}

PluginLoader::~PluginLoader() { Release(); }

PluginLoader::PluginLoader(PluginLoader&& other) noexcept
    : library(std::exchange(other.library, nullptr)),
      factory(std::exchange(other.factory, nullptr)),
      pluginName(std::move(other.pluginName)),
      pluginType(std::move(other.pluginType)) {}

PluginLoader& PluginLoader::operator=(PluginLoader&& other) noexcept {
  if (this != &other) {
    Release();
    library = std::exchange(other.library, nullptr);
    factory = std::exchange(other.factory, nullptr);
    pluginName = std::move(other.pluginName);
    pluginType = std::move(other.pluginType);
  }
  return *this;
}

AView3D* PluginLoader::CreateView() {
  if (factory == nullptr) {
    throw std::logic_error("PluginLoader::CreateView: no plug-in is loaded");
  }
  return factory->createInstance();
}

void PluginLoader::Release() noexcept {
  // The factory's code lives in the library: delete it first.
  delete factory;
  factory = nullptr;
  if (library != nullptr) {
    CloseLibrary(library);
    library = nullptr;
  }
}
