// Saves the GL state a scene item changes while it draws from client arrays,
// and restores it when the scope ends, so that items leave GL as they found
// it.
//
// Inside the view's scene traversal the client arrays and the current normal
// (which drawing with a normal array leaves undefined) are saved once, by the
// first item that draws, and restored when the traversal ends. Every other
// item then only points the arrays at its data: saving and restoring the
// arrays around each of many small items costs the driver more than drawing
// them.
#ifndef KIVVIZOPENGL_ITEMSTATESCOPE_H
#define KIVVIZOPENGL_ITEMSTATESCOPE_H

#include <windows.h>

#include <GL/gl.h>

#include "KivVizCore/KivVizCore.h"

namespace KivVizOpenGL {

class ItemStateScope {
 public:
  // attributes: the glPushAttrib groups the item changes itself (0 for
  // none). view may be null: the item then saves everything itself.
  ItemStateScope(AView3DAdapter* view, GLbitfield attributes);
  ~ItemStateScope();

  ItemStateScope(const ItemStateScope&) = delete;
  ItemStateScope& operator=(const ItemStateScope&) = delete;

 private:
  bool ownArrays = false;
  bool ownAttributes = false;
  // The current colour comes back by popping, which colour tracking misses.
  bool syncMaterial = false;
};

}  // namespace KivVizOpenGL

#endif
