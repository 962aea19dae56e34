// Saves the GL state a scene item changes while it draws from client arrays,
// and restores it when the scope ends, so that items leave GL as they found
// it: the client arrays, the current normal (which drawing with a normal
// array leaves undefined) and the attribute groups the item names. Only
// what is named is pushed: pushing and popping attribute groups around each
// of many small items costs the driver more than drawing them.
#ifndef NIMBO_HOST_KIVVIZOPENGL_ITEMSTATESCOPE_H
#define NIMBO_HOST_KIVVIZOPENGL_ITEMSTATESCOPE_H

#include <windows.h>
#include <GL/gl.h>

#include <array>

namespace KivVizOpenGL {

class ItemStateScope {
 public:
  // attributes: the glPushAttrib groups the item changes itself (0 for
  // none).
  explicit ItemStateScope(GLbitfield attributes);
  ~ItemStateScope();

  ItemStateScope(const ItemStateScope&) = delete;
  ItemStateScope& operator=(const ItemStateScope&) = delete;

 private:
  GLbitfield pushed;
  std::array<GLfloat, 4> normal{};
};

}  // namespace KivVizOpenGL

#endif
