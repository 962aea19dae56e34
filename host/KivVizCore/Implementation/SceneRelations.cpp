#include "SceneRelations.h"

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"

namespace KivVizCore::Implementation {

bool IsInSubtree(const GeoNode* node, const GeoNode* top) {
  if (node == nullptr || top == nullptr) {
    return false;
  }
  if (node == top) {
    return true;
  }
  for (const Node* parent : node->Parents()) {
    if (IsInSubtree(parent, top)) {
      return true;
    }
  }
  return false;
}

bool HasOpenNodeBelow(const std::deque<GeoNode*>& openNodes, const GeoNode* top, bool includeTop) {
  for (const GeoNode* open : openNodes) {
    if ((open != top || includeTop) && IsInSubtree(open, top)) {
      return true;
    }
  }
  return false;
}

}  // namespace KivVizCore::Implementation
