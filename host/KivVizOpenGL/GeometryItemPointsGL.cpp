#include "KivVizOpenGL/GeometryItemPointsGL.h"

#include <utility>

#include "UnlitPrimitives.h"

GeometryItemPointsGL::GeometryItemPointsGL(std::uint64_t id, std::vector<float> vertices)
    : AGeometryItem(id),
      points(std::make_unique<KivVizOpenGL::UnlitPrimitives>("GeometryItemPointsGL::GeometryItemPointsGL", GL_POINTS,
                                                             std::move(vertices), std::vector<std::uint32_t>{})) {}

GeometryItemPointsGL::~GeometryItemPointsGL() = default;

void GeometryItemPointsGL::Display(AView3DAdapter*) { points->Display(*this, pointSize); }

bool GeometryItemPointsGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                  float& parameter) const {
  return points->RayHit(pickAngle, origin, direction, scalar, hitPoint, parameter);
}

bool GeometryItemPointsGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return points->GetBoundingBox(minimum, maximum);
}

const std::vector<float>& GeometryItemPointsGL::Vertices() const { return points->Vertices(); }
