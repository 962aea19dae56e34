#include "SceneRayCaster.h"

#include <algorithm>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/VectorMath.h"

namespace KivVizCore::Implementation {

bool SceneRayCaster::Cast(const Node& root, const Ray& worldRay, RenderId& path) {
  ray = &worldRay;
  found = false;
  currentPath.assign(1, root.GetId());
  double identity[16];
  AttributeTransform::SetIdentity(identity);
  for (const auto& [id, child] : root.Children()) {
    if (child != nullptr && id != skippedRootChild) {
      Visit(*child, identity);
    }
  }
  if (found) {
    path = RenderId(nearestPath, RenderId::SceneOrigin);
  }
  return found;
}

bool SceneRayCaster::IsShown(const GeoNode& node) const {
  const int filterId = node.GetFilterId();
  if (filterId > 0 && filterManager != nullptr && !filterManager->IsEnabled(filterId)) {
    return false;
  }
  return node.IsVisible();
}

void SceneRayCaster::Visit(const GeoNode& node, const double parentTransform[16]) {
  if (!IsShown(node)) {
    return;
  }
  double transform[16];
  const auto* local = dynamic_cast<const AttributeTransform*>(node.GetAttribute(Attribute::TransformType));
  if (local != nullptr) {
    MultiplyMatrices(parentTransform, local->GetTransform(), transform);
  } else {
    std::copy(parentTransform, parentTransform + 16, transform);
  }
  currentPath.push_back(node.GetId());
  if (const auto* group = dynamic_cast<const Node*>(&node)) {
    for (const auto& [id, child] : group->Children()) {
      if (child != nullptr) {
        Visit(*child, transform);
      }
    }
  } else {
    HitItems(node, transform);
  }
  currentPath.pop_back();
}

void SceneRayCaster::HitItems(const GeoNode& node, const double transform[16]) {
  double inverse[16];
  if (node.Geometry().empty() || !InvertMatrix(transform, inverse)) {
    return;
  }
  // The ray in the item's coordinates. Its direction is not renormalised, so
  // the ray parameter is the same in both spaces and hits compare directly.
  float origin[3];
  float direction[3];
  TransformPoint(inverse, ray->origin, origin);
  TransformDirection(inverse, ray->direction, direction);
  for (const AGeometryItem* item : node.Geometry()) {
    float hitPoint[3] = {0.0f, 0.0f, 0.0f};
    float parameter = 0.0f;
    if (item != nullptr && item->RayHit(origin, direction, static_cast<float>(ray->scalar), hitPoint, parameter) &&
        (!found || parameter < nearest)) {
      found = true;
      nearest = parameter;
      nearestPath = currentPath;
    }
  }
}

}  // namespace KivVizCore::Implementation
