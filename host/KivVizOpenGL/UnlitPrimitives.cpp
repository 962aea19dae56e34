#include "UnlitPrimitives.h"

#include <optional>
#include <utility>

#include "ItemArrays.h"
#include "ItemCulling.h"
#include "ItemStateScope.h"

namespace KivVizOpenGL {

using detail::Float3;

UnlitPrimitives::UnlitPrimitives(const char* owner, GLenum mode, std::vector<float> vertices,
                                 std::vector<std::uint32_t> indices)
    : mode(mode), vertices(std::move(vertices)), indices(std::move(indices)) {
  const bool segments = mode == GL_LINES;
  CheckArrays(owner, this->vertices, {}, this->indices, segments ? 2 : 0);
  StoreCorners(segments ? BoundsOf(this->vertices, this->indices) : BoundsOf(this->vertices), boxMinimum, boxMaximum);
}

UnlitPrimitives::~UnlitPrimitives() = default;

std::size_t UnlitPrimitives::PrimitiveCount() const {
  return mode == GL_LINES ? indices.size() / 2 : vertices.size() / 3;
}

void UnlitPrimitives::Display(const AGeometryItem& item, float pointSize) {
  if (PrimitiveCount() == 0) {
    return;
  }
  const auto volume = CurrentViewVolume();
  const auto box = ToAabb(boxMinimum, boxMaximum);
  if (!volume.Intersects(box)) {
    return;
  }
  const bool points = mode == GL_POINTS;
  const ItemStateScope state(GL_ENABLE_BIT | (points ? GL_POINT_BIT : 0) | (item.HasColor() ? GL_CURRENT_BIT : 0));
  glDisable(GL_LIGHTING);
  if (points) {
    // GL refuses sizes that are not positive; those draw as GL's default.
    glPointSize(pointSize > 0.0f ? pointSize : 1.0f);
  }
  if (item.HasColor()) {
    glColor4ub(item.GetColor().red, item.GetColor().green, item.GetColor().blue, item.GetColor().alpha);
  }
  DrawItemArrays(mode, vertices, {}, indices, volume, box, chunks, runs);
}

bool UnlitPrimitives::RayHit(float pickAngle, const float origin[3], const float direction[3], float scalar,
                             float hitPoint[3], float& parameter) const {
  const PickCone cone(origin, direction, scalar, pickAngle);
  if (!cone.IsUsable() || PrimitiveCount() == 0) {
    return false;
  }
  const detail::ChunkedMesh* mesh = nullptr;
  if (PrimitiveChunks::IsBig(PrimitiveCount())) {
    // A pick has usually built the spatial chunks already.
    mesh = &SpatialChunksOf(mode, vertices, {}, indices, chunks).Mesh();
    if (!hierarchies) {
      hierarchies = std::make_unique<detail::ChunkHierarchies>(*mesh, mode == GL_LINES ? 2 : 1);
    }
  }
  const std::optional<float> nearest = mode == GL_LINES ? NearestSegment(cone, mesh) : NearestPoint(cone, mesh);
  if (!nearest) {
    return false;
  }
  cone.WriteHit(*nearest, hitPoint, parameter);
  return true;
}

std::optional<float> UnlitPrimitives::NearestSegment(const PickCone& cone, const detail::ChunkedMesh* mesh) const {
  if (mesh != nullptr) {
    return cone.Nearest(*hierarchies, [&](std::uint32_t chunk, std::uint32_t segment, float widest) {
      const std::size_t first = 2 * (std::size_t{mesh->chunks[chunk].firstPrimitive} + segment);
      return cone.Approach(Float3::At(mesh->vertices, mesh->indices[first]),
                           Float3::At(mesh->vertices, mesh->indices[first + 1]), widest);
    });
  }
  if (!segmentBvh) {
    segmentBvh = std::make_unique<detail::SegmentBvh>(vertices, indices);
  }
  return cone.Nearest(segmentBvh->Hierarchy(), [&](std::uint32_t segment, float widest) {
    return cone.Approach(Float3::At(vertices, indices[2 * segment]), Float3::At(vertices, indices[2 * segment + 1]),
                         widest);
  });
}

std::optional<float> UnlitPrimitives::NearestPoint(const PickCone& cone, const detail::ChunkedMesh* mesh) const {
  if (mesh != nullptr) {
    return cone.Nearest(*hierarchies, [&](std::uint32_t chunk, std::uint32_t point, float widest) {
      return cone.Approach(Float3::At(mesh->vertices, std::size_t{mesh->chunks[chunk].firstPrimitive} + point), widest);
    });
  }
  if (!pointBvh) {
    pointBvh = std::make_unique<detail::PointBvh>(vertices);
  }
  return cone.Nearest(pointBvh->Hierarchy(), [&](std::uint32_t point, float widest) {
    return cone.Approach(Float3::At(vertices, point), widest);
  });
}

bool UnlitPrimitives::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return CopyBounds(ToAabb(boxMinimum, boxMaximum), minimum, maximum);
}

}  // namespace KivVizOpenGL
