// Loads a plug-in library as the host does: opens it, resolves its three
// exports (CreatePlugin, GetPluginName, GetPluginType), checks its type,
// creates its factory and lets it load. Every failure (missing file, missing
// export, wrong type) is a std::runtime_error naming the library and the
// cause.
//
// Destruction deletes the factory, then closes the library. Everything the
// factory created must be deleted before: its code lives in the library.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_PLUGINLOADER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_PLUGINLOADER_H

#include "HostExtensions.h"

// Ours as a whole: no part of the host contract.
#if NIMBO_HOST_EXTENSIONS

#include <string>

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT PluginLoader {
 public:
  PluginLoader(const std::string& path, const std::string& expectedType);
  ~PluginLoader();
  PluginLoader(PluginLoader&& other) noexcept;
  PluginLoader& operator=(PluginLoader&& other) noexcept;
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;

  const std::string& GetPluginName() const { return pluginName; }
  const std::string& GetPluginType() const { return pluginType; }
  APluginFactory& GetFactory() const { return *factory; }
  // A new view from the factory, owned by the caller.
  AView3D* CreateView();

 private:
  void Release() noexcept;

  void* library = nullptr;
  APluginFactory* factory = nullptr;
  std::string pluginName;
  std::string pluginType;
};

#endif  // NIMBO_HOST_EXTENSIONS

#endif
