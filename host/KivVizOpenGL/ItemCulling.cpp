#include "ItemCulling.h"

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>

#include "KivVizCore/AView3DAdapter.h"

namespace KivVizOpenGL {

detail::ViewVolume CurrentViewVolume(const AView3DAdapter* view) {
  const double* clip = view != nullptr ? view->GetTraversalClipMatrix() : nullptr;
  if (clip == nullptr) {
    return detail::ViewVolume::FromCurrentGL();
  }
  detail::ViewVolume::Matrix matrix;
  std::copy(clip, clip + 16, matrix.begin());
  return detail::ViewVolume(matrix);
}

bool IsSelecting() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_SELECT;
}

}  // namespace KivVizOpenGL
