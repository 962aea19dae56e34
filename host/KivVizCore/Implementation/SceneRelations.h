// Questions about how nodes of a scene hang together, answered by walking
// the parent links upwards (a node may have several parents).
#ifndef NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENERELATIONS_H
#define NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_SCENERELATIONS_H

#include <deque>

class GeoNode;

namespace KivVizCore::Implementation {

// Whether node is top or lies anywhere below it.
bool IsInSubtree(const GeoNode* node, const GeoNode* top);

// Whether an entry of the open-node stack lies below top (or is top itself,
// when includeTop is set).
bool HasOpenNodeBelow(const std::deque<GeoNode*>& openNodes, const GeoNode* top, bool includeTop);

}  // namespace KivVizCore::Implementation

#endif
