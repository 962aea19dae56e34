// Base of a plug-in's factory: names and describes the plug-in and creates
// its product. The host creates the factory through the plug-in's exports,
// owns it and deletes it through the virtual destructor.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_APLUGINFACTORY_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_APLUGINFACTORY_H

#include <string>
#include <vector>

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT APluginFactory {
 public:
  APluginFactory(const APluginFactory&) = delete;
  APluginFactory& operator=(const APluginFactory&) = delete;

  virtual ~APluginFactory();
  // A new view, owned by the caller.
  virtual AView3D* createInstance() = 0;
  // An optional second product, owned by the caller; null when there is none.
  virtual void* createOptional() = 0;
  // Called once after creation, before the first createInstance.
  virtual void doLoad() = 0;
  // Called before doLoad; does nothing here.
  virtual void doPreLoad();
  // Names of the plug-ins to load before this one; none here.
  virtual std::vector<std::wstring> getPreqPlugins();

  const std::string& getName() const { return name; }
  const std::wstring& getDescription() const { return description; }

 protected:
  APluginFactory();
  void setName(const std::string& value) { name = value; }
  void setDescription(const std::wstring& value) { description = value; }

 private:
  std::string name;
  std::wstring description;
};

#endif
