// Frames, hover picks, scene building and clearing of the plug-in's view on
// the three benchmark scenes, with their baselines in the same run: bare GL
// loops drawing and selecting the same geometry, the reference scene-graph
// toolkit drawing and picking it (when it was found at configure time), and
// std::map insertion of the same node ids. Benchmark names read
// "<scene>/<who>/<what>"; bench/scene-table turns a run into one table.
#include <windows.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BareGl.h"
#include "BenchScene.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"
#include "platform/DebugOutput.h"
#include "platform/OffscreenContext.h"
#include "platform/Window.h"
#ifdef NIMBO_BENCH_OSG
#include "OsgBaseline.h"
#endif

namespace {

using bench::Scene;
using bench::SceneKind;

// The plug-in's view on its own offscreen window, with a scene built through
// its scene-building interface.
class ViewBench {
 public:
  explicit ViewBench(const Scene& scene)
      : scene(scene),
        loader(NIMBO_PLUGIN_PATH, "View3D"),
        window(platform::Window::CreateOffscreen(bench::kWidth, bench::kHeight)) {
    Nimbo_mainThreadId = GetCurrentThreadId();
    window.SetPresentEnabled(false);
    platform::DebugOutputCapture quiet;
    view.reset(loader.CreateView());
    view->Initialize(window.Handle());
    view->SetWindowSize(bench::kWidth, bench::kHeight);
    view->GetCamera()->SetFieldOfViewDegrees(static_cast<float>(bench::kFieldOfViewDegrees));
    Build(MakeItems());
    view->UpdateSceneBounds();
    const float eye[3] = {0.0f, 0.0f, static_cast<float>(bench::kEyeDistance)};
    const float target[3] = {0.0f, 0.0f, 0.0f};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    view->GetCamera()->SetLookAt(eye, target, up);
    view->Render();
  }
  ~ViewBench() {
    view->Uninitialize();
    view.reset();
  }
  ViewBench(const ViewBench&) = delete;
  ViewBench& operator=(const ViewBench&) = delete;

  AView3D& View() { return *view; }

  // One triangle item per node, made by the view's item factory.
  std::vector<AGeometryItem*> MakeItems() {
    AGeometryItemFactory* factory = static_cast<AView3DAdapter&>(*view).GetGeometryItemFactory();
    std::vector<AGeometryItem*> items;
    items.reserve(scene.nodes.size());
    for (std::size_t node = 0; node < scene.nodes.size(); ++node) {
      items.push_back(factory->CreateTriangles(1, scene.mesh.vertices, scene.mesh.normals, scene.mesh.indices));
    }
    return items;
  }

  // The same leaves without attributes and items: what the nodes alone cost.
  void BuildNodesOnly() {
    AView3DAdapter& adapter = *view;
    adapter.BeginScene(nullptr);
    adapter.OpenNode(1);
    OpenOrCreate(1);
    OpenOrCreate(1);
    OpenOrCreate(10002);
    for (const bench::NodePlacement& node : scene.nodes) {
      adapter.CreateGeoNode(node.id, L"piece");
      adapter.CloseNode();
    }
    adapter.CloseAllNodes();
    adapter.EndScene();
  }

  // The host's way: category group 10002 three levels down, then one leaf
  // per node with its colour, its translation and its item.
  void Build(const std::vector<AGeometryItem*>& items) {
    AView3DAdapter& adapter = *view;
    adapter.BeginScene(nullptr);
    adapter.OpenNode(1);
    OpenOrCreate(1);
    OpenOrCreate(1);
    OpenOrCreate(10002);
    for (std::size_t index = 0; index < scene.nodes.size(); ++index) {
      const bench::NodePlacement& node = scene.nodes[index];
      adapter.CreateGeoNode(node.id, L"piece");
      adapter.SetNodeAttribute(
          new AttributeColor(RGBAColor{node.colour[0], node.colour[1], node.colour[2], node.colour[3]}));
      if (scene.translated) {
        double shift[16];
        AttributeTransform::SetIdentity(shift);
        shift[12] = node.x;
        shift[13] = node.y;
        adapter.SetNodeAttribute(new AttributeTransform(shift));
      }
      adapter.AddGeometry(items[index]);
      adapter.CloseNode();
    }
    adapter.CloseAllNodes();
    adapter.EndScene();
  }

 private:
  void OpenOrCreate(std::uint64_t id) {
    AView3DAdapter& adapter = *view;
    if (!adapter.OpenNode(id)) adapter.CreateNode(id, L"group");
  }

  const Scene& scene;
  PluginLoader loader;
  platform::Window window;
  std::unique_ptr<AView3D> view;
};

using Body = std::function<void(benchmark::State&, const Scene&)>;

void Register(SceneKind kind, const std::string& row, const Body& body, int iterations = 0) {
  auto* registered =
      benchmark::RegisterBenchmark((bench::ShortName(kind) + "/" + row).c_str(),
                                   [kind, body](benchmark::State& state) { body(state, bench::GetScene(kind)); });
  registered->Unit(benchmark::kMillisecond)->UseRealTime();
  if (iterations > 0) registered->Iterations(iterations);
}

void RegisterView(SceneKind kind, bool big) {
  Register(kind, "View/Render", [](benchmark::State& state, const Scene& scene) {
    ViewBench bench(scene);
    for (auto _ : state) bench.View().Render();
  });
  Register(kind, "View/PickVisualAt centre", [](benchmark::State& state, const Scene& scene) {
    ViewBench bench(scene);
    // The first pick of a big mesh cuts it into chunks; "First PickVisualAt"
    // times that.
    RenderId first;
    bench.View().PickVisualAt(bench::kCentreX, bench::kCentreY, first);
    for (auto _ : state) {
      RenderId picked;
      if (!bench.View().PickVisualAt(bench::kCentreX, bench::kCentreY, picked)) state.SkipWithError("missed");
    }
  });
  Register(kind, "View/PickVisualAt corner", [](benchmark::State& state, const Scene& scene) {
    ViewBench bench(scene);
    for (auto _ : state) {
      RenderId picked;
      if (bench.View().PickVisualAt(bench::kCornerX, bench::kCornerY, picked)) state.SkipWithError("hit");
    }
  });
  Register(kind, "View/PickPoint centre", [](benchmark::State& state, const Scene& scene) {
    ViewBench bench(scene);
    float point[3] = {};
    // The first hit builds the item's hierarchy; "First PickPoint" times that.
    bench.View().PickPoint(bench::kCentreX, bench::kCentreY, point[0], point[1], point[2]);
    for (auto _ : state) {
      if (!bench.View().PickPoint(bench::kCentreX, bench::kCentreY, point[0], point[1], point[2])) {
        state.SkipWithError("missed");
      }
    }
  });
  Register(kind, "View/GetPointAtPixel centre", [](benchmark::State& state, const Scene& scene) {
    ViewBench bench(scene);
    float point[3] = {};
    for (auto _ : state) {
      bench.View().GetPointAtPixel(bench::kCentreX, bench::kCentreY, point[0], point[1], point[2]);
      benchmark::DoNotOptimize(point);
    }
  });
  const int slowIterations = big ? 3 : 10;
  Register(
      kind, "View/Build",
      [](benchmark::State& state, const Scene& scene) {
        ViewBench bench(scene);
        for (auto _ : state) {
          state.PauseTiming();
          bench.View().ClearAll();
          const auto items = bench.MakeItems();
          state.ResumeTiming();
          bench.Build(items);
        }
      },
      slowIterations);
  Register(
      kind, "View/Build nodes only",
      [](benchmark::State& state, const Scene& scene) {
        ViewBench bench(scene);
        for (auto _ : state) {
          state.PauseTiming();
          bench.View().ClearAll();
          state.ResumeTiming();
          bench.BuildNodesOnly();
        }
      },
      slowIterations);
  // Rows timing one call on a scene built afresh (and drawn once, when
  // `framed`) outside the timing, so that nothing built lazily is reused.
  const auto afterFreshBuild = [kind, slowIterations](const std::string& row, bool framed,
                                                      const std::function<void(benchmark::State&, AView3D&)>& timed) {
    Register(
        kind, row,
        [framed, timed](benchmark::State& state, const Scene& scene) {
          ViewBench bench(scene);
          for (auto _ : state) {
            state.PauseTiming();
            bench.View().ClearAll();
            bench.Build(bench.MakeItems());
            if (framed) bench.View().Render();
            state.ResumeTiming();
            timed(state, bench.View());
          }
        },
        slowIterations);
  };
  afterFreshBuild("View/ClearAll", false, [](benchmark::State&, AView3D& view) { view.ClearAll(); });
  afterFreshBuild("View/First frame", false, [](benchmark::State&, AView3D& view) { view.Render(); });
  afterFreshBuild("View/First PickVisualAt", true, [](benchmark::State& state, AView3D& view) {
    RenderId picked;
    if (!view.PickVisualAt(bench::kCentreX, bench::kCentreY, picked)) state.SkipWithError("missed");
  });
  afterFreshBuild("View/First PickPoint", true, [](benchmark::State& state, AView3D& view) {
    float point[3] = {};
    if (!view.PickPoint(bench::kCentreX, bench::kCentreY, point[0], point[1], point[2])) state.SkipWithError("missed");
  });
  Register(
      kind, "std::map/Insert ids",
      [](benchmark::State& state, const Scene& scene) {
        for (auto _ : state) {
          std::map<std::uint64_t, void*> map;
          for (const bench::NodePlacement& node : scene.nodes) map.emplace(node.id, nullptr);
          benchmark::DoNotOptimize(map);
          state.PauseTiming();
          map.clear();
          state.ResumeTiming();
        }
      },
      slowIterations);
  // The least a scene graph can allocate per node that the building
  // interface hands it: the id in an ordered map, and a leaf keeping its
  // name, the host's attributes and its list of items.
  Register(
      kind, "std::map/Insert leaves",
      [](benchmark::State& state, const Scene& scene) {
        struct Leaf {
          std::wstring name;
          std::unique_ptr<Attribute> colour;
          std::unique_ptr<Attribute> transform;
          std::vector<AGeometryItem*> items;
        };
        for (auto _ : state) {
          std::map<std::uint64_t, std::unique_ptr<Leaf>> map;
          for (const bench::NodePlacement& node : scene.nodes) {
            auto leaf = std::make_unique<Leaf>();
            leaf->name = L"piece";
            leaf->colour = std::make_unique<AttributeColor>(
                RGBAColor{node.colour[0], node.colour[1], node.colour[2], node.colour[3]});
            if (scene.translated) {
              double shift[16];
              AttributeTransform::SetIdentity(shift);
              shift[12] = node.x;
              shift[13] = node.y;
              leaf->transform = std::make_unique<AttributeTransform>(shift);
            }
            leaf->items.push_back(nullptr);
            map.emplace_hint(map.end(), node.id, std::move(leaf));
          }
          benchmark::DoNotOptimize(map);
          state.PauseTiming();
          map.clear();
          state.ResumeTiming();
        }
      },
      slowIterations);
}

void RegisterBareGl(SceneKind kind) {
  Register(kind, "Bare GL/Draw client arrays", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) gl.DrawClientArrays();
  });
  Register(kind, "Bare GL/Draw client arrays, node calls", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) gl.DrawClientArraysWithNodeCalls(false);
  });
  Register(kind, "Bare GL/Draw client arrays, node and item calls", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) gl.DrawClientArraysWithNodeCalls(true);
  });
  Register(kind, "Bare GL/Draw buffer objects", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    gl.DrawBufferObjects();
    for (auto _ : state) gl.DrawBufferObjects();
  });
  Register(kind, "Bare GL/Select centre", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) {
      if (gl.Select(bench::kCentreX, bench::kCentreY, false) <= 0) state.SkipWithError("missed");
    }
  });
  Register(kind, "Bare GL/Select centre, box test", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) {
      if (gl.Select(bench::kCentreX, bench::kCentreY, true) <= 0) state.SkipWithError("missed");
    }
  });
  Register(kind, "Bare GL/Select centre, box test, node calls", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::BareGl gl(scene);
    for (auto _ : state) {
      if (gl.SelectWithNodeCalls(bench::kCentreX, bench::kCentreY) <= 0) state.SkipWithError("missed");
    }
  });
}

#ifdef NIMBO_BENCH_OSG
void RegisterOsg(SceneKind kind, bool big) {
  Register(kind, "OSG/Frame", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::OsgBaseline osg(scene);
    osg.Frame();
    for (auto _ : state) osg.Frame();
  });
  Register(kind, "OSG/Pick centre", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::OsgBaseline osg(scene);
    osg.BuildKdTrees();
    osg.Frame();
    for (auto _ : state) {
      if (!osg.Pick(bench::kCentreX, bench::kCentreY)) state.SkipWithError("missed");
    }
  });
  Register(kind, "OSG/Pick corner", [](benchmark::State& state, const Scene& scene) {
    platform::OffscreenContext context(bench::kWidth, bench::kHeight);
    bench::OsgBaseline osg(scene);
    osg.BuildKdTrees();
    osg.Frame();
    for (auto _ : state) {
      if (osg.Pick(bench::kCornerX, bench::kCornerY)) state.SkipWithError("hit");
    }
  });
  // Rows timing one call on a scene graph made afresh outside the timing.
  const int slowIterations = big ? 2 : 5;
  const auto afterFreshGraph = [kind, slowIterations](const std::string& row,
                                                      const std::function<void(bench::OsgBaseline&)>& timed) {
    Register(
        kind, row,
        [timed](benchmark::State& state, const Scene& scene) {
          platform::OffscreenContext context(bench::kWidth, bench::kHeight);
          for (auto _ : state) {
            state.PauseTiming();
            auto osg = std::make_unique<bench::OsgBaseline>(scene);
            state.ResumeTiming();
            timed(*osg);
            state.PauseTiming();
            osg.reset();
            state.ResumeTiming();
          }
        },
        slowIterations);
  };
  afterFreshGraph("OSG/k-d tree build", [](bench::OsgBaseline& osg) { osg.BuildKdTrees(); });
  afterFreshGraph("OSG/First frame", [](bench::OsgBaseline& osg) { osg.Frame(); });
}
#endif

}  // namespace

int main(int argc, char** argv) {
  for (const SceneKind kind : {SceneKind::OneBigMesh, SceneKind::TenThousandNodes, SceneKind::HundredThousandNodes}) {
    const bool big = kind != SceneKind::TenThousandNodes;
    RegisterView(kind, big);
    RegisterBareGl(kind);
#ifdef NIMBO_BENCH_OSG
    RegisterOsg(kind, big);
#endif
  }
  {
    platform::OffscreenContext probe(bench::kWidth, bench::kHeight);
    benchmark::AddCustomContext("gl_renderer", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
