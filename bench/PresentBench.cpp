// What presenting a frame costs: SwapBuffers with presenting on and off,
// against one bare glReadPixels of the same buffer in the same context.
#include <windows.h>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/Window.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

class PresentFixture {
 public:
  PresentFixture() : window_(platform::Window::CreateOffscreen(kWidth, kHeight)) {
    dc_ = GetDC(window_.Handle());
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 24;
    request.cDepthBits = 24;
    SetPixelFormat(dc_, ChoosePixelFormat(dc_, &request), &request);
    context_ = wglCreateContext(dc_);
    wglMakeCurrent(dc_, context_);
    glViewport(0, 0, kWidth, kHeight);
  }
  ~PresentFixture() {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context_);
  }
  PresentFixture(const PresentFixture&) = delete;
  PresentFixture& operator=(const PresentFixture&) = delete;

  platform::Window& Window() { return window_; }
  HDC Dc() const { return dc_; }

  static void Clear() {
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

 private:
  platform::Window window_;
  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
};

void BM_ClearAndFinish(benchmark::State& state) {
  PresentFixture fixture;
  for (auto _ : state) {
    PresentFixture::Clear();
    glFinish();
  }
}
BENCHMARK(BM_ClearAndFinish)->Unit(benchmark::kMillisecond);

void BM_BareReadPixels(benchmark::State& state) {
  PresentFixture fixture;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
  for (auto _ : state) {
    PresentFixture::Clear();
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_BareReadPixels)->Unit(benchmark::kMillisecond);

void BM_SwapBuffersPresenting(benchmark::State& state) {
  PresentFixture fixture;
  for (auto _ : state) {
    PresentFixture::Clear();
    SwapBuffers(fixture.Dc());
  }
}
BENCHMARK(BM_SwapBuffersPresenting)->Unit(benchmark::kMillisecond);

void BM_SwapBuffersNotPresenting(benchmark::State& state) {
  PresentFixture fixture;
  fixture.Window().SetPresentEnabled(false);
  for (auto _ : state) {
    PresentFixture::Clear();
    SwapBuffers(fixture.Dc());
    glFinish();
  }
}
BENCHMARK(BM_SwapBuffersNotPresenting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
