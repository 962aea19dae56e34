#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "OffscreenGLFixture.h"
#include "platform/Window.h"

namespace {

struct PreparedWindow {
  platform::Window window;
  HDC dc;
  int format;

  explicit PreparedWindow(int width = 32, int height = 32)
      : window(platform::Window::CreateOffscreen(width, height)),
        dc(GetDC(window.Handle())),
        format(SetStandardFormat(dc)) {}
};

TEST(ContextGLTest, NoContextIsCurrentUntilOneIsMadeCurrent) {
  PreparedWindow target;
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "creating a context must not make it current";
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), target.dc);
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST(ContextGLTest, TwoWindowsTwoContextsSwitchCleanly) {
  PreparedWindow first;
  PreparedWindow second;
  HGLRC a = wglCreateContext(first.dc);
  HGLRC b = wglCreateContext(second.dc);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a, b);

  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_TRUE(wglMakeCurrent(second.dc, b));
  EXPECT_EQ(wglGetCurrentContext(), b);
  EXPECT_EQ(wglGetCurrentDC(), second.dc);
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f) << "state must belong to its own context";

  // A context can draw into another window of the same pixel format.
  ASSERT_TRUE(wglMakeCurrent(second.dc, a));
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 1.0f);

  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(wglDeleteContext(a));
  EXPECT_TRUE(wglDeleteContext(b));
}

TEST(ContextGLTest, DeletingTheCurrentContextLeavesNoneCurrent) {
  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
}

TEST(ContextGLTest, ContextCurrentOnAnotherThreadIsBusy) {
  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  BOOL deleted = TRUE;
  BOOL madeCurrent = TRUE;
  DWORD deleteError = 0;
  DWORD currentError = 0;
  std::thread other([&] {
    SetLastError(ERROR_SUCCESS);
    deleted = wglDeleteContext(context);
    deleteError = GetLastError();
    madeCurrent = wglMakeCurrent(target.dc, context);
    currentError = GetLastError();
  });
  other.join();
  EXPECT_FALSE(deleted);
  EXPECT_EQ(deleteError, static_cast<DWORD>(ERROR_BUSY));
  EXPECT_FALSE(madeCurrent);
  EXPECT_EQ(currentError, static_cast<DWORD>(ERROR_BUSY));
  EXPECT_EQ(wglGetCurrentContext(), context) << "the owning thread keeps its context";
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST(ContextGLTest, CurrentContextIsPerThread) {
  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  HGLRC seenElsewhere = context;
  std::thread other([&] { seenElsewhere = wglGetCurrentContext(); });
  other.join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST(ContextGLTest, CreateContextNeedsAPixelFormat) {
  platform::Window bare = platform::Window::CreateOffscreen(16, 16);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(wglCreateContext(GetDC(bare.Handle())), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(wglCreateContext(GetDC(nullptr)), nullptr) << "the screen has no OpenGL format";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(wglCreateContext(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ContextGLTest, MakeCurrentFailuresLeaveNoContextCurrent) {
  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));

  // A window without a pixel format cannot take the context.
  platform::Window bare = platform::Window::CreateOffscreen(16, 16);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglMakeCurrent(GetDC(bare.Handle()), context));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);

  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglMakeCurrent(target.dc, reinterpret_cast<HGLRC>(&target)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);

  EXPECT_TRUE(wglDeleteContext(context));
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglDeleteContext(context)) << "a deleted context is no longer a valid handle";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ContextGLTest, WindowOfAnotherPixelFormatIsRefused) {
  PreparedWindow target;
  platform::Window other = platform::Window::CreateOffscreen(16, 16);
  HDC otherDc = GetDC(other.Handle());
  const int count = DescribePixelFormat(otherDc, 1, 0, nullptr);
  ASSERT_GT(count, 1);
  const int different = target.format == 1 ? 2 : 1;
  ASSERT_TRUE(SetPixelFormat(otherDc, different, nullptr));
  HGLRC context = wglCreateContext(target.dc);
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(wglMakeCurrent(otherDc, context));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST_F(OffscreenGLTest, ContextIsCompatibilityProfileWithFixedFunction) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  EXPECT_GE(version[0], '2') << version;
  GLint profile = 0;
  glGetIntegerv(0x9126 /* GL_CONTEXT_PROFILE_MASK */, &profile);
  glGetError();  // not an error on contexts before 3.2
  EXPECT_EQ(profile & 0x1 /* core */, 0) << "fixed function needs a compatibility profile";

  // Display lists, matrix stacks and lighting all answer.
  const GLuint list = glGenLists(1);
  ASSERT_NE(list, 0u);
  glNewList(list, GL_COMPILE);
  glColor3f(0.0f, 1.0f, 0.0f);
  glEndList();
  glCallList(list);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[1], 1.0f);
  glDeleteLists(list, 1);
  glEnable(GL_LIGHTING);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  glDisable(GL_LIGHTING);
  GLint stackDepth = 0;
  glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &stackDepth);
  EXPECT_GE(stackDepth, 32);
}

TEST_F(OffscreenGLTest, GluWorksOnTheContext) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, 1.0, 1.0, 10.0);
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], 1.0 / std::tan(22.5 * 3.14159265358979 / 180.0), 1e-6);
  EXPECT_DOUBLE_EQ(projection[11], -1.0);
  glLoadIdentity();
}

}  // namespace
