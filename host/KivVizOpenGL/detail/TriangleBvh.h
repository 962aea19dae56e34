// Ray picking on a triangle mesh: a BVH built once from the mesh's vertex
// and index arrays, answering the nearest exact hit in logarithmic time.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_TRIANGLEBVH_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_TRIANGLEBVH_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "Bvh.h"
#include "Float3.h"

namespace KivVizOpenGL::detail {

// The hit point is (1 - u - v) * corner0 + u * corner1 + v * corner2 of
// triangle `triangle` (its position in the index array, divided by three).
struct TriangleHit {
  std::uint32_t triangle = 0;
  float t = 0.0f;
  float u = 0.0f;
  float v = 0.0f;
};

class TriangleBvh {
 public:
  // Hits nothing.
  TriangleBvh() = default;
  // `vertices` holds x, y, z per vertex and `indices` three vertex indices
  // per triangle; both are copied. Throws std::invalid_argument when a size
  // is not a multiple of three or an index is out of range.
  TriangleBvh(std::span<const float> vertices, std::span<const std::uint32_t> indices);

  // The nearest hit of origin + t * direction, t in [0, maxT], front or back
  // face; among equally near hits the lowest triangle index. Degenerate
  // triangles and triangles with non-finite corners are never hit.
  std::optional<TriangleHit> Intersect(const Float3& origin, const Float3& direction,
                                       float maxT = std::numeric_limits<float>::infinity()) const;

  std::size_t TriangleCount() const { return triangleCount; }
  const Bvh& Hierarchy() const { return bvh; }

 private:
  Bvh bvh;
  // Corners of the triangles in the hierarchy, three per triangle, in leaf
  // order, so that a leaf reads one contiguous block.
  std::vector<Float3> corners;
  std::vector<std::uint32_t> triangleIds;
  std::size_t triangleCount = 0;
};

}  // namespace KivVizOpenGL::detail

#endif
