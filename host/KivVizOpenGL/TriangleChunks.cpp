#include "TriangleChunks.h"

#include <windows.h>

#include <GL/gl.h>

#include "ClientArrays.h"

namespace KivVizOpenGL {

TriangleChunks::TriangleChunks(std::span<const float> vertices, std::span<const float> normals,
                               std::span<const std::uint32_t> indices)
    : mesh(detail::SpatialChunker(TrianglesPerChunk).Split(vertices, normals, indices)) {
  // Only drawing needs the rearranged mesh; the mapping back is dead weight.
  mesh.sourceTriangles = {};
  mesh.sourceVertices = {};
}

void TriangleChunks::Draw(const detail::ViewVolume& volume) const {
  UseClientArrays(mesh.vertices.data(), mesh.normals.empty() ? nullptr : mesh.normals.data());
  const auto drawRun = [this](std::uint32_t firstTriangle, std::uint32_t triangleCount) {
    if (triangleCount != 0) {
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * triangleCount), GL_UNSIGNED_INT,
                     mesh.indices.data() + 3 * std::size_t{firstTriangle});
    }
  };
  std::uint32_t runFirst = 0;
  std::uint32_t runCount = 0;
  for (const detail::MeshChunk& chunk : mesh.chunks) {
    if (!volume.Intersects(chunk.bounds)) {
      continue;
    }
    if (runCount != 0 && runFirst + runCount == chunk.firstTriangle) {
      runCount += chunk.triangleCount;
      continue;
    }
    drawRun(runFirst, runCount);
    runFirst = chunk.firstTriangle;
    runCount = chunk.triangleCount;
  }
  drawRun(runFirst, runCount);
}

}  // namespace KivVizOpenGL
