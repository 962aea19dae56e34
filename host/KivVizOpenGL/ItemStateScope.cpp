#include "ItemStateScope.h"

#include "ColorMaterial.h"

namespace KivVizOpenGL {

ItemStateScope::ItemStateScope(GLbitfield attributes) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glPushAttrib(attributes | GL_CURRENT_BIT);
}

ItemStateScope::~ItemStateScope() {
  glPopAttrib();
  // The current colour comes back by popping, which colour tracking misses.
  SyncColorMaterial();
  glPopClientAttrib();
}

}  // namespace KivVizOpenGL
