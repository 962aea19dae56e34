#include "ItemStateScope.h"

#include <array>

#include "ColorMaterial.h"
#include "KivVizCore/AView3DAdapter.h"

namespace KivVizOpenGL {

namespace {

// Its address names the traversal's saved arrays among deferred work.
const char sharedArraysKey = 0;

// True when the arrays and the current normal are saved for the whole
// traversal, by this call or an earlier item's.
bool ShareTraversalArrays(AView3DAdapter* view) {
  if (view == nullptr || !view->IsTraversing()) {
    return false;
  }
  if (view->HasDeferred(&sharedArraysKey)) {
    return true;
  }
  std::array<GLfloat, 4> normal{};
  glGetFloatv(GL_CURRENT_NORMAL, normal.data());
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  view->DeferToTraversalEnd(&sharedArraysKey, [normal] {
    glPopClientAttrib();
    glNormal3fv(normal.data());
  });
  return true;
}

}  // namespace

ItemStateScope::ItemStateScope(AView3DAdapter* view, GLbitfield attributes) {
  if (!ShareTraversalArrays(view)) {
    ownArrays = true;
    attributes |= GL_CURRENT_BIT;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  }
  if (attributes != 0) {
    ownAttributes = true;
    syncMaterial = (attributes & GL_CURRENT_BIT) != 0;
    glPushAttrib(attributes);
  }
}

ItemStateScope::~ItemStateScope() {
  if (ownAttributes) {
    glPopAttrib();
  }
  if (syncMaterial) {
    SyncColorMaterial();
  }
  if (ownArrays) {
    glPopClientAttrib();
  }
}

}  // namespace KivVizOpenGL
