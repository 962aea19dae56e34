// Draws a lit, coloured scene into an offscreen window through the Win32/WGL
// layer and writes what the window shows as a PNG.
#include <GL/gl.h>
#include <GL/glu.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/Image.h"
#include "platform/Window.h"

namespace {

void DrawScene(int width, int height) {
  glViewport(0, 0, width, height);
  glClearColor(0.16f, 0.18f, 0.24f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_NORMALIZE);
  const GLfloat lightPosition[] = {3.0f, 4.0f, 5.0f, 0.0f};

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, static_cast<double>(width) / height, 0.5, 50.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, 2.0, 8.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);

  GLUquadric* quadric = gluNewQuadric();
  gluQuadricNormals(quadric, GLU_SMOOTH);
  const struct {
    float x, z, r, g, b;
  } spheres[] = {{-2.2f, 0.0f, 0.85f, 0.25f, 0.2f}, {0.0f, -0.8f, 0.25f, 0.7f, 0.3f}, {2.2f, 0.0f, 0.25f, 0.4f, 0.9f}};
  for (const auto& s : spheres) {
    glPushMatrix();
    glTranslatef(s.x, 0.0f, s.z);
    glColor3f(s.r, s.g, s.b);
    gluSphere(quadric, 1.0, 48, 32);
    glPopMatrix();
  }
  gluDeleteQuadric(quadric);

  // A floor under the spheres.
  glColor3f(0.75f, 0.72f, 0.65f);
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 1.0f, 0.0f);
  glVertex3f(-6.0f, -1.0f, -6.0f);
  glVertex3f(-6.0f, -1.0f, 6.0f);
  glVertex3f(6.0f, -1.0f, 6.0f);
  glVertex3f(6.0f, -1.0f, -6.0f);
  glEnd();
}

int Run(const std::string& output, int width, int height) {
  platform::Window window = platform::Window::CreateOffscreen(width, height);
  HDC dc = GetDC(window.Handle());
  PIXELFORMATDESCRIPTOR request{};
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 24;
  request.cDepthBits = 24;
  const int format = ChoosePixelFormat(dc, &request);
  if (format == 0 || !SetPixelFormat(dc, format, &request)) {
    std::fprintf(stderr, "nimbo-gl-demo: no pixel format (error %u)\n", GetLastError());
    return 1;
  }
  HGLRC context = wglCreateContext(dc);
  if (context == nullptr || !wglMakeCurrent(dc, context)) {
    std::fprintf(stderr, "nimbo-gl-demo: no rendering context (error %u)\n", GetLastError());
    return 1;
  }
  DrawScene(width, height);
  glFinish();
  SwapBuffers(dc);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  platform::WritePng(output, window.PresentedImage());
  std::printf("wrote %s (%dx%d)\n", output.c_str(), width, height);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = "nimbo-gl-demo.png";
  int width = 640;
  int height = 400;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else if (arg == "--size" && i + 1 < argc && std::sscanf(argv[++i], "%dx%d", &width, &height) == 2) {
    } else {
      std::fprintf(stderr, "usage: nimbo-gl-demo [-o FILE.png] [--size WxH]\n");
      return 2;
    }
  }
  try {
    return Run(output, width, height);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "nimbo-gl-demo: %s\n", error.what());
    return 1;
  }
}
