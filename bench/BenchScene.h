// The three benchmark scenes, described once so that the view, the bare GL
// loops and the reference toolkit all get exactly the same geometry, colours
// and transforms: (a) one node holding a 1,000,000-triangle mesh, (b) 10,000
// nodes of 100 triangles, (c) 100,000 nodes of 10 triangles, each node of
// (b) and (c) with its own colour and translation. Every scene covers the
// same 16 x 10 rectangle in the XY plane, facing +Z, which the camera sees
// whole from (0, 0, 12.5) with a 45 degree field of view at 1280 x 800.
#ifndef NIMBO_BENCH_BENCHSCENE_H
#define NIMBO_BENCH_BENCHSCENE_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr double kFieldOfViewDegrees = 45.0;
constexpr double kEyeDistance = 12.5;
// Where the hover picks happen: over a node in the middle (inside a node in
// every scene, not in the gaps, so that a single ray hits too), and over the
// empty margin in the top-left corner.
constexpr int kCentreX = kWidth / 2 + 1;
constexpr int kCentreY = kHeight / 2 + 1;
constexpr int kCornerX = 2;
constexpr int kCornerY = 2;

// A grid of quads, two triangles each, with one +Z normal per vertex.
struct Mesh {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;

  std::size_t TriangleCount() const { return indices.size() / 3; }
};

struct NodePlacement {
  std::uint64_t id = 0;
  double x = 0.0;
  double y = 0.0;
  std::array<std::uint8_t, 4> colour{};
};

enum class SceneKind { OneBigMesh, TenThousandNodes, HundredThousandNodes };

struct Scene {
  SceneKind kind = SceneKind::OneBigMesh;
  // The mesh every node holds, centred on the node's origin.
  Mesh mesh;
  std::vector<NodePlacement> nodes;
  // False for (a): its one node keeps the identity transform.
  bool translated = true;

  std::size_t TriangleCount() const { return mesh.TriangleCount() * nodes.size(); }
};

// Made once per kind and shared; building (a) takes a moment.
const Scene& GetScene(SceneKind kind);

// "a", "b" or "c".
std::string ShortName(SceneKind kind);

}  // namespace bench

#endif
