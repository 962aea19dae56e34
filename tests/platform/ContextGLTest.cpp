#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "OffscreenGLFixture.h"
#include "platform/Window.h"

namespace {

struct PreparedWindow {
  platform::Window window = platform::Window::CreateOffscreen(32, 32);
  HDC dc = GetDC(window.Handle());
  int format = SetStandardFormat(dc);
};

// Expects the call to fail with the Win32 error code.
#define EXPECT_FAILS_WITH(call, code)                    \
  do {                                                   \
    SetLastError(ERROR_SUCCESS);                         \
    EXPECT_FALSE(call);                                  \
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(code)); \
  } while (false)

TEST(ContextGLTest, AContextIsCurrentOnlyOnItsThreadFromMakeCurrentToDeletion) {
  PreparedWindow target;
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "creating a context does not make it current";
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), target.dc);
  HGLRC seenElsewhere = context;
  BOOL deletedElsewhere = TRUE;
  BOOL madeCurrentElsewhere = TRUE;
  DWORD deleteError = 0;
  DWORD currentError = 0;
  std::thread([&] {
    seenElsewhere = wglGetCurrentContext();
    deletedElsewhere = wglDeleteContext(context);
    deleteError = GetLastError();
    madeCurrentElsewhere = wglMakeCurrent(target.dc, context);
    currentError = GetLastError();
  }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
  EXPECT_FALSE(deletedElsewhere) << "busy on another thread";
  EXPECT_EQ(deleteError, static_cast<DWORD>(ERROR_BUSY));
  EXPECT_FALSE(madeCurrentElsewhere);
  EXPECT_EQ(currentError, static_cast<DWORD>(ERROR_BUSY));
  EXPECT_EQ(wglGetCurrentContext(), context) << "the owning thread keeps its context";
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "deleting the current context leaves none current";
  EXPECT_EQ(wglGetCurrentDC(), nullptr);
  EXPECT_FAILS_WITH(wglDeleteContext(context), ERROR_INVALID_HANDLE);
}

TEST(ContextGLTest, TwoContextsKeepTheirOwnStateAndShareWindowsOfTheirFormat) {
  PreparedWindow first;
  PreparedWindow second;
  HGLRC a = wglCreateContext(first.dc);
  HGLRC b = wglCreateContext(second.dc);
  ASSERT_TRUE(wglMakeCurrent(first.dc, a));
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_TRUE(wglMakeCurrent(second.dc, b));
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  ASSERT_TRUE(wglMakeCurrent(second.dc, a)) << "a context draws into another window of its format";
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 1.0f);
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_TRUE(wglDeleteContext(a));
  EXPECT_TRUE(wglDeleteContext(b));
}

TEST(ContextGLTest, ContextsNeedWindowsWithTheirPixelFormatAndFailuresLeaveNoneCurrent) {
  platform::Window bare = platform::Window::CreateOffscreen(16, 16);
  HDC bareDc = GetDC(bare.Handle());
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(wglCreateContext(bareDc), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PIXEL_FORMAT));
  EXPECT_EQ(wglCreateContext(GetDC(nullptr)), nullptr) << "the screen has no OpenGL format";
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(wglCreateContext(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  PreparedWindow target;
  HGLRC context = wglCreateContext(target.dc);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_FAILS_WITH(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  ASSERT_TRUE(wglMakeCurrent(target.dc, context));
  EXPECT_FAILS_WITH(wglMakeCurrent(target.dc, reinterpret_cast<HGLRC>(&target)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  ASSERT_GT(DescribePixelFormat(bareDc, 1, 0, nullptr), 1);
  ASSERT_TRUE(SetPixelFormat(bareDc, target.format == 1 ? 2 : 1, nullptr));
  EXPECT_FAILS_WITH(wglMakeCurrent(bareDc, context), ERROR_INVALID_PIXEL_FORMAT);  // another format
  EXPECT_TRUE(wglDeleteContext(context));
}

TEST_F(OffscreenGLTest, ContextIsACompatibilityProfileWithFixedFunctionAndGlu) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  EXPECT_GE(version[0], '2') << version;
  GLint profile = 0;
  glGetIntegerv(0x9126 /* GL_CONTEXT_PROFILE_MASK */, &profile);
  glGetError();  // not an error on contexts before 3.2
  EXPECT_EQ(profile & 0x1 /* core */, 0);
  const GLuint list = glGenLists(1);
  ASSERT_NE(list, 0u);
  glNewList(list, GL_COMPILE);
  glColor3f(0.0f, 1.0f, 0.0f);
  glEndList();
  glCallList(list);
  GLfloat colour[4] = {};
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[1], 1.0f) << "display lists run";
  glDeleteLists(list, 1);
  glMatrixMode(GL_PROJECTION);
  gluPerspective(45.0, 1.0, 1.0, 10.0);
  GLdouble projection[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[0], 1.0 / std::tan(22.5 * 3.14159265358979 / 180.0), 1e-6);
  EXPECT_DOUBLE_EQ(projection[11], -1.0);
  glLoadIdentity();
}

}  // namespace
