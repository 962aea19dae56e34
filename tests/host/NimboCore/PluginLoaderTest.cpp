#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "NimboCore/APluginFactory.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/PluginLoader.h"

namespace {

// Runs the statement, expects std::runtime_error and returns its message.
template <typename Statement>
std::string LoadFailure(Statement statement) {
  try {
    statement();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  ADD_FAILURE() << "no std::runtime_error";
  return {};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PluginLoaderTest, LoadsAPluginAndCreatesViews) {
  PluginLoader loader(NIMBO_TEST_GOOD_PLUGIN, "View3D");
  EXPECT_EQ(loader.GetPluginName(), "GoodPlugin");
  EXPECT_EQ(loader.GetPluginType(), "View3D");
  EXPECT_EQ(loader.GetFactory().getName(), "GoodPlugin");
  // doPreLoad, then doLoad, once each.
  EXPECT_EQ(loader.GetFactory().getDescription(), L"preloaded;loaded;");

  // Views are the caller's and go before the loader closes the library.
  std::unique_ptr<AView3D> first(loader.CreateView());
  std::unique_ptr<AView3D> second(loader.CreateView());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(first->GetName(), "TestView");
  EXPECT_NE(first->GetCamera(), nullptr);
}

TEST(PluginLoaderTest, MovingHandsTheLibraryOver) {
  PluginLoader original(NIMBO_TEST_GOOD_PLUGIN, "View3D");
  PluginLoader moved(std::move(original));
  EXPECT_EQ(moved.GetPluginName(), "GoodPlugin");
  std::unique_ptr<AView3D> view(moved.CreateView());
  EXPECT_NE(view, nullptr);
  view.reset();

  PluginLoader assigned(NIMBO_TEST_GOOD_PLUGIN, "View3D");
  assigned = std::move(moved);
  EXPECT_EQ(assigned.GetPluginName(), "GoodPlugin");
  EXPECT_THROW(moved.CreateView(), std::logic_error);  // NOLINT(bugprone-use-after-move)
}

TEST(PluginLoaderTest, MissingFileIsNamed) {
  const std::string path = std::string(NIMBO_TEST_PLUGIN_DIR) + "/NoSuchPlugin.so";
  const std::string message = LoadFailure([&] { PluginLoader loader(path, "View3D"); });
  EXPECT_TRUE(Contains(message, path)) << message;
  EXPECT_TRUE(Contains(message, "no such file")) << message;
}

TEST(PluginLoaderTest, FileThatIsNoLibraryIsNamed) {
  const std::string path = NIMBO_TEST_NOT_A_LIBRARY;
  const std::string message = LoadFailure([&] { PluginLoader loader(path, "View3D"); });
  EXPECT_TRUE(Contains(message, path)) << message;
}

TEST(PluginLoaderTest, MissingExportIsNamed) {
  const std::string message = LoadFailure([] { PluginLoader loader(NIMBO_TEST_NO_TYPE_PLUGIN, "View3D"); });
  EXPECT_TRUE(Contains(message, NIMBO_TEST_NO_TYPE_PLUGIN)) << message;
  EXPECT_TRUE(Contains(message, "does not export GetPluginType")) << message;
}

TEST(PluginLoaderTest, WrongTypeIsNamed) {
  const std::string message = LoadFailure([] { PluginLoader loader(NIMBO_TEST_WRONG_TYPE_PLUGIN, "View3D"); });
  EXPECT_TRUE(Contains(message, NIMBO_TEST_WRONG_TYPE_PLUGIN)) << message;
  EXPECT_TRUE(Contains(message, "'Importer', expected 'View3D'")) << message;
}

}  // namespace
