// Chooses which of the hits under the cursor is picked: the category of the
// node three levels below the root decides first, depth second.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_PICKWINNER_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_PICKWINNER_H

#include <vector>

#include "KivVizCore/Pick.h"

namespace NimboView3dOpenGLSG {

class PickWinner {
 public:
  // Index of the winning pick, -1 when no pick has an enabled category. The
  // switches are the rendering options' first three booleans, in their order.
  static int Choose(const std::vector<Pick>& picks, bool pickSurfaces, bool pickCurves, bool pickPoints);
};

}  // namespace NimboView3dOpenGLSG

#endif
