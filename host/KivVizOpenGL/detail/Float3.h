// The three-float vector the geometry kernels share with the vertex arrays
// they read (xyz triples). Header only: every operation is a one-liner that
// must inline into the BVH inner loops.
#ifndef NIMBO_HOST_KIVVIZOPENGL_DETAIL_FLOAT3_H
#define NIMBO_HOST_KIVVIZOPENGL_DETAIL_FLOAT3_H

#include <cmath>
#include <cstddef>
#include <span>

namespace KivVizOpenGL::detail {

struct Float3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  // Axis 0, 1 or 2. Read through a table of member pointers: no branch on
  // the axis, which BVH builds evaluate for every primitive at every level.
  constexpr float operator[](int axis) const {
    constexpr float Float3::*kAxes[3] = {&Float3::x, &Float3::y, &Float3::z};
    return this->*kAxes[axis];
  }

  // Reads vertex `index` from a flat xyz array.
  static Float3 At(std::span<const float> xyz, std::size_t index) {
    return {xyz[3 * index], xyz[3 * index + 1], xyz[3 * index + 2]};
  }

  friend constexpr Float3 operator+(const Float3& a, const Float3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend constexpr Float3 operator-(const Float3& a, const Float3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend constexpr Float3 operator*(const Float3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr bool operator==(const Float3&, const Float3&) = default;
};

inline bool IsFinite(const Float3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace KivVizOpenGL::detail

#endif
