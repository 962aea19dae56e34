#include "KivVizCore/IView3D.h"

#include <algorithm>

bool IView3D::IsBackFacesVisible() const { return backFacesVisible; }

void IView3D::SetBackFacesVisible(bool visible) { backFacesVisible = visible; }

void IView3D::SetSceneBounds(const float center[3], float radius) {
  std::copy(center, center + 3, sceneCenter);
  sceneRadius = radius;
}

void IView3D::GetSceneBounds(float center[3], float& radius) const {
  std::copy(sceneCenter, sceneCenter + 3, center);
  radius = sceneRadius;
}
