// One hit of a pick: the name it was recorded under, its depth range in the
// window (0 near, 1 far) and the path of the node that was hit.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_PICK_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_PICK_H

#include "KivVizCore/Export.h"
#include "KivVizCore/RenderId.h"

class KIVVIZCORE_EXPORT Pick {
 public:
  Pick() = default;
  Pick(int name, float zmin, float zmax) : name(name), zmin(zmin), zmax(zmax) {}

  int name = 0;
  float zmin = 0.0f;
  float zmax = 0.0f;
  RenderId renderId;
};

#endif
