#include "KivVizOpenGL/GeometryItemCircle2DGL.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ColorMaterial.h"

GeometryItemCircle2DGL::GeometryItemCircle2DGL(std::uint64_t id) : AGeometryItem(id) {}

void GeometryItemCircle2DGL::Display(AView3DAdapter*) {
  const int count = std::max(segments, 3);
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  glBegin(GL_LINE_LOOP);
  for (int i = 0; i < count; ++i) {
    const double angle = 2.0 * std::numbers::pi * i / count;
    glVertex3d(radius * std::cos(angle), radius * std::sin(angle), 0.0);
  }
  glEnd();
  glPopAttrib();
  // The colour popped back is not the one colour tracking last copied.
  KivVizOpenGL::SyncColorMaterial();
}

bool GeometryItemCircle2DGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  const float extent = std::abs(radius);
  if (!std::isfinite(extent)) {
    return false;
  }
  minimum[0] = minimum[1] = -extent;
  maximum[0] = maximum[1] = extent;
  minimum[2] = maximum[2] = 0.0f;
  return true;
}
