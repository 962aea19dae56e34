// What the scene items cost against bare GL in the same context: a
// selection pass through a 4 x 4 pick box (items skip what lies outside the
// box's view volume; bare GL sends everything), a full draw where nothing
// can be skipped, and RayHit on a mesh of a million triangles against a
// brute-force loop over every triangle.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "KivVizOpenGL/GeometryItemPointsGL.h"
#include "KivVizOpenGL/GeometryItemTrianglesGL.h"
#include "detail/PointBvh.h"
#include "detail/RayPrimitive.h"
#include "platform/OffscreenContext.h"
#include "platform/Window.h"

namespace {

constexpr int kSize = 512;

struct Mesh {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
};

// An n x n grid of quads over [x0, x0 + size] x [y0, y0 + size], gently
// waved: 2 n^2 triangles.
Mesh WavyGrid(int n, float x0, float y0, float size) {
  Mesh mesh;
  for (int row = 0; row <= n; ++row) {
    for (int column = 0; column <= n; ++column) {
      const float x = x0 + size * static_cast<float>(column) / static_cast<float>(n);
      const float y = y0 + size * static_cast<float>(row) / static_cast<float>(n);
      mesh.vertices.insert(mesh.vertices.end(), {x, y, 0.05f * std::sin(9.0f * x) * std::cos(7.0f * y)});
      mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
    }
  }
  const auto stride = static_cast<std::uint32_t>(n + 1);
  for (std::uint32_t row = 0; row < static_cast<std::uint32_t>(n); ++row) {
    for (std::uint32_t column = 0; column < static_cast<std::uint32_t>(n); ++column) {
      const std::uint32_t a = row * stride + column;
      mesh.indices.insert(mesh.indices.end(), {a, a + 1, a + stride + 1, a, a + stride + 1, a + stride});
    }
  }
  return mesh;
}

std::unique_ptr<GeometryItemTrianglesGL> ItemOf(const Mesh& mesh) {
  return std::make_unique<GeometryItemTrianglesGL>(1, mesh.vertices, mesh.normals, mesh.indices);
}

// The context and the scenes, made once for all benchmarks.
class Bench {
 public:
  Bench() : context(kSize, kSize) {
    glViewport(0, 0, kSize, kSize);
    glEnable(GL_DEPTH_TEST);

    // 708^2 quads: 1,002,528 triangles in one mesh.
    bigMesh = WavyGrid(708, -1.0f, -1.0f, 2.0f);
    bigItem = ItemOf(bigMesh);
    // 32 x 32 tiles of 22^2 quads: 991,232 triangles in 1024 items.
    for (int row = 0; row < 32; ++row) {
      for (int column = 0; column < 32; ++column) {
        tiles.push_back(WavyGrid(22, -1.0f + column / 16.0f, -1.0f + row / 16.0f, 1.0f / 16.0f));
        tileItems.push_back(ItemOf(tiles.back()));
      }
    }
    // Items build their chunks (in a selection pass) and hierarchies on
    // first use; benchmarks time the steady state.
    SelectionPass([this] {
      bigItem->Display(nullptr);
      for (auto& item : tileItems) item->Display(nullptr);
    });
    const float origin[3] = {0, 0, 3};
    const float down[3] = {0, 0, -1};
    float hit[3];
    float t = 0.0f;
    bigItem->RayHit(origin, down, 10.0f, hit, t);
    glFinish();
  }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  // Perspective onto the grid from z = 3 (or `eyeHeight`); with a pick box
  // around the centre pixel and the camera on the projection, as a view's
  // selection pass has it.
  static void SetUpView(bool pickBox, double eyeHeight = 3.0) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (pickBox) {
      GLint viewport[4] = {0, 0, kSize, kSize};
      gluPickMatrix(kSize / 2.0 + 0.5, kSize / 2.0 + 0.5, 4.0, 4.0, viewport);
    }
    gluPerspective(45.0, 1.0, eyeHeight / 6.0, 20.0);
    gluLookAt(0.1, -0.2, eyeHeight, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }

  template <typename Draw>
  static GLint SelectionPass(Draw&& draw) {
    static GLuint buffer[1000];
    glSelectBuffer(1000, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    SetUpView(true);
    draw();
    glPopName();
    return glRenderMode(GL_RENDER);
  }

  static void DrawBare(const Mesh& mesh) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, mesh.indices.data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
  }

  platform::OffscreenContext context;
  Mesh bigMesh;
  std::unique_ptr<GeometryItemTrianglesGL> bigItem;
  std::vector<Mesh> tiles;
  std::vector<std::unique_ptr<GeometryItemTrianglesGL>> tileItems;
};

Bench* bench = nullptr;

void ReportTriangles(benchmark::State& state, std::size_t triangles) {
  state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_SelectOneMesh_Items(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass([] {
      glPushName(1);
      bench->bigItem->Display(nullptr);
      glPopName();
    }));
  }
  ReportTriangles(state, bench->bigMesh.indices.size() / 3);
}
BENCHMARK(BM_SelectOneMesh_Items)->Unit(benchmark::kMillisecond);

void BM_SelectOneMesh_BareGL(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass([] {
      glPushName(1);
      Bench::DrawBare(bench->bigMesh);
      glPopName();
    }));
  }
  ReportTriangles(state, bench->bigMesh.indices.size() / 3);
}
BENCHMARK(BM_SelectOneMesh_BareGL)->Unit(benchmark::kMillisecond);

// The mesh's half a million vertices as a point cloud: an item, which the
// first pass chunks, against every point sent to GL.
void BM_SelectPointCloud_Items(benchmark::State& state) {
  GeometryItemPointsGL points(1, bench->bigMesh.vertices);
  const auto pass = [&] {
    glPushName(1);
    points.Display(nullptr);
    glPopName();
  };
  Bench::SelectionPass(pass);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass(pass));
  }
}
BENCHMARK(BM_SelectPointCloud_Items)->Unit(benchmark::kMillisecond);

void BM_SelectPointCloud_BareGL(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass([] {
      glPushName(1);
      glEnableClientState(GL_VERTEX_ARRAY);
      glVertexPointer(3, GL_FLOAT, 0, bench->bigMesh.vertices.data());
      glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(bench->bigMesh.vertices.size() / 3));
      glDisableClientState(GL_VERTEX_ARRAY);
      glPopName();
    }));
  }
}
BENCHMARK(BM_SelectPointCloud_BareGL)->Unit(benchmark::kMillisecond);

void BM_SelectTiles_Items(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass([] {
      GLuint name = 1;
      for (const auto& item : bench->tileItems) {
        glPushName(name++);
        item->Display(nullptr);
        glPopName();
      }
    }));
  }
}
BENCHMARK(BM_SelectTiles_Items)->Unit(benchmark::kMillisecond);

void BM_SelectTiles_BareGL(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bench::SelectionPass([] {
      GLuint name = 1;
      for (const Mesh& tile : bench->tiles) {
        glPushName(name++);
        Bench::DrawBare(tile);
        glPopName();
      }
    }));
  }
}
BENCHMARK(BM_SelectTiles_BareGL)->Unit(benchmark::kMillisecond);

// Frames of the big mesh seen from `eyeHeight`, after one untimed frame
// (where an item builds what it skips chunks with).
template <typename Draw>
void DrawFrames(benchmark::State& state, double eyeHeight, Draw&& draw) {
  Bench::SetUpView(false, eyeHeight);
  draw();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    glFinish();
  }
}

// Everything in view: what the culling tests cost when they skip nothing.
constexpr double kWholeViewHeight = 3.0;
// Close up, about a hundredth of the mesh in view: frames skip the runs of
// triangles outside it and draw the rest in the mesh's own order.
constexpr double kCloseUpHeight = 0.25;

void BM_DrawOneMesh_Items(benchmark::State& state) {
  DrawFrames(state, kWholeViewHeight, [] { bench->bigItem->Display(nullptr); });
}
BENCHMARK(BM_DrawOneMesh_Items)->Unit(benchmark::kMillisecond);

void BM_DrawOneMesh_BareGL(benchmark::State& state) {
  DrawFrames(state, kWholeViewHeight, [] { Bench::DrawBare(bench->bigMesh); });
}
BENCHMARK(BM_DrawOneMesh_BareGL)->Unit(benchmark::kMillisecond);

void BM_DrawOneMeshCloseUp_Items(benchmark::State& state) {
  DrawFrames(state, kCloseUpHeight, [] { bench->bigItem->Display(nullptr); });
}
BENCHMARK(BM_DrawOneMeshCloseUp_Items)->Unit(benchmark::kMillisecond);

void BM_DrawOneMeshCloseUp_BareGL(benchmark::State& state) {
  DrawFrames(state, kCloseUpHeight, [] { Bench::DrawBare(bench->bigMesh); });
}
BENCHMARK(BM_DrawOneMeshCloseUp_BareGL)->Unit(benchmark::kMillisecond);

// Rays from above the grid to random points on it (fixed seed).
struct PickRay {
  float origin[3];
  float direction[3];
};

std::vector<PickRay> PickRays() {
  std::mt19937 random(1234);
  std::uniform_real_distribution<float> across(-0.95f, 0.95f);
  std::vector<PickRay> rays;
  for (int i = 0; i < 256; ++i) {
    PickRay ray{{across(random), across(random), 3.0f}, {0, 0, 0}};
    const float target[3] = {across(random), across(random), 0.0f};
    for (int k = 0; k < 3; ++k) ray.direction[k] = target[k] - ray.origin[k];
    rays.push_back(ray);
  }
  return rays;
}

void BM_RayHitMillionTriangles_Item(benchmark::State& state) {
  const std::vector<PickRay> rays = PickRays();
  std::size_t next = 0;
  int hits = 0;
  for (auto _ : state) {
    const PickRay& ray = rays[next++ % rays.size()];
    float point[3];
    float t = 0.0f;
    hits += bench->bigItem->RayHit(ray.origin, ray.direction, 10.0f, point, t) ? 1 : 0;
    benchmark::DoNotOptimize(point);
  }
  state.counters["hit ratio"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RayHitMillionTriangles_Item)->Unit(benchmark::kMicrosecond);

void BM_RayHitMillionTriangles_BruteForce(benchmark::State& state) {
  using KivVizOpenGL::detail::Float3;
  const std::vector<PickRay> rays = PickRays();
  const Mesh& mesh = bench->bigMesh;
  std::size_t next = 0;
  int hits = 0;
  for (auto _ : state) {
    const PickRay& pick = rays[next++ % rays.size()];
    const KivVizOpenGL::detail::Ray ray(Float3{pick.origin[0], pick.origin[1], pick.origin[2]},
                                        Float3{pick.direction[0], pick.direction[1], pick.direction[2]});
    float nearest = 10.0f;
    bool hit = false;
    for (std::size_t triangle = 0; triangle < mesh.indices.size() / 3; ++triangle) {
      const auto found =
          KivVizOpenGL::detail::IntersectTriangle(ray, Float3::At(mesh.vertices, mesh.indices[3 * triangle]),
                                                  Float3::At(mesh.vertices, mesh.indices[3 * triangle + 1]),
                                                  Float3::At(mesh.vertices, mesh.indices[3 * triangle + 2]), nearest);
      if (found) {
        nearest = found->t;
        hit = true;
      }
    }
    hits += hit ? 1 : 0;
    benchmark::DoNotOptimize(nearest);
  }
  state.counters["hit ratio"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RayHitMillionTriangles_BruteForce)->Unit(benchmark::kMicrosecond);

// Times the first RayHit straight down onto items made afresh, outside the
// timing, by `make`.
template <typename MakeItem>
void TimeFirstRayHit(benchmark::State& state, MakeItem&& make) {
  const float origin[3] = {0, 0, 3};
  const float down[3] = {0, 0, -1};
  for (auto _ : state) {
    state.PauseTiming();
    auto item = make();
    state.ResumeTiming();
    float point[3];
    float t = 0.0f;
    benchmark::DoNotOptimize(item->RayHit(origin, down, 10.0f, point, t));
    state.PauseTiming();
    item.reset();
    state.ResumeTiming();
  }
}

// The one-off cost of the first RayHit of a mesh no pass has chunked: it
// chunks the mesh and builds the hierarchies the ray reaches.
void BM_RayHitMillionTriangles_FirstCall(benchmark::State& state) {
  TimeFirstRayHit(state, [] { return ItemOf(bench->bigMesh); });
}
BENCHMARK(BM_RayHitMillionTriangles_FirstCall)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same for the mesh's vertices as a point cloud, against what it cost
// before clouds were chunked: one hierarchy over every point.
void BM_RayHitPointCloud_FirstCall(benchmark::State& state) {
  TimeFirstRayHit(state, [] { return std::make_unique<GeometryItemPointsGL>(1, bench->bigMesh.vertices); });
  state.counters["points"] = static_cast<double>(bench->bigMesh.vertices.size() / 3);
}
BENCHMARK(BM_RayHitPointCloud_FirstCall)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RayHitPointCloud_FirstCallOneHierarchy(benchmark::State& state) {
  for (auto _ : state) {
    const KivVizOpenGL::detail::PointBvh bvh(bench->bigMesh.vertices);
    benchmark::DoNotOptimize(bvh.Intersect({0, 0, 3}, {0, 0, -1}, 0.003f, 10.0f));
  }
}
BENCHMARK(BM_RayHitPointCloud_FirstCallOneHierarchy)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  {
    Bench shared;
    bench = &shared;
    benchmark::RunSpecifiedBenchmarks();
    bench = nullptr;
  }
  benchmark::Shutdown();
  return 0;
}
