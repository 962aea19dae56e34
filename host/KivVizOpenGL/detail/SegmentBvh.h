// Ray picking on line segments (a polyline or a line set): a BVH over the
// segments answers the nearest segment that passes within a tolerance of the
// ray.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_SEGMENTBVH_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_SEGMENTBVH_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "Bvh.h"
#include "Float3.h"

namespace KivVizOpenGL::detail {

struct SegmentHit {
  std::uint32_t segment = 0;      // position in the index array, divided by two
  float t = 0.0f;                 // ray parameter of the closest ray point
  float segmentParameter = 0.0f;  // in [0, 1], from the segment's first vertex
  Float3 point;                   // closest point on the segment
  float distance = 0.0f;          // from the ray
};

class SegmentBvh {
 public:
  // Hits nothing.
  SegmentBvh() = default;
  // `vertices` holds x, y, z per vertex and `indices` two vertex indices per
  // segment (as drawn with GL_LINES); both are copied. Throws
  // std::invalid_argument when vertices.size() is not a multiple of 3,
  // indices.size() is odd or an index is out of range.
  SegmentBvh(std::span<const float> vertices, std::span<const std::uint32_t> indices);

  // The segment whose closest approach to origin + t * direction, t in
  // [0, maxT], is within `tolerance` and has the smallest t; among equal t
  // the lowest segment index (two segments meeting at a vertex). Segments
  // with a non-finite end are never hit.
  std::optional<SegmentHit> Intersect(const Float3& origin, const Float3& direction, float tolerance,
                                      float maxT = std::numeric_limits<float>::infinity()) const;

  std::size_t SegmentCount() const { return segmentCount; }
  const Bvh& Hierarchy() const { return bvh; }

 private:
  Bvh bvh;
  // Segment ends in leaf order, two per segment.
  std::vector<Float3> ends;
  std::vector<std::uint32_t> segmentIds;
  std::size_t segmentCount = 0;
};

}  // namespace KivVizOpenGL::detail

#endif
