// A tiny plug-in for the loader's tests, built three ways (see CMakeLists.txt);
// its factory makes TestViews and records the loader's calls in its description.
#include <string>

#include "NimboCore/APluginFactory.h"
#include "TestView.h"

#define TEST_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

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

TEST_PLUGIN_EXPORT APluginFactory* CreatePlugin() { return new TestPluginFactory(); }

TEST_PLUGIN_EXPORT const char* GetPluginName() { return TEST_PLUGIN_NAME; }

#if !defined(TEST_PLUGIN_WITHOUT_TYPE)
TEST_PLUGIN_EXPORT const char* GetPluginType() { return TEST_PLUGIN_TYPE; }
#endif
