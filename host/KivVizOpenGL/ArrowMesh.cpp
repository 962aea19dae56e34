#include "ArrowMesh.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ClientArrays.h"

namespace KivVizOpenGL {

ArrowMesh::ArrowMesh(int slices, int stacks, float length, float shaftLength, float shaftRadius, float coneRadius) {
  slices = std::max(slices, 3);
  stacks = std::max(stacks, 1);
  shaftLength = std::clamp(shaftLength, 0.0f, std::max(length, 0.0f));
  AddDownwardRing(slices, 0.0f, shaftRadius, 0.0f);
  AddMantle(slices, stacks, shaftRadius, 0.0f, shaftRadius, shaftLength);
  AddDownwardRing(slices, shaftRadius, coneRadius, shaftLength);
  AddMantle(slices, stacks, coneRadius, shaftLength, 0.0f, length);
}

void ArrowMesh::Draw() const {
  UseClientArrays(vertices.data(), normals.data());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
}

void ArrowMesh::AddMantle(int slices, int stacks, float radius0, float z0, float radius1, float z1) {
  // The slope's normal: perpendicular to the generator line (dr, dz) in the
  // plane through the axis, pointing outward.
  const float dr = radius1 - radius0;
  const float dz = z1 - z0;
  const float slope = std::hypot(dr, dz);
  if (slope == 0.0f) {
    return;
  }
  const float radial = dz / slope;
  const float axial = -dr / slope;
  const auto first = static_cast<std::uint32_t>(vertices.size() / 3);
  for (int stack = 0; stack <= stacks; ++stack) {
    const float f = static_cast<float>(stack) / static_cast<float>(stacks);
    const float radius = radius0 + f * dr;
    const float z = z0 + f * dz;
    for (int slice = 0; slice <= slices; ++slice) {
      const double angle = 2.0 * std::numbers::pi * slice / slices;
      const auto c = static_cast<float>(std::cos(angle));
      const auto s = static_cast<float>(std::sin(angle));
      AddVertex(radius * c, radius * s, z, radial * c, radial * s, axial);
    }
  }
  const auto row = static_cast<std::uint32_t>(slices + 1);
  for (std::uint32_t stack = 0; stack < static_cast<std::uint32_t>(stacks); ++stack) {
    for (std::uint32_t slice = 0; slice < static_cast<std::uint32_t>(slices); ++slice) {
      const std::uint32_t low = first + stack * row + slice;
      const std::uint32_t high = low + row;
      // Counter-clockwise seen from outside: around +Z, then up.
      indices.insert(indices.end(), {low, low + 1, high + 1, low, high + 1, high});
    }
  }
}

void ArrowMesh::AddDownwardRing(int slices, float innerRadius, float outerRadius, float z) {
  if (outerRadius <= innerRadius) {
    return;
  }
  const auto first = static_cast<std::uint32_t>(vertices.size() / 3);
  for (int slice = 0; slice <= slices; ++slice) {
    const double angle = 2.0 * std::numbers::pi * slice / slices;
    const auto c = static_cast<float>(std::cos(angle));
    const auto s = static_cast<float>(std::sin(angle));
    AddVertex(innerRadius * c, innerRadius * s, z, 0.0f, 0.0f, -1.0f);
    AddVertex(outerRadius * c, outerRadius * s, z, 0.0f, 0.0f, -1.0f);
  }
  for (std::uint32_t slice = 0; slice < static_cast<std::uint32_t>(slices); ++slice) {
    const std::uint32_t inner = first + 2 * slice;
    const std::uint32_t outer = inner + 1;
    // Clockwise around +Z is counter-clockwise seen from below.
    indices.insert(indices.end(), {inner, inner + 2, outer + 2, inner, outer + 2, outer});
  }
}

void ArrowMesh::AddVertex(float x, float y, float z, float nx, float ny, float nz) {
  vertices.insert(vertices.end(), {x, y, z});
  normals.insert(normals.end(), {nx, ny, nz});
}

}  // namespace KivVizOpenGL
