// Process-wide host state (the assertion handler, the main thread) and
// loading plug-ins: the factory's calls, moving the loader, and the failure
// messages.
#include <windows.h>
#if !defined(_WIN32)
#include <dlfcn.h>
#endif
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "NimboCore/APluginFactory.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/Assert.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"

namespace {

// What the handler was last told: "<expression>, <file>, <line>".
std::string reported;

void Record(const char* expression, const char* file, int line) {
  reported = std::string(expression) + ", " + file + ", " + std::to_string(line);
}

TEST(AssertTest, HandlerGetsExpressionFileAndLineAndInstallingReturnsThePrevious) {
  const NimboCore::AssertionHandler original = NimboCore::SetAssertionHandler(&Record);
  ASSERT_NE(original, nullptr);
  const int value = 3;
  NIMBO_ASSERT(value == 4);
  EXPECT_EQ(reported, std::string("value == 4, ") + __FILE__ + ", " + std::to_string(__LINE__ - 1));
  reported.clear();
  NIMBO_ASSERT(value == 3);
  EXPECT_EQ(reported, "");
  EXPECT_EQ(NimboCore::SetAssertionHandler(nullptr), &Record);
  EXPECT_EQ(NimboCore::SetAssertionHandler(original), original) << "null restores the default";
}

TEST(AssertDeathTest, DefaultHandlerReportsOnTheDebugStreamAndAborts) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(NimboCore::AssertionFailed("1 == 2", "Somewhere.cpp", 17),
               "Assertion failed: 1 == 2, file Somewhere.cpp, line 17");
}

TEST(MainThreadTest, IsTheThreadThatLoadedTheLibrary) {
  // The test program loads libNimboCore on its main thread, which runs the
  // tests too.
  EXPECT_EQ(Nimbo_mainThreadId, GetCurrentThreadId());
  std::uint32_t other = 0;
  std::thread([&other] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, Nimbo_mainThreadId);
}

// Whether the system still holds the library: a loader that lets go of it
// must unload it.
bool IsLoaded(const char* path) {
#if defined(_WIN32)
  return GetModuleHandleA(std::filesystem::path(path).filename().string().c_str()) != nullptr;
#else
  void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
#endif
}

// Moving hands the library over; assigning releases the old one.
TEST(PluginLoaderTest, LoadsAPluginCreatesViewsAndMovesAndReleasesTheLibrary) {
  PluginLoader loader(NIMBO_TEST_GOOD_PLUGIN, "View3D");
  EXPECT_EQ(loader.GetPluginName(), "GoodPlugin");
  EXPECT_EQ(loader.GetPluginType(), "View3D");
  EXPECT_EQ(loader.GetFactory().getDescription(), L"preloaded;loaded;") << "doPreLoad, then doLoad, once each";
  PluginLoader moved(std::move(loader));
  {
    // Views are the caller's and go before the loader closes the library.
    std::unique_ptr<AView3D> first(moved.CreateView());
    std::unique_ptr<AView3D> second(moved.CreateView());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->GetName(), "TestView");
  }
  PluginLoader assigned(NIMBO_TEST_GOOD_PLUGIN, "View3D");
  assigned = std::move(moved);
  EXPECT_EQ(assigned.GetPluginName(), "GoodPlugin");
  EXPECT_THROW(moved.CreateView(), std::logic_error);  // NOLINT(bugprone-use-after-move)
  assigned = std::move(moved);                         // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(IsLoaded(NIMBO_TEST_GOOD_PLUGIN)) << "both loads released";
}

// The system loader's own words for a library it cannot find: dlerror's, or
// ERROR_MOD_NOT_FOUND with FormatMessage's text after it.
#if defined(_WIN32)
constexpr const char* kNotFoundText = "error 126: ";
#else
constexpr const char* kNotFoundText = "cannot open shared object file";
#endif

TEST(PluginLoaderTest, FailuresNameTheFileAndTheReason) {
  const std::string missing = std::string(NIMBO_TEST_PLUGIN_DIR) + "/NoSuchPlugin.so";
  const struct {
    std::string path;
    const char* type;
    std::string reason;
  } cases[] = {{missing, "View3D", "no such file"},
               {"NoSuchPlugin.so", "View3D", kNotFoundText},
               {NIMBO_TEST_NOT_A_LIBRARY, "View3D", ""},
               {NIMBO_TEST_NO_TYPE_PLUGIN, "View3D", "does not export GetPluginType"},
               {NIMBO_TEST_WRONG_TYPE_PLUGIN, "View3D", "'Importer', expected 'View3D'"}};
  for (const auto& c : cases) {
    try {
      PluginLoader loader(c.path, c.type);
      ADD_FAILURE() << c.path << " loaded";
    } catch (const std::runtime_error& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

}  // namespace
