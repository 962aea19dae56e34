// Long runs of the plug-in's view that must not grow: 10,000 frames with a
// hover pick and highlight before each, and 1,000 cycles of building a scene
// and clearing it with ClearAll. Resident memory and the heap in use are
// printed at intervals (one line each on stderr) and reported as counters at
// the start and end, so that growth shows as a difference.
#include <windows.h>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/IView3D.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;
// A 40 x 25 grid of nodes, one 8 x 8 quad grid (128 triangles) each.
constexpr int kColumns = 40;
constexpr int kRows = 25;

struct Memory {
  double residentMiB = 0.0;
  double heapMiB = 0.0;

  static Memory Now() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    const struct mallinfo2 heap = mallinfo2();
    constexpr double kMiB = 1024.0 * 1024.0;
    return {static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB,
            static_cast<double>(heap.uordblks + heap.hblkhd) / kMiB};
  }
};

// Prints the memory every `interval` steps and keeps the first and last.
class MemorySeries {
 public:
  MemorySeries(const char* name, std::int64_t interval) : name(name), interval(interval) {}
  void At(std::int64_t step) {
    if (step % interval != 0) return;
    const Memory now = Memory::Now();
    if (step == 0) first = now;
    last = now;
    std::fprintf(stderr, "%s %lld: resident %.1f MiB, heap %.1f MiB\n", name, static_cast<long long>(step),
                 now.residentMiB, now.heapMiB);
  }
  void Report(benchmark::State& state) const {
    state.counters["rss_first_MiB"] = first.residentMiB;
    state.counters["rss_last_MiB"] = last.residentMiB;
    state.counters["heap_first_MiB"] = first.heapMiB;
    state.counters["heap_last_MiB"] = last.heapMiB;
  }

 private:
  const char* name;
  std::int64_t interval;
  Memory first;
  Memory last;
};

class SoakView {
 public:
  SoakView() : loader(NIMBO_PLUGIN_PATH, "View3D"), window(platform::Window::CreateOffscreen(kWidth, kHeight)) {
    Nimbo_mainThreadId = GetCurrentThreadId();
    window.SetPresentEnabled(false);
    view.reset(loader.CreateView());
    view->Initialize(window.Handle());
    view->SetWindowSize(kWidth, kHeight);
  }
  ~SoakView() { view->Uninitialize(); }
  SoakView(const SoakView&) = delete;
  SoakView& operator=(const SoakView&) = delete;

  AView3D& View() { return *view; }
  AView3DAdapter& Scene() { return *view; }

  // root / 1 / 1 / 10002 / one leaf per grid cell, coloured and moved.
  void Build() {
    AView3DAdapter& scene = Scene();
    scene.BeginScene(nullptr);
    scene.OpenNode(1);
    for (const std::uint64_t id : {1u, 1u, 10002u}) {
      if (!scene.OpenNode(id)) scene.CreateNode(id, L"group");
    }
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        scene.CreateGeoNode(static_cast<std::uint64_t>(row * kColumns + column + 1), L"piece");
        scene.SetNodeAttribute(new AttributeColor(
            RGBAColor{static_cast<std::uint8_t>(column * 6), static_cast<std::uint8_t>(row * 10), 128, 255}));
        double shift[16];
        AttributeTransform::SetIdentity(shift);
        shift[12] = column - kColumns / 2.0 + 0.5;
        shift[13] = row - kRows / 2.0 + 0.5;
        scene.SetNodeAttribute(new AttributeTransform(shift));
        scene.AddGeometry(
            scene.GetGeometryItemFactory()->CreateTriangles(1, mesh.vertices, mesh.normals, mesh.indices));
        scene.CloseNode();
      }
    }
    scene.CloseAllNodes();
    scene.EndScene();
  }
  void Aim() {
    view->UpdateSceneBounds();
    const float eye[3] = {0.0f, 0.0f, 40.0f};
    const float target[3] = {0.0f, 0.0f, 0.0f};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    view->GetCamera()->SetLookAt(eye, target, up);
  }

 private:
  struct Mesh {
    std::vector<float> vertices;
    std::vector<float> normals;
    std::vector<std::uint32_t> indices;
    Mesh() {
      constexpr int kCells = 8;
      for (int y = 0; y <= kCells; ++y) {
        for (int x = 0; x <= kCells; ++x) {
          vertices.insert(vertices.end(), {0.9f * x / kCells - 0.45f, 0.9f * y / kCells - 0.45f, 0.0f});
          normals.insert(normals.end(), {0.0f, 0.0f, 1.0f});
        }
      }
      for (std::uint32_t y = 0; y < kCells; ++y) {
        for (std::uint32_t x = 0; x < kCells; ++x) {
          const std::uint32_t corner = y * (kCells + 1) + x;
          indices.insert(indices.end(),
                         {corner, corner + 1, corner + kCells + 2, corner, corner + kCells + 2, corner + kCells + 1});
        }
      }
    }
  };

  PluginLoader loader;
  platform::Window window;
  std::unique_ptr<AView3D> view;
  Mesh mesh;
};

// Each iteration: the pointer moves, the node under it is picked and
// highlighted in place of the last one, and a frame is drawn.
void BM_SoakFramesWithHoverPicks(benchmark::State& state) {
  platform::DebugOutputCapture quiet;
  SoakView soak;
  soak.Build();
  soak.Aim();
  soak.View().Render();
  MemorySeries series("frames", 1000);
  std::int64_t frame = 0;
  RenderId hovered;
  for (auto _ : state) {
    series.At(frame);
    const int x = static_cast<int>((frame * 7) % kWidth);
    const int y = static_cast<int>((frame * 3) % kHeight);
    if (soak.Scene().PickVisualAt(x, y, hovered)) soak.Scene().Highlight(hovered);
    soak.View().Render();
    ++frame;
  }
  series.At(frame);
  series.Report(state);
}
BENCHMARK(BM_SoakFramesWithHoverPicks)->Iterations(10000)->Unit(benchmark::kMillisecond);

// Each iteration builds the 1,000-node scene and clears it.
void BM_SoakBuildAndClearAll(benchmark::State& state) {
  platform::DebugOutputCapture quiet;
  SoakView soak;
  soak.View().Render();
  MemorySeries series("build/ClearAll cycles", 100);
  std::int64_t cycle = 0;
  for (auto _ : state) {
    series.At(cycle);
    soak.Build();
    static_cast<IView3D&>(soak.View()).ClearAll();
    ++cycle;
  }
  series.At(cycle);
  series.Report(state);
}
BENCHMARK(BM_SoakBuildAndClearAll)->Iterations(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
