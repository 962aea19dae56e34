// An unlit line strip through a list of points, honouring lineWidth and
// stipplePattern (0xFFFF: solid). Restores any GL state it changes. A ray
// hits it as it hits GeometryItemLinesGL, within pickAngle.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMPOLYLINEGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_GEOMETRYITEMPOLYLINEGL_H

#include <cstdint>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT GeometryItemPolylineGL : public AGeometryItem {
 public:
  // points: floatCount floats, three per point.
  GeometryItemPolylineGL(std::uint64_t id, const float* points, int floatCount);

  void Display(AView3DAdapter* adapter) override;
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override;
  bool GetBoundingBox(float minimum[3], float maximum[3]) const override;

  // Replaces the points (floatCount floats, three per point).
  void Update(const float* points, int floatCount);
  const std::vector<float>& Points() const { return points; }

  float lineWidth = 1.0f;
  std::uint16_t stipplePattern = 0xFFFF;
  float pickAngle = 0.003f;

 private:
  std::vector<float> points;
};

#endif
