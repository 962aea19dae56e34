// A tiny plug-in for the loader's tests, built three ways (see CMakeLists.txt);
// its factory makes TestViews and records the loader's calls in its description.
#include <string>

#include "NimboCore/APluginFactory.h"
#include "PluginExports.h"
#include "TestView.h"

namespace {

class TestPluginFactory : public APluginFactory {
 public:
  TestPluginFactory() { setName(TEST_PLUGIN_NAME); }

  AView3D* createInstance() override { return new NimboTest::TestView(); }
  void* createOptional() override { return nullptr; }
  void doPreLoad() override { setDescription(getDescription() + L"preloaded;"); }
  void doLoad() override { setDescription(getDescription() + L"loaded;"); }
};

}  // namespace

extern "C" APluginFactory* CreatePlugin() { return new TestPluginFactory(); }

extern "C" const char* GetPluginName() { return TEST_PLUGIN_NAME; }

#if !defined(TEST_PLUGIN_WITHOUT_TYPE)
extern "C" const char* GetPluginType() { return TEST_PLUGIN_TYPE; }
#endif
