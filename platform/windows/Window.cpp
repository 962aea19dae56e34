#include "platform/Window.h"

#include <GL/gl.h>

#include <stdexcept>
#include <utility>

namespace platform {
namespace {

const wchar_t* WindowClass() {
  static constexpr const wchar_t* kName = L"NimboPlatformWindow";
  // CS_OWNDC: an OpenGL window keeps one device context for its lifetime.
  static const ATOM atom = [] {
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kName;
    return RegisterClassW(&windowClass);
  }();
  if (atom == 0) throw std::runtime_error("platform::Window: cannot register the window class");
  return kName;
}

// Lets the window system act on what was asked of the window so far.
void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

Window Window::CreateOffscreen(int width, int height) {
  if (width < 0 || height < 0) throw std::invalid_argument("platform::Window: negative size");
  HWND handle = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WindowClass(), L"",
                                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, width, height, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (handle == nullptr) {
    throw std::runtime_error("platform::Window: CreateWindowEx failed with error " + std::to_string(GetLastError()));
  }
  Pump();
  return Window(handle);
}

Window::Window(Window&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}

Window& Window::operator=(Window&& other) noexcept {
  if (this != &other) {
    if (handle != nullptr) DestroyWindow(handle);
    handle = std::exchange(other.handle, nullptr);
  }
  return *this;
}

Window::~Window() {
  if (handle != nullptr) DestroyWindow(handle);
}

int Window::Width() const {
  RECT client{};
  GetClientRect(handle, &client);
  return client.right;
}

int Window::Height() const {
  RECT client{};
  GetClientRect(handle, &client);
  return client.bottom;
}

void Window::Resize(int width, int height) {
  if (width < 0 || height < 0) throw std::invalid_argument("platform::Window::Resize: negative size");
  SetWindowPos(handle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
}

Image Window::PresentedImage() const {
  // What was drawn must have reached the screen before the screen is read.
  if (wglGetCurrentContext() != nullptr) glFinish();
  Pump();
  Image image;
  image.width = Width();
  image.height = Height();
  if (image.width == 0 || image.height == 0) return image;
  POINT origin{0, 0};
  ClientToScreen(handle, &origin);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, image.width, image.height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied) {
      const auto* bgra = static_cast<const std::uint8_t*>(bits);
      image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
      for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = bgra[i + 2];
        image.rgba[i + 1] = bgra[i + 1];
        image.rgba[i + 2] = bgra[i];
        image.rgba[i + 3] = 255;
      }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) throw std::runtime_error("platform::Window::PresentedImage: cannot read the screen");
  return image;
}

}  // namespace platform
