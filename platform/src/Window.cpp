#include "platform/Window.h"

#include <stdexcept>
#include <utility>

#include "EglDisplay.h"
#include "WindowObject.h"
#include "X11Window.h"

namespace platform {
namespace {
void CheckSize(int width, int height) {
  if (width < 0 || height < 0) throw std::invalid_argument("platform::Window: negative size");
}
}  // namespace

Window Window::CreateOffscreen(int width, int height) {
  CheckSize(width, height);
  return Window(new HWND__(HWND__::Kind::Offscreen, detail::EglDisplay::Offscreen(), width, height));
}

Window Window::CreateNative(int width, int height, const std::string& title) {
  CheckSize(width, height);
  void* display = detail::x11::DefaultConnection();
  auto egl = detail::EglDisplay::ForX11(display);
  const unsigned long x11Window =
      detail::x11::CreateWindow(display, width > 0 ? width : 1, height > 0 ? height : 1, title);
  return Window(new HWND__(HWND__::Kind::Native, std::move(egl), width, height, display, x11Window, true));
}

Window Window::WrapNative(void* x11Display, unsigned long x11Window) {
  if (x11Display == nullptr || x11Window == 0)
    throw std::invalid_argument("platform::Window::WrapNative: no X11 window");
  int width = 0;
  int height = 0;
  detail::x11::GetSize(x11Display, x11Window, width, height);
  return Window(new HWND__(HWND__::Kind::Native, detail::EglDisplay::ForX11(x11Display), width, height, x11Display,
                           x11Window, false));
}

Window::Window(Window&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}

Window& Window::operator=(Window&& other) noexcept {
  if (this != &other) {
    delete handle;
    handle = std::exchange(other.handle, nullptr);
  }
  return *this;
}

Window::~Window() { delete handle; }

int Window::Width() const { return handle->width; }
int Window::Height() const { return handle->height; }

void Window::Resize(int width, int height) {
  CheckSize(width, height);
  handle->Resize(width, height);
}

void Window::SetPresentEnabled(bool enabled) { handle->presentEnabled = enabled; }
bool Window::IsPresentEnabled() const { return handle->presentEnabled; }

Image Window::PresentedImage() const {
  Image image;
  image.width = handle->presentedWidth;
  image.height = handle->presentedHeight;
  const auto& source = handle->presentedBottomUp;
  image.rgba.resize(source.size());
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  // GL rows start at the bottom; people read from the top.
  for (int y = 0; y < image.height; ++y) {
    const auto from = source.begin() + static_cast<long>(rowBytes) * (image.height - 1 - y);
    std::copy(from, from + static_cast<long>(rowBytes), image.rgba.begin() + static_cast<long>(rowBytes) * y);
  }
  return image;
}

std::uint64_t Window::PresentCount() const { return handle->presentCount; }

}  // namespace platform
