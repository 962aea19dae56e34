// Makes the material that colour tracking feeds match the current colour.
// Some drivers update the tracked material only when a glColor call changes
// the colour they cached, not when glPopAttrib restores it; a node's colour
// set again to that cached value would then light with a stale material
// (a transparent node drawn opaque, in another node's colour). Re-enabling
// colour tracking copies the current colour into the material at once.
#ifndef NIMBO_HOST_KIVVIZOPENGL_COLORMATERIAL_H
#define NIMBO_HOST_KIVVIZOPENGL_COLORMATERIAL_H

namespace KivVizOpenGL {

void SyncColorMaterial();

}  // namespace KivVizOpenGL

#endif
