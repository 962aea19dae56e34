#include "KivVizOpenGL/GeometryItemLinesGL.h"

#include <windows.h>

#include <GL/gl.h>

#include <optional>

#include "ItemArrays.h"
#include "ItemCulling.h"
#include "ItemStateScope.h"
#include "PickCone.h"
#include "PrimitiveChunks.h"
#include "detail/SegmentBvh.h"

using KivVizOpenGL::detail::Float3;

GeometryItemLinesGL::GeometryItemLinesGL(std::uint64_t id, std::vector<float> vertices,
                                         std::vector<std::uint32_t> indices)
    : AGeometryItem(id), vertices(std::move(vertices)), indices(std::move(indices)) {
  KivVizOpenGL::CheckArrays("GeometryItemLinesGL::GeometryItemLinesGL", this->vertices, {}, this->indices, 2);
  KivVizOpenGL::StoreCorners(KivVizOpenGL::BoundsOf(this->vertices, this->indices), boxMinimum, boxMaximum);
}

GeometryItemLinesGL::~GeometryItemLinesGL() = default;

void GeometryItemLinesGL::Display(AView3DAdapter*) {
  if (indices.empty()) {
    return;
  }
  const auto volume = KivVizOpenGL::CurrentViewVolume();
  const auto box = KivVizOpenGL::ToAabb(boxMinimum, boxMaximum);
  if (!volume.Intersects(box)) {
    return;
  }
  const KivVizOpenGL::ItemStateScope state(GL_ENABLE_BIT | (HasColor() ? GL_CURRENT_BIT : 0));
  glDisable(GL_LIGHTING);
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  KivVizOpenGL::DrawItemArrays(GL_LINES, vertices, {}, indices, volume, box, chunks, runs);
}

bool GeometryItemLinesGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                 float& parameter) const {
  const KivVizOpenGL::PickCone cone(origin, direction, scalar, pickAngle);
  if (!cone.IsUsable() || indices.empty()) {
    return false;
  }
  std::optional<float> nearest;
  if (KivVizOpenGL::PrimitiveChunks::IsBig(indices.size() / 2)) {
    // A pick has usually built the spatial chunks already.
    const auto& mesh = KivVizOpenGL::SpatialChunksOf(GL_LINES, vertices, {}, indices, chunks).Mesh();
    if (!hierarchies) {
      hierarchies = std::make_unique<KivVizOpenGL::detail::ChunkHierarchies>(mesh, 2);
    }
    nearest = cone.Nearest(*hierarchies, [&](std::uint32_t chunk, std::uint32_t segment, float widest) {
      const std::size_t first = 2 * (std::size_t{mesh.chunks[chunk].firstPrimitive} + segment);
      return cone.Approach(Float3::At(mesh.vertices, mesh.indices[first]),
                           Float3::At(mesh.vertices, mesh.indices[first + 1]), widest);
    });
  } else {
    if (!bvh) {
      bvh = std::make_unique<KivVizOpenGL::detail::SegmentBvh>(vertices, indices);
    }
    nearest = cone.Nearest(bvh->Hierarchy(), [&](std::uint32_t segment, float widest) {
      return cone.Approach(Float3::At(vertices, indices[2 * segment]), Float3::At(vertices, indices[2 * segment + 1]),
                           widest);
    });
  }
  if (!nearest) {
    return false;
  }
  cone.WriteHit(*nearest, hitPoint, parameter);
  return true;
}

bool GeometryItemLinesGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return KivVizOpenGL::CopyBounds(KivVizOpenGL::ToAabb(boxMinimum, boxMaximum), minimum, maximum);
}
