// Ray picking and view-volume culling on a million-triangle mesh: the BVH
// against brute force over the same triangles, its one-time build, the line
// and point hierarchies, and a selection pass through a 4 x 4 pick box with
// chunk culling against the bare GL loop that draws every triangle in the
// same context.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "detail/ChunkedTriangleBvh.h"
#include "detail/PointBvh.h"
#include "detail/Ray.h"
#include "detail/RayPrimitive.h"
#include "detail/SegmentBvh.h"
#include "detail/SpatialChunker.h"
#include "detail/TriangleBvh.h"
#include "detail/ViewVolume.h"
#include "platform/OffscreenContext.h"
#include "platform/Window.h"

namespace {

using KivVizOpenGL::detail::ChunkedMesh;
using KivVizOpenGL::detail::ChunkedTriangleBvh;
using KivVizOpenGL::detail::Float3;
using KivVizOpenGL::detail::MeshChunk;
using KivVizOpenGL::detail::PointBvh;
using KivVizOpenGL::detail::Ray;
using KivVizOpenGL::detail::SegmentBvh;
using KivVizOpenGL::detail::SpatialChunker;
using KivVizOpenGL::detail::TriangleBvh;
using KivVizOpenGL::detail::ViewVolume;

// 1000 x 500 quads, two triangles each: 1,000,000 triangles (those at the
// poles degenerate, as in any UV sphere).
constexpr std::uint32_t kSlices = 1000;
constexpr std::uint32_t kStacks = 500;
constexpr int kViewport = 800;

struct Sphere {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
};

// A unit sphere with its radius jittered by up to 1%, so that rays do not
// all meet the same smooth surface.
const Sphere& MillionTriangleSphere() {
  static const Sphere sphere = [] {
    Sphere s;
    std::mt19937 random(1);
    std::uniform_real_distribution<float> jitter(0.99f, 1.01f);
    for (std::uint32_t stack = 0; stack <= kStacks; ++stack) {
      const double polar = std::numbers::pi * stack / kStacks;
      for (std::uint32_t slice = 0; slice <= kSlices; ++slice) {
        const double azimuth = 2 * std::numbers::pi * slice / kSlices;
        const float n[3] = {static_cast<float>(std::sin(polar) * std::cos(azimuth)),
                            static_cast<float>(std::sin(polar) * std::sin(azimuth)),
                            static_cast<float>(std::cos(polar))};
        const float r = jitter(random);
        s.vertices.insert(s.vertices.end(), {n[0] * r, n[1] * r, n[2] * r});
        s.normals.insert(s.normals.end(), {n[0], n[1], n[2]});
      }
    }
    for (std::uint32_t stack = 0; stack < kStacks; ++stack) {
      for (std::uint32_t slice = 0; slice < kSlices; ++slice) {
        const std::uint32_t v = stack * (kSlices + 1) + slice;
        const std::uint32_t below = v + kSlices + 1;
        s.indices.insert(s.indices.end(), {v, below, v + 1, v + 1, below, below + 1});
      }
    }
    return s;
  }();
  return sphere;
}

struct PickRay {
  Float3 origin;
  Float3 direction;
};

// From random points at distance 3 towards random points within 1.2 of the
// centre: most hit the sphere, some pass beside it.
std::vector<PickRay> PickRays() {
  std::mt19937 random(2);
  std::normal_distribution<float> gauss;
  std::uniform_real_distribution<float> spread(-1.2f, 1.2f);
  std::vector<PickRay> rays;
  for (int i = 0; i < 1024; ++i) {
    Float3 eye{gauss(random), gauss(random), gauss(random)};
    eye = eye * (3.0f / std::sqrt(eye.x * eye.x + eye.y * eye.y + eye.z * eye.z));
    const Float3 target{spread(random), spread(random), spread(random)};
    rays.push_back({eye, target - eye});
  }
  return rays;
}

void BM_TriangleBvhBuild(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  for (auto _ : state) {
    const TriangleBvh bvh(sphere.vertices, sphere.indices);
    benchmark::DoNotOptimize(bvh.Hierarchy().Nodes().data());
  }
  state.counters["triangles"] = static_cast<double>(sphere.indices.size() / 3);
}
BENCHMARK(BM_TriangleBvhBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

// What a big mesh's first pick pays before drawing: the split into the
// spatial chunks of 256 triangles that selection passes draw.
void BM_SpatialChunkerSplit(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  for (auto _ : state) {
    const ChunkedMesh chunked = SpatialChunker(256, 3).Split(sphere.vertices, {}, sphere.indices);
    benchmark::DoNotOptimize(chunked.chunks.data());
  }
  state.counters["triangles"] = static_cast<double>(sphere.indices.size() / 3);
}
BENCHMARK(BM_SpatialChunkerSplit)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TriangleBvhIntersect(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  const TriangleBvh bvh(sphere.vertices, sphere.indices);
  const std::vector<PickRay> rays = PickRays();
  std::size_t next = 0;
  for (auto _ : state) {
    const PickRay& ray = rays[next++ % rays.size()];
    benchmark::DoNotOptimize(bvh.Intersect(ray.origin, ray.direction));
  }
}
BENCHMARK(BM_TriangleBvhIntersect)->Unit(benchmark::kMicrosecond);

const ChunkedMesh& MillionTriangleChunks() {
  static const ChunkedMesh chunked =
      SpatialChunker(256, 3).Split(MillionTriangleSphere().vertices, {}, MillionTriangleSphere().indices);
  return chunked;
}

// What a big mesh's first ray hit pays once a pick has chunked it, against
// BM_TriangleBvhBuild: the hierarchy over the chunks and those it reaches.
void BM_ChunkedTriangleBvhFirstRay(benchmark::State& state) {
  const ChunkedMesh& chunked = MillionTriangleChunks();
  const PickRay ray = PickRays().front();
  for (auto _ : state) {
    const ChunkedTriangleBvh bvh(chunked);
    benchmark::DoNotOptimize(bvh.Intersect(ray.origin, ray.direction));
  }
}
BENCHMARK(BM_ChunkedTriangleBvhFirstRay)->Unit(benchmark::kMillisecond)->Iterations(3);

// Against BM_TriangleBvhIntersect, once every chunk the rays reach has its
// own hierarchy.
void BM_ChunkedTriangleBvhIntersect(benchmark::State& state) {
  const ChunkedTriangleBvh bvh(MillionTriangleChunks());
  const std::vector<PickRay> rays = PickRays();
  for (const PickRay& ray : rays) bvh.Intersect(ray.origin, ray.direction);
  std::size_t next = 0;
  for (auto _ : state) {
    const PickRay& ray = rays[next++ % rays.size()];
    benchmark::DoNotOptimize(bvh.Intersect(ray.origin, ray.direction));
  }
}
BENCHMARK(BM_ChunkedTriangleBvhIntersect)->Unit(benchmark::kMicrosecond);

// The baseline: every triangle tested with the same exact routine.
void BM_BruteForceIntersect(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  const std::vector<PickRay> rays = PickRays();
  std::size_t next = 0;
  for (auto _ : state) {
    const PickRay& pick = rays[next++ % rays.size()];
    const Ray ray(pick.origin, pick.direction);
    float nearest = std::numeric_limits<float>::infinity();
    for (std::size_t t = 0; t < sphere.indices.size(); t += 3) {
      const auto hit = KivVizOpenGL::detail::IntersectTriangle(
          ray, Float3::At(sphere.vertices, sphere.indices[t]), Float3::At(sphere.vertices, sphere.indices[t + 1]),
          Float3::At(sphere.vertices, sphere.indices[t + 2]), nearest);
      if (hit) {
        nearest = hit->t;
      }
    }
    benchmark::DoNotOptimize(nearest);
  }
}
BENCHMARK(BM_BruteForceIntersect)->Unit(benchmark::kMillisecond);

// The sphere's half a million vertices as one line strip and as a point
// cloud, picked with a tolerance of about one pixel at distance 3.
void BM_SegmentBvhIntersect(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  std::vector<std::uint32_t> strip;
  for (std::uint32_t v = 0; v + 1 < sphere.vertices.size() / 3; ++v) {
    strip.insert(strip.end(), {v, v + 1});
  }
  const SegmentBvh bvh(sphere.vertices, strip);
  const std::vector<PickRay> rays = PickRays();
  std::size_t next = 0;
  for (auto _ : state) {
    const PickRay& ray = rays[next++ % rays.size()];
    benchmark::DoNotOptimize(bvh.Intersect(ray.origin, ray.direction, 0.003f));
  }
  state.counters["segments"] = static_cast<double>(bvh.SegmentCount());
}
BENCHMARK(BM_SegmentBvhIntersect)->Unit(benchmark::kMicrosecond);

void BM_PointBvhIntersect(benchmark::State& state) {
  const Sphere& sphere = MillionTriangleSphere();
  const PointBvh bvh(sphere.vertices);
  const std::vector<PickRay> rays = PickRays();
  std::size_t next = 0;
  for (auto _ : state) {
    const PickRay& ray = rays[next++ % rays.size()];
    benchmark::DoNotOptimize(bvh.Intersect(ray.origin, ray.direction, 0.003f));
  }
  state.counters["points"] = static_cast<double>(bvh.PointCount());
}
BENCHMARK(BM_PointBvhIntersect)->Unit(benchmark::kMicrosecond);

// A context with the sphere chunked and a 4 x 4 pixel pick matrix at the
// centre of an 800 x 800 view, looking at the sphere from distance 3.
class SelectionFixture {
 public:
  SelectionFixture()
      : context(kViewport, kViewport),
        mesh(SpatialChunker(2048, 3).Split(MillionTriangleSphere().vertices, MillionTriangleSphere().normals,
                                           MillionTriangleSphere().indices)) {
    glViewport(0, 0, kViewport, kViewport);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPickMatrix(kViewport / 2.0 + 0.5, kViewport / 2.0 + 0.5, 4, 4, viewport);
    gluPerspective(45.0, 1.0, 0.5, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.3, 0.4, 3.0, 0, 0, 0, 0, 1, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    selectBuffer.resize(64);
  }
  ~SelectionFixture() { glDisableClientState(GL_VERTEX_ARRAY); }
  SelectionFixture(const SelectionFixture&) = delete;
  SelectionFixture& operator=(const SelectionFixture&) = delete;

  const ChunkedMesh& Mesh() const { return mesh; }

  // One selection pass with the sphere as one named item; returns its hit
  // record (names, min depth, max depth, name) or an empty one.
  template <typename Draw>
  std::vector<GLuint> Select(Draw&& draw) {
    glSelectBuffer(static_cast<GLsizei>(selectBuffer.size()), selectBuffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(7);
    draw();
    const GLint hits = glRenderMode(GL_RENDER);
    return hits > 0 ? std::vector<GLuint>(selectBuffer.begin(), selectBuffer.begin() + 4) : std::vector<GLuint>{};
  }

  void DrawAll() const {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, mesh.indices.data());
  }

  // Returns the number of chunks drawn.
  int DrawVisibleChunks() const {
    const ViewVolume volume = ViewVolume::FromCurrentGL();
    int drawn = 0;
    for (const MeshChunk& chunk : mesh.chunks) {
      if (!volume.Intersects(chunk.bounds)) {
        continue;
      }
      glDrawRangeElements(GL_TRIANGLES, chunk.firstVertex, chunk.firstVertex + chunk.vertexCount - 1,
                          static_cast<GLsizei>(3 * chunk.primitiveCount), GL_UNSIGNED_INT,
                          mesh.indices.data() + 3 * std::size_t{chunk.firstPrimitive});
      ++drawn;
    }
    return drawn;
  }

 private:
  platform::OffscreenContext context;
  ChunkedMesh mesh;
  std::vector<GLuint> selectBuffer;
};

// The bare loop: every triangle through the selection pipeline.
void BM_SelectionPassAllTriangles(benchmark::State& state) {
  SelectionFixture fixture;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fixture.Select([&] { fixture.DrawAll(); }));
  }
}
BENCHMARK(BM_SelectionPassAllTriangles)->Unit(benchmark::kMillisecond);

void BM_SelectionPassCulledChunks(benchmark::State& state) {
  SelectionFixture fixture;
  int drawn = 0;
  const auto culled = fixture.Select([&] { drawn = fixture.DrawVisibleChunks(); });
  if (culled.empty() || culled != fixture.Select([&] { fixture.DrawAll(); })) {
    state.SkipWithError("culling changed the hit record");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(fixture.Select([&] { fixture.DrawVisibleChunks(); }));
  }
  state.counters["chunks"] = static_cast<double>(fixture.Mesh().chunks.size());
  state.counters["drawn"] = drawn;
}
BENCHMARK(BM_SelectionPassCulledChunks)->Unit(benchmark::kMillisecond);

// The culling decision alone: reading the matrices and testing every box.
void BM_ChunkCullTest(benchmark::State& state) {
  SelectionFixture fixture;
  for (auto _ : state) {
    const ViewVolume volume = ViewVolume::FromCurrentGL();
    int visible = 0;
    for (const MeshChunk& chunk : fixture.Mesh().chunks) {
      visible += volume.Intersects(chunk.bounds) ? 1 : 0;
    }
    benchmark::DoNotOptimize(visible);
  }
}
BENCHMARK(BM_ChunkCullTest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
