#include "RayPrimitive.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace KivVizOpenGL::detail {

namespace {

// Float inputs widened to double: differences of nearby floats and their
// products are then exact, so collinear corners give an exactly zero normal.
struct Double3 {
  double x, y, z;
};

Double3 Widen(const Float3& v) { return {v.x, v.y, v.z}; }
Double3 operator-(const Double3& a, const Double3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Double3 operator+(const Double3& a, const Double3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Double3 operator*(const Double3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(const Double3& a, const Double3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Double3 Cross(const Double3& a, const Double3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(const Double3& a) { return std::sqrt(Dot(a, a)); }

// Comparisons are written so that a NaN anywhere rejects the hit.
bool InUnitRange(double value) { return value >= 0.0 && value <= 1.0; }
bool InRayRange(double t, float maxT) { return t >= 0.0 && t <= static_cast<double>(maxT); }

}  // namespace

std::optional<TriangleIntersection> IntersectTriangle(const Ray& ray, const Float3& p0, const Float3& p1,
                                                      const Float3& p2, float maxT) {
  const Double3 origin = Widen(p0);
  const Double3 edge1 = Widen(p1) - origin;
  const Double3 edge2 = Widen(p2) - origin;
  const Double3 normal = Cross(edge1, edge2);
  if (normal.x == 0.0 && normal.y == 0.0 && normal.z == 0.0) {
    return std::nullopt;
  }
  const Double3 direction = Widen(ray.Direction());
  const Double3 p = Cross(direction, edge2);
  const double determinant = Dot(edge1, p);
  if (determinant == 0.0) {
    return std::nullopt;
  }
  const double inverse = 1.0 / determinant;
  const Double3 s = Widen(ray.Origin()) - origin;
  const double u = Dot(s, p) * inverse;
  if (!InUnitRange(u)) {
    return std::nullopt;
  }
  const Double3 q = Cross(s, edge1);
  const double v = Dot(direction, q) * inverse;
  if (!(v >= 0.0 && u + v <= 1.0)) {
    return std::nullopt;
  }
  const double t = Dot(edge2, q) * inverse;
  if (!InRayRange(t, maxT)) {
    return std::nullopt;
  }
  return TriangleIntersection{static_cast<float>(t), static_cast<float>(u), static_cast<float>(v)};
}

std::optional<SegmentApproach> ApproachSegment(const Ray& ray, const Float3& a, const Float3& b, float tolerance,
                                               float maxT) {
  if (!ray.IsValid()) {
    return std::nullopt;
  }
  const Double3 start = Widen(a);
  const Double3 edge = Widen(b) - start;
  const double edgeSquared = Dot(edge, edge);
  if (edgeSquared == 0.0) {
    const auto approach = ApproachPoint(ray, a, tolerance, maxT);
    if (!approach) {
      return std::nullopt;
    }
    return SegmentApproach{approach->t, 0.0f, a, approach->distance};
  }
  // Minimises |w + s d - u e|^2 over s in [0, maxT], u in [0, 1]: solve for
  // s, clamp, solve for u, clamp, and when u was clamped solve s again. This
  // sequence reaches the constrained minimum of the convex quadratic.
  const Double3 direction = Widen(ray.Direction());
  const Double3 w = Widen(ray.Origin()) - start;
  const double dd = Dot(direction, direction);
  const double de = Dot(direction, edge);
  const double dw = Dot(direction, w);
  const double ew = Dot(edge, w);
  const double sMax = static_cast<double>(maxT);
  if (!(sMax >= 0.0)) {
    return std::nullopt;
  }
  const double denominator = dd * edgeSquared - de * de;
  // Parallel lines: every s along the overlap is equally close; starting
  // from s = 0 makes the clamping below land on the nearest of them.
  double s = denominator > 0.0 ? std::clamp((de * ew - edgeSquared * dw) / denominator, 0.0, sMax) : 0.0;
  double u = (de * s + ew) / edgeSquared;
  if (u < 0.0) {
    u = 0.0;
    s = std::clamp(-dw / dd, 0.0, sMax);
  } else if (u > 1.0) {
    u = 1.0;
    s = std::clamp((de - dw) / dd, 0.0, sMax);
  }
  const Double3 onSegment = start + edge * u;
  const double distance = Length(w + direction * s - edge * u);
  if (!(distance <= static_cast<double>(tolerance))) {
    return std::nullopt;
  }
  return SegmentApproach{
      static_cast<float>(s), static_cast<float>(u),
      Float3{static_cast<float>(onSegment.x), static_cast<float>(onSegment.y), static_cast<float>(onSegment.z)},
      static_cast<float>(distance)};
}

std::optional<SegmentApproach> ApproachSegmentInCone(const Ray& ray, const Float3& a, const Float3& b, float tangent,
                                                     float maxT) {
  if (!ray.IsValid() || !(tangent >= 0.0f) || !(maxT > 0.0f)) {
    return std::nullopt;
  }
  const Double3 origin = Widen(ray.Origin());
  const Double3 direction = Widen(ray.Direction());
  const double dd = Dot(direction, direction);
  const Double3 startOffset = Widen(a) - origin;
  const Double3 edge = Widen(b) - Widen(a);
  // Ray parameters of the projections, linear along the segment.
  const double tStart = Dot(startOffset, direction) / dd;
  const double tSlope = Dot(edge, direction) / dd;
  // Only the part in front of the origin (by more than rounding) and up to
  // maxT can be seen along the ray.
  const double front =
      std::max(1e-9 * std::max(std::abs(tStart), std::abs(tStart + tSlope)), std::numeric_limits<double>::min());
  double u0 = 0.0;
  double u1 = 1.0;
  for (const auto& [bound, lower] : {std::pair{front, true}, std::pair{static_cast<double>(maxT), false}}) {
    if (tSlope == 0.0) {
      if (lower ? !(tStart >= bound) : !(tStart <= bound)) return std::nullopt;
      continue;
    }
    const double u = (bound - tStart) / tSlope;
    if ((tSlope > 0.0) == lower) {
      u0 = std::max(u0, u);
    } else {
      u1 = std::min(u1, u);
    }
  }
  if (!(u0 <= u1)) {
    return std::nullopt;
  }
  // Seen from the origin the segment is a segment again: on the plane one
  // ray parameter ahead, each point lies at its offset from the ray divided
  // by its t. The closest of those to the ray marks the point sought.
  const auto offsetAt = [&](double u) { return startOffset + edge * u; };
  const double t0 = tStart + tSlope * u0;
  const double t1 = tStart + tSlope * u1;
  const Double3 q0 = (offsetAt(u0) - direction * t0) * (1.0 / t0);
  const Double3 q1 = (offsetAt(u1) - direction * t1) * (1.0 / t1);
  const Double3 across = q1 - q0;
  const double acrossSquared = Dot(across, across);
  const double v = acrossSquared > 0.0 ? std::clamp(-Dot(q0, across) / acrossSquared, 0.0, 1.0) : 0.0;
  // The projection is not affine along the segment: v on the plane is
  // lambda = v t0 / (v t0 + (1 - v) t1) of the way from u0 to u1.
  const double lambda = v * t0 / (v * t0 + (1.0 - v) * t1);
  const double u = u0 + (u1 - u0) * lambda;
  const double t = tStart + tSlope * u;
  const Double3 offset = offsetAt(u);
  const double distance = Length(offset - direction * t);
  if (!(distance <= static_cast<double>(tangent) * t * std::sqrt(dd))) {
    return std::nullopt;
  }
  const Double3 point = origin + offset;
  return SegmentApproach{static_cast<float>(t), static_cast<float>(u),
                         Float3{static_cast<float>(point.x), static_cast<float>(point.y), static_cast<float>(point.z)},
                         static_cast<float>(distance)};
}

std::optional<PointApproach> ApproachPoint(const Ray& ray, const Float3& point, float tolerance, float maxT) {
  const double sMax = static_cast<double>(maxT);
  if (!ray.IsValid() || !(sMax >= 0.0)) {
    return std::nullopt;
  }
  const Double3 direction = Widen(ray.Direction());
  const Double3 toPoint = Widen(point) - Widen(ray.Origin());
  const double s = std::clamp(Dot(toPoint, direction) / Dot(direction, direction), 0.0, sMax);
  const double distance = Length(direction * s - toPoint);
  if (!(distance <= static_cast<double>(tolerance))) {
    return std::nullopt;
  }
  return PointApproach{static_cast<float>(s), static_cast<float>(distance)};
}

}  // namespace KivVizOpenGL::detail
