#include "ColorMaterial.h"

#include <windows.h>
#include <GL/gl.h>

namespace KivVizOpenGL {

void SyncColorMaterial() {
  if (glIsEnabled(GL_COLOR_MATERIAL) != GL_TRUE) return;
  glDisable(GL_COLOR_MATERIAL);
  glEnable(GL_COLOR_MATERIAL);
}

}  // namespace KivVizOpenGL
