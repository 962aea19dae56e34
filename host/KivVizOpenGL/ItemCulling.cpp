#include "ItemCulling.h"

#include <windows.h>
#include <GL/gl.h>

namespace KivVizOpenGL {

detail::ViewVolume CurrentViewVolume() { return detail::ViewVolume::FromCurrentGL(); }

bool IsSelecting() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_SELECT;
}

}  // namespace KivVizOpenGL
