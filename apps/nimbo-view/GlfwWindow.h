// A GLFW window without a client API (the view makes its own context on
// it), with GLFW itself initialised for as long as the window lives.
#ifndef NIMBO_APPS_NIMBO_VIEW_GLFWWINDOW_H
#define NIMBO_APPS_NIMBO_VIEW_GLFWWINDOW_H

#include <string>

struct GLFWwindow;

namespace nimboview {

class GlfwWindow {
 public:
  // Throws std::runtime_error when there is no display or no window.
  GlfwWindow(int width, int height, const std::string& title);
  ~GlfwWindow();
  GlfwWindow(const GlfwWindow&) = delete;
  GlfwWindow& operator=(const GlfwWindow&) = delete;

  GLFWwindow* Get() const { return window; }
  void* X11Display() const;
  unsigned long X11Window() const;

 private:
  GLFWwindow* window = nullptr;
};

}  // namespace nimboview

#endif
