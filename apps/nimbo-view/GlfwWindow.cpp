#include "GlfwWindow.h"

#include <GLFW/glfw3.h>

#include <stdexcept>

// GLFW's native-access header pulls in the XRandR development headers, which
// the build does not need otherwise; these are its two X11 functions, with
// Display* as void* and Window (an XID) as unsigned long.
extern "C" {
void* glfwGetX11Display(void);
unsigned long glfwGetX11Window(GLFWwindow* window);
}

namespace nimboview {
namespace {

std::string LastGlfwError() {
  const char* description = nullptr;
  glfwGetError(&description);
  return description != nullptr ? description : "unknown GLFW error";
}

}  // namespace

GlfwWindow::GlfwWindow(int width, int height, const std::string& title) {
  if (glfwInit() != GLFW_TRUE) throw std::runtime_error("cannot open a window: " + LastGlfwError());
  glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
  window = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
  if (window == nullptr) {
    const std::string error = LastGlfwError();
    glfwTerminate();
    throw std::runtime_error("cannot open a window: " + error);
  }
}

GlfwWindow::~GlfwWindow() {
  glfwDestroyWindow(window);
  glfwTerminate();
}

void* GlfwWindow::X11Display() const { return glfwGetX11Display(); }

unsigned long GlfwWindow::X11Window() const { return glfwGetX11Window(window); }

}  // namespace nimboview
