#include "ClientArrays.h"

#include <windows.h>
#include <GL/gl.h>

namespace KivVizOpenGL {

void UseClientArrays(const float* vertices, const float* normals) {
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, vertices);
  if (normals != nullptr) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, normals);
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
}

}  // namespace KivVizOpenGL
