// Exact tests of one ray against one primitive: the triangle intersection a
// mesh pick needs, and the closest approach to a segment or a point that a
// line or point pick accepts within a tolerance. The BVHs and any brute-force
// loop share these, so both give the same answers.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_RAYPRIMITIVE_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_RAYPRIMITIVE_H

#include <optional>

#include "Float3.h"
#include "Ray.h"

namespace KivVizOpenGL::detail {

// The hit point is origin + t * direction = (1 - u - v) p0 + u p1 + v p2.
struct TriangleIntersection {
  float t = 0.0f;
  float u = 0.0f;
  float v = 0.0f;
};

struct SegmentApproach {
  float t = 0.0f;                 // ray parameter of the closest ray point
  float segmentParameter = 0.0f;  // in [0, 1], from the segment's first end
  Float3 point;                   // the closest point on the segment
  float distance = 0.0f;          // between the two closest points
};

struct PointApproach {
  float t = 0.0f;         // ray parameter of the ray point closest to the point
  float distance = 0.0f;  // between that ray point and the point
};

// Moller-Trumbore in double precision, double-sided, edges and vertices
// included, for t in [0, maxT]. A degenerate triangle (collinear corners) is
// never hit, nor is a triangle whose plane contains the ray (seen edge-on).
std::optional<TriangleIntersection> IntersectTriangle(const Ray& ray, const Float3& p0, const Float3& p1,
                                                      const Float3& p2, float maxT);

// The closest approach between the ray's part t in [0, maxT] and segment ab,
// when they come within `tolerance` of each other. Where several ray points
// are equally close (the ray runs parallel to the segment) the nearest one is
// taken. A segment with a == b is a point.
std::optional<SegmentApproach> ApproachSegment(const Ray& ray, const Float3& a, const Float3& b, float tolerance,
                                               float maxT);

// The point of segment ab that the ray's origin sees nearest the ray's
// direction, among those in front of the origin whose projection onto the
// ray lies in t in (0, maxT]; when it lies within the cone of that half
// angle's tangent (its distance from the ray at most tangent * t * |d|).
// A segment running away from the origin is then found by its far part,
// where it comes closest in angle, not by its nearest point. t is the ray
// parameter of the point's projection onto the ray.
std::optional<SegmentApproach> ApproachSegmentInCone(const Ray& ray, const Float3& a, const Float3& b, float tangent,
                                                     float maxT);

// The closest approach between the ray's part t in [0, maxT] and a point,
// when it is within `tolerance`.
std::optional<PointApproach> ApproachPoint(const Ray& ray, const Float3& point, float tolerance, float maxT);

}  // namespace KivVizOpenGL::detail

#endif
