// nimbo-view's rubber-band selection over the whole window of scene (b), the
// 10,000 nodes every one of which shows, against one frame and one pick of
// the same view in the same run.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "BenchScene.h"
#include "Interaction.h"
#include "RectanglePick.h"
#include "SceneBuilder.h"
#include "ViewHost.h"

namespace {

// Scene (b) as nimbo-view's parts: each node's mesh moved into place.
nimboview::Model SceneAsModel(const bench::Scene& scene) {
  nimboview::Model model;
  model.id = 1;
  for (const bench::NodePlacement& node : scene.nodes) {
    nimboview::Part part;
    part.id = node.id;
    part.color = RGBAColor{node.colour[0], node.colour[1], node.colour[2], node.colour[3]};
    part.surfaces.vertices = scene.mesh.vertices;
    for (std::size_t i = 0; i < part.surfaces.vertices.size(); i += 3) {
      part.surfaces.vertices[i] += static_cast<float>(node.x);
      part.surfaces.vertices[i + 1] += static_cast<float>(node.y);
    }
    part.surfaces.normals = scene.mesh.normals;
    part.surfaces.indices = scene.mesh.indices;
    model.parts.push_back(std::move(part));
  }
  return model;
}

nimboview::ViewHost& HostWithSceneB() {
  static const std::unique_ptr<nimboview::ViewHost> host = [] {
    auto made = std::make_unique<nimboview::ViewHost>(NIMBO_PLUGIN_PATH,
                                                      platform::Window::CreateOffscreen(bench::kWidth, bench::kHeight));
    nimboview::SceneBuilder(made->Scene()).Add({SceneAsModel(bench::GetScene(bench::SceneKind::TenThousandNodes))});
    made->Fit();
    made->Render();
    return made;
  }();
  return *host;
}

void BM_BandOverWholeWindow(benchmark::State& state) {
  nimboview::ViewHost& host = HostWithSceneB();
  nimboview::Interaction interaction(host);
  std::size_t selected = 0;
  for (auto _ : state) {
    interaction.BandPress(0, 0);
    selected = interaction.BandRelease(bench::kWidth - 1, bench::kHeight - 1).size();
    interaction.ClearSelection();
  }
  if (selected != bench::GetScene(bench::SceneKind::TenThousandNodes).nodes.size()) {
    state.SkipWithError("the band did not select every node");
  }
  state.counters["selected"] = static_cast<double>(selected);
}
BENCHMARK(BM_BandOverWholeWindow)->Unit(benchmark::kMillisecond);

void BM_VisibleNodesOverWholeWindow(benchmark::State& state) {
  nimboview::ViewHost& host = HostWithSceneB();
  for (auto _ : state) {
    benchmark::DoNotOptimize(nimboview::RectanglePick(host).VisibleNodes(0, 0, bench::kWidth - 1, bench::kHeight - 1));
  }
}
BENCHMARK(BM_VisibleNodesOverWholeWindow)->Unit(benchmark::kMillisecond);

void BM_Frame(benchmark::State& state) {
  nimboview::ViewHost& host = HostWithSceneB();
  for (auto _ : state) host.Render();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond);

void BM_Pick(benchmark::State& state) {
  nimboview::ViewHost& host = HostWithSceneB();
  for (auto _ : state) {
    RenderId picked;
    benchmark::DoNotOptimize(host.Scene().PickVisualAt(bench::kCentreX, bench::kCentreY, picked));
  }
}
BENCHMARK(BM_Pick)->Unit(benchmark::kMillisecond);

}  // namespace
