// The view's window set-up, its rendering context's life, and teardown.

#include "NimboCore/Assert.h"
#include "PluginHostFixture.h"
#include "platform/DebugOutput.h"

namespace plugintest {
namespace {

using InitializationTest = PluginHostFixture;

TEST_F(InitializationTest, TheFirstFrameCreatesTheContextAndUninitializeDeletesIt) {
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "Initialize creates no rendering context";
  View().Uninitialize();
  EXPECT_FALSE(View().IsInitialized()) << "without a context Uninitialize only clears the flag";
  EXPECT_EQ(View().GetHandle(), Window().Handle());
  View().Initialize(Window().Handle());

  Frame();
  HGLRC context = wglGetCurrentContext();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentDC(), GetDC(Window().Handle()));
  Frame();
  EXPECT_EQ(wglGetCurrentContext(), context) << "later frames reuse the current context";
  View().Uninitialize();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(wglDeleteContext(context)) << "the context is gone";
}

TEST_F(InitializationTest, FontListsAreMadeOncePerProcessAndAgainOnReinitialize) {
  // Without a current context the lists are not built: only a debug line tells.
  {
    platform::DebugOutputCapture debug;
    View().Initialize(Window().Handle());  // a second Initialize remakes them
    if (NimboTest::kEglLayer) {
      EXPECT_EQ(debug.Text(), "Error creating font: " + std::to_string(ERROR_INVALID_HANDLE) + "\n");
    } else if (!NimboTest::RunsOnWine()) {  // whose wglUseFontBitmapsW does not fail without a context
      EXPECT_EQ(debug.Text().rfind("Error creating font: ", 0), 0u) << debug.Text();
    }
    EXPECT_TRUE(View().IsInitialized());
    const std::string first = debug.Text();
    std::unique_ptr<AView3D>(Plugin().CreateView())->Initialize(Window().Handle());
    EXPECT_EQ(debug.Text(), first) << "another view finds the process's lists made";
  }
  Frame();
  platform::DebugOutputCapture debug;
  View().Initialize(Window().Handle());
  EXPECT_EQ(debug.Text(), "") << "with a context current the lists are built";
}

TEST_F(InitializationTest, NullWindowIsRefusedWhileTheListsDoNotExist) {
  // Re-initialising with a null window deletes the lists and then refuses.
  EXPECT_EQ(MessageOf<std::invalid_argument>([&] { View().Initialize(nullptr); }), "Invalid HWND");
  EXPECT_EQ(View().GetHandle(), nullptr) << "the base stored the null handle first";
  std::unique_ptr<AView3D> fresh(Plugin().CreateView());
  EXPECT_THROW(fresh->Initialize(nullptr), std::invalid_argument);
  EXPECT_FALSE(fresh->IsInitialized());
  fresh->Initialize(Window().Handle());
  std::unique_ptr<AView3D> other(Plugin().CreateView());
  EXPECT_NO_THROW(other->Initialize(nullptr)) << "once the lists exist again, a null window passes";
  EXPECT_TRUE(other->IsInitialized());
}

TEST_F(InitializationTest, RenderOffTheMainThreadFailsItsAssertion) {
  const auto previous = NimboCore::SetAssertionHandler([](const char* expression, const char* file, int line) {
    throw std::runtime_error(std::string(expression) + " in " + file + " at " + std::to_string(line));
  });
  Nimbo_mainThreadId = GetCurrentThreadId() + 1;
  EXPECT_EQ(MessageOf<std::runtime_error>([&] { View().Render(); }),
            "GetCurrentThreadId() == Nimbo_mainThreadId in View3dOpenGlSG at 420");
  NimboCore::SetAssertionHandler(previous);
  Nimbo_mainThreadId = GetCurrentThreadId();
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "nothing ran after the failed assertion";
}

}  // namespace
}  // namespace plugintest
