#include "KivVizOpenGL/GeometryItemLinesGL.h"

#include <utility>

#include "UnlitPrimitives.h"

GeometryItemLinesGL::GeometryItemLinesGL(std::uint64_t id, std::vector<float> vertices,
                                         std::vector<std::uint32_t> indices)
    : AGeometryItem(id),
      segments(std::make_unique<KivVizOpenGL::UnlitPrimitives>("GeometryItemLinesGL::GeometryItemLinesGL", GL_LINES,
                                                               std::move(vertices), std::move(indices))) {}

GeometryItemLinesGL::~GeometryItemLinesGL() = default;

void GeometryItemLinesGL::Display(AView3DAdapter*) { segments->Display(*this, 0.0f); }

bool GeometryItemLinesGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                 float& parameter) const {
  return segments->RayHit(pickAngle, origin, direction, scalar, hitPoint, parameter);
}

bool GeometryItemLinesGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return segments->GetBoundingBox(minimum, maximum);
}

const std::vector<float>& GeometryItemLinesGL::Vertices() const { return segments->Vertices(); }

const std::vector<std::uint32_t>& GeometryItemLinesGL::Indices() const { return segments->Indices(); }
