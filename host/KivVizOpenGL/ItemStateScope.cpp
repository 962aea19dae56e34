#include "ItemStateScope.h"

#include "ColorMaterial.h"

namespace KivVizOpenGL {

ItemStateScope::ItemStateScope(GLbitfield attributes) : pushed(attributes) {
  glGetFloatv(GL_CURRENT_NORMAL, normal.data());
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  if (pushed != 0) {
    glPushAttrib(pushed);
  }
}

ItemStateScope::~ItemStateScope() {
  if (pushed != 0) {
    glPopAttrib();
  }
  // The current colour comes back by popping, which colour tracking misses.
  if ((pushed & GL_CURRENT_BIT) != 0) {
    SyncColorMaterial();
  }
  glPopClientAttrib();
  glNormal3fv(normal.data());
}

}  // namespace KivVizOpenGL
