// The view's window set-up, its rendering context's life, and teardown.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "NimboCore/Assert.h"
#include "NimboCore/MainThread.h"
#include "PluginHostFixture.h"
#include "platform/DebugOutput.h"

namespace plugintest {
namespace {

class InitializationGLTest : public PluginGLTest {
 protected:
  AView3D* NewView() { return Plugin().CreateView(); }
};

TEST_F(InitializationGLTest, AFreshViewIsNotInitializedAndHasNoContext) {
  AView3D* fresh = NewView();
  EXPECT_FALSE(fresh->IsInitialized());
  EXPECT_EQ(fresh->GetHandle(), nullptr);
  delete fresh;
  EXPECT_TRUE(View().IsInitialized());
  EXPECT_EQ(View().GetHandle(), window->Handle());
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "Initialize creates no rendering context";
}

TEST_F(InitializationGLTest, FirstFrameCreatesTheContextAndUninitializeDeletesIt) {
  Frame();
  HGLRC context = wglGetCurrentContext();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentDC(), GetDC(window->Handle()));
  Frame();
  EXPECT_EQ(wglGetCurrentContext(), context) << "later frames reuse the current context";
  View().Uninitialize();
  EXPECT_FALSE(View().IsInitialized());
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(wglDeleteContext(context)) << "the context is gone";
  View().Initialize(window->Handle());
  Frame();
  EXPECT_NE(wglGetCurrentContext(), nullptr) << "a later frame makes a new one";
}

TEST_F(InitializationGLTest, UninitializeWithoutAContextOnlyClearsTheFlag) {
  ASSERT_EQ(wglGetCurrentContext(), nullptr);
  View().Uninitialize();
  EXPECT_FALSE(View().IsInitialized());
  EXPECT_EQ(View().GetHandle(), window->Handle());
}

TEST_F(InitializationGLTest, FontListsAreMadeOncePerProcessAndAgainOnReinitialize) {
  // Without a current context the lists cannot be built: the only trace is
  // the debug line with the system's error code.
  ASSERT_EQ(wglGetCurrentContext(), nullptr);
  {
    platform::DebugOutputCapture debug;
    View().Initialize(window->Handle());  // a second Initialize remakes them
    EXPECT_EQ(debug.Text(), "Error creating font: " + std::to_string(ERROR_INVALID_HANDLE) + "\n");
    EXPECT_TRUE(View().IsInitialized());
  }
  {
    platform::DebugOutputCapture debug;
    AView3D* second = NewView();
    second->Initialize(window->Handle());
    EXPECT_EQ(debug.Text(), "") << "another view finds the process's lists made";
    EXPECT_TRUE(second->IsInitialized());
    delete second;
  }
  // With a context current the lists are built and nothing is reported.
  Frame();
  platform::DebugOutputCapture debug;
  View().Initialize(window->Handle());
  EXPECT_EQ(debug.Text(), "");
  EXPECT_NE(wglGetCurrentContext(), nullptr);
}

TEST_F(InitializationGLTest, NullWindowIsRefusedWhileTheListsDoNotExist) {
  // Re-initialising with a null window deletes the lists and then refuses.
  try {
    View().Initialize(nullptr);
    FAIL() << "expected std::invalid_argument";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "Invalid HWND");
  }
  EXPECT_EQ(View().GetHandle(), nullptr) << "the base stored the null handle first";
  AView3D* fresh = NewView();
  EXPECT_THROW(fresh->Initialize(nullptr), std::invalid_argument);
  EXPECT_FALSE(fresh->IsInitialized());
  // Once the lists exist again, a null window passes the font step.
  fresh->Initialize(window->Handle());
  AView3D* other = NewView();
  EXPECT_NO_THROW(other->Initialize(nullptr));
  EXPECT_TRUE(other->IsInitialized());
  delete other;
  delete fresh;
  View().Initialize(window->Handle());
}

TEST_F(InitializationGLTest, WindowSizeReachesTheViewport) {
  Frame();
  View().SetWindowSize(100, 50);
  float width = 0.0f;
  float height = 0.0f;
  View().GetWindowSize(width, height);
  EXPECT_EQ(width, 100.0f);
  EXPECT_EQ(height, 50.0f);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 100);
  EXPECT_EQ(viewport[3], 50);
}

TEST_F(InitializationGLTest, RenderOffTheMainThreadFailsItsAssertion) {
  struct Failure {
    std::string expression;
    std::string file;
    int line;
  };
  const auto previous = NimboCore::SetAssertionHandler([](const char* e, const char* f, int l) {
    throw Failure{e, f, l};
  });
  Nimbo_mainThreadId = GetCurrentThreadId() + 1;
  try {
    View().Render();
    ADD_FAILURE() << "expected the assertion to fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.expression, "GetCurrentThreadId() == Nimbo_mainThreadId");
    EXPECT_EQ(failure.file, "View3dOpenGlSG");
    EXPECT_EQ(failure.line, 420);
  }
  NimboCore::SetAssertionHandler(previous);
  Nimbo_mainThreadId = GetCurrentThreadId();
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "nothing ran after the failed assertion";
}

}  // namespace
}  // namespace plugintest
