#include "TestGeometryItem.h"

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace NimboTest {

namespace {

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Möller-Trumbore; t along the (not necessarily unit) direction.
bool HitTriangle(const float origin[3], const float direction[3], const float* a, const float* b, const float* c,
                 float& t) {
  const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const float p[3] = {direction[1] * e2[2] - direction[2] * e2[1], direction[2] * e2[0] - direction[0] * e2[2],
                      direction[0] * e2[1] - direction[1] * e2[0]};
  const float det = Dot(e1, p);
  if (std::fabs(det) < 1e-12f) {
    return false;
  }
  const float inverse = 1.0f / det;
  const float s[3] = {origin[0] - a[0], origin[1] - a[1], origin[2] - a[2]};
  const float u = Dot(s, p) * inverse;
  if (u < 0.0f || u > 1.0f) {
    return false;
  }
  const float q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
  const float v = Dot(direction, q) * inverse;
  if (v < 0.0f || u + v > 1.0f) {
    return false;
  }
  t = Dot(e2, q) * inverse;
  return true;
}

// The ray parameter of the point of the ray closest to p.
float ClosestParameter(const float origin[3], const float direction[3], const float* p) {
  const float toPoint[3] = {p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]};
  const float lengthSquared = Dot(direction, direction);
  return lengthSquared > 0.0f ? Dot(toPoint, direction) / lengthSquared : 0.0f;
}

float DistanceToRay(const float origin[3], const float direction[3], float t, const float* p) {
  const float onRay[3] = {origin[0] + t * direction[0], origin[1] + t * direction[1], origin[2] + t * direction[2]};
  const float d[3] = {p[0] - onRay[0], p[1] - onRay[1], p[2] - onRay[2]};
  return std::sqrt(Dot(d, d));
}

}  // namespace

TestGeometryItem::TestGeometryItem(std::uint64_t id, Kind kind, std::vector<float> vertices,
                                   std::vector<std::uint32_t> indices)
    : AGeometryItem(id), kind(kind), vertices(std::move(vertices)), indices(std::move(indices)) {}

void TestGeometryItem::Display(AView3DAdapter* adapter) {
  ++displayCount;
  lastAdapter = adapter;
  if (HasColor()) {
    glPushAttrib(GL_CURRENT_BIT);
    const RGBAColor& color = GetColor();
    glColor4ub(color.red, color.green, color.blue, color.alpha);
  }
  switch (kind) {
    case Kind::Points:
      glBegin(GL_POINTS);
      for (std::size_t i = 0; i + 2 < vertices.size(); i += 3) {
        glVertex3fv(&vertices[i]);
      }
      glEnd();
      break;
    case Kind::Lines:
    case Kind::Triangles:
      glBegin(kind == Kind::Lines ? GL_LINES : GL_TRIANGLES);
      for (std::uint32_t index : indices) {
        if (3 * static_cast<std::size_t>(index) + 2 < vertices.size()) {
          glVertex3fv(&vertices[3 * static_cast<std::size_t>(index)]);
        }
      }
      glEnd();
      break;
  }
  if (HasColor()) {
    glPopAttrib();
  }
}

bool TestGeometryItem::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                              float& parameter) const {
  float best = std::numeric_limits<float>::infinity();
  const auto consider = [&](float t) {
    if (t >= 0.0f && t <= scalar && t < best) {
      best = t;
    }
  };
  const std::size_t count = vertices.size() / 3;
  const auto vertex = [&](std::uint32_t index) -> const float* {
    return index < count ? &vertices[3 * static_cast<std::size_t>(index)] : nullptr;
  };
  switch (kind) {
    case Kind::Points:
      for (std::size_t i = 0; i < count; ++i) {
        const float* p = &vertices[3 * i];
        const float t = ClosestParameter(origin, direction, p);
        if (DistanceToRay(origin, direction, t, p) <= HitTolerance) {
          consider(t);
        }
      }
      break;
    case Kind::Lines:
      for (std::size_t i = 0; i + 1 < indices.size(); i += 2) {
        const float* a = vertex(indices[i]);
        const float* b = vertex(indices[i + 1]);
        if (a == nullptr || b == nullptr) {
          continue;
        }
        // Sample the segment finely enough for test geometry: the closest
        // sample within tolerance counts as the hit.
        constexpr int kSamples = 256;
        for (int s = 0; s <= kSamples; ++s) {
          const float f = static_cast<float>(s) / kSamples;
          const float p[3] = {a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1]), a[2] + f * (b[2] - a[2])};
          const float t = ClosestParameter(origin, direction, p);
          if (DistanceToRay(origin, direction, t, p) <= HitTolerance) {
            consider(t);
          }
        }
      }
      break;
    case Kind::Triangles:
      for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const float* a = vertex(indices[i]);
        const float* b = vertex(indices[i + 1]);
        const float* c = vertex(indices[i + 2]);
        float t = 0.0f;
        if (a != nullptr && b != nullptr && c != nullptr && HitTriangle(origin, direction, a, b, c, t)) {
          consider(t);
        }
      }
      break;
  }
  if (!std::isfinite(best)) {
    return false;
  }
  parameter = best;
  for (int k = 0; k < 3; ++k) {
    hitPoint[k] = origin[k] + best * direction[k];
  }
  return true;
}

bool TestGeometryItem::GetBoundingBox(float minimum[3], float maximum[3]) const {
  if (vertices.size() < 3) {
    return false;
  }
  for (int k = 0; k < 3; ++k) {
    minimum[k] = maximum[k] = vertices[static_cast<std::size_t>(k)];
  }
  for (std::size_t i = 3; i + 2 < vertices.size(); i += 3) {
    for (std::size_t k = 0; k < 3; ++k) {
      minimum[k] = std::min(minimum[k], vertices[i + k]);
      maximum[k] = std::max(maximum[k], vertices[i + k]);
    }
  }
  return true;
}

AGeometryItem* TestGeometryItemFactory::CreateTriangles(std::uint64_t id, const std::vector<float>& vertices,
                                                        const std::vector<float>& /*normals*/,
                                                        const std::vector<std::uint32_t>& indices) {
  made.push_back(new TestGeometryItem(id, TestGeometryItem::Kind::Triangles, vertices, indices));
  return made.back();
}

AGeometryItem* TestGeometryItemFactory::CreateLines(std::uint64_t id, const std::vector<float>& vertices,
                                                    const std::vector<std::uint32_t>& indices) {
  made.push_back(new TestGeometryItem(id, TestGeometryItem::Kind::Lines, vertices, indices));
  return made.back();
}

AGeometryItem* TestGeometryItemFactory::CreatePoints(std::uint64_t id, const std::vector<float>& vertices) {
  made.push_back(new TestGeometryItem(id, TestGeometryItem::Kind::Points, vertices));
  return made.back();
}

}  // namespace NimboTest
