// What presenting a frame costs: SwapBuffers with presenting on and off,
// against one bare glReadPixels of the same buffer in the same context.
#include <windows.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/OffscreenContext.h"
#include "platform/Window.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

class PresentFixture {
 public:
  PresentFixture() : context(kWidth, kHeight) { glViewport(0, 0, kWidth, kHeight); }

  platform::Window& Window() { return context.Window(); }
  HDC Dc() const { return context.DeviceContext(); }

  static void Clear() {
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

 private:
  platform::OffscreenContext context;
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
