#include "KivVizOpenGL/GeometryItemPointsGL.h"

#include <windows.h>

#include <GL/gl.h>

#include <optional>

#include "ItemArrays.h"
#include "ItemCulling.h"
#include "ItemStateScope.h"
#include "PickCone.h"
#include "PrimitiveChunks.h"
#include "detail/PointBvh.h"

using KivVizOpenGL::detail::Float3;

GeometryItemPointsGL::GeometryItemPointsGL(std::uint64_t id, std::vector<float> vertices)
    : AGeometryItem(id), vertices(std::move(vertices)) {
  KivVizOpenGL::CheckArrays("GeometryItemPointsGL::GeometryItemPointsGL", this->vertices, {}, {}, 0);
  KivVizOpenGL::StoreCorners(KivVizOpenGL::BoundsOf(this->vertices), boxMinimum, boxMaximum);
}

GeometryItemPointsGL::~GeometryItemPointsGL() = default;

void GeometryItemPointsGL::Display(AView3DAdapter*) {
  if (vertices.empty()) {
    return;
  }
  const auto volume = KivVizOpenGL::CurrentViewVolume();
  const auto box = KivVizOpenGL::ToAabb(boxMinimum, boxMaximum);
  if (!volume.Intersects(box)) {
    return;
  }
  const KivVizOpenGL::ItemStateScope state(GL_ENABLE_BIT | GL_POINT_BIT | (HasColor() ? GL_CURRENT_BIT : 0));
  glDisable(GL_LIGHTING);
  // GL refuses sizes that are not positive; those draw as GL's default.
  glPointSize(pointSize > 0.0f ? pointSize : 1.0f);
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  KivVizOpenGL::DrawItemArrays(GL_POINTS, vertices, {}, {}, volume, box, chunks, runs);
}

bool GeometryItemPointsGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                  float& parameter) const {
  const KivVizOpenGL::PickCone cone(origin, direction, scalar, pickAngle);
  if (!cone.IsUsable() || vertices.empty()) {
    return false;
  }
  std::optional<float> nearest;
  if (KivVizOpenGL::PrimitiveChunks::IsBig(vertices.size() / 3)) {
    // A pick has usually built the spatial chunks already.
    const auto& mesh = KivVizOpenGL::SpatialChunksOf(GL_POINTS, vertices, {}, {}, chunks).Mesh();
    if (!hierarchies) {
      hierarchies = std::make_unique<KivVizOpenGL::detail::ChunkHierarchies>(mesh, 1);
    }
    nearest = cone.Nearest(*hierarchies, [&](std::uint32_t chunk, std::uint32_t point, float widest) {
      return cone.Approach(Float3::At(mesh.vertices, std::size_t{mesh.chunks[chunk].firstPrimitive} + point), widest);
    });
  } else {
    if (!bvh) {
      bvh = std::make_unique<KivVizOpenGL::detail::PointBvh>(vertices);
    }
    nearest = cone.Nearest(bvh->Hierarchy(), [&](std::uint32_t point, float widest) {
      return cone.Approach(Float3::At(vertices, point), widest);
    });
  }
  if (!nearest) {
    return false;
  }
  cone.WriteHit(*nearest, hitPoint, parameter);
  return true;
}

bool GeometryItemPointsGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return KivVizOpenGL::CopyBounds(KivVizOpenGL::ToAabb(boxMinimum, boxMaximum), minimum, maximum);
}
