#include "KivVizOpenGL/GeometryItemPolylineGL.h"

#include <windows.h>
#include <GL/gl.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "ClientArrays.h"
#include "ColorMaterial.h"
#include "ItemArrays.h"
#include "PickCone.h"

using KivVizOpenGL::detail::Float3;

namespace {

std::vector<float> CopyPoints(const char* function, const float* points, int floatCount) {
  if (floatCount < 0 || floatCount % 3 != 0) {
    throw std::invalid_argument(std::string(function) + ": the float count is not whole xyz triples");
  }
  if (points == nullptr && floatCount != 0) {
    throw std::invalid_argument(std::string(function) + ": no points");
  }
  return std::vector<float>(points, points + floatCount);
}

}  // namespace

GeometryItemPolylineGL::GeometryItemPolylineGL(std::uint64_t id, const float* points, int floatCount)
    : AGeometryItem(id), points(CopyPoints("GeometryItemPolylineGL::GeometryItemPolylineGL", points, floatCount)) {}

void GeometryItemPolylineGL::Update(const float* newPoints, int floatCount) {
  points = CopyPoints("GeometryItemPolylineGL::Update", newPoints, floatCount);
}

void GeometryItemPolylineGL::Display(AView3DAdapter*) {
  if (points.size() < 6) {
    return;
  }
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisable(GL_LIGHTING);
  // GL refuses widths that are not positive; those draw as GL's default.
  glLineWidth(lineWidth > 0.0f ? lineWidth : 1.0f);
  if (stipplePattern != 0xFFFF) {
    glLineStipple(1, stipplePattern);
    glEnable(GL_LINE_STIPPLE);
  } else {
    glDisable(GL_LINE_STIPPLE);
  }
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  KivVizOpenGL::UseClientArrays(points.data(), nullptr);
  glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(points.size() / 3));
  glPopClientAttrib();
  glPopAttrib();
  // The colour popped back is not the one colour tracking last copied.
  KivVizOpenGL::SyncColorMaterial();
}

bool GeometryItemPolylineGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                    float& parameter) const {
  const KivVizOpenGL::PickCone cone(origin, direction, scalar, pickAngle);
  if (!cone.IsUsable() || points.size() < 6) {
    return false;
  }
  // A handful of points: no hierarchy needed.
  const float widest = cone.WidestWithin(KivVizOpenGL::BoundsOf(points));
  std::optional<float> nearest;
  for (std::size_t segment = 0; segment + 1 < points.size() / 3; ++segment) {
    const auto approach = cone.Approach(Float3::At(points, segment), Float3::At(points, segment + 1), widest);
    if (approach && (!nearest || approach->t < *nearest)) {
      nearest = approach->t;
    }
  }
  if (!nearest) {
    return false;
  }
  cone.WriteHit(*nearest, hitPoint, parameter);
  return true;
}

bool GeometryItemPolylineGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return KivVizOpenGL::CopyBounds(KivVizOpenGL::BoundsOf(points), minimum, maximum);
}
