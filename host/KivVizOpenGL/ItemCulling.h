// The volume an item being displayed is drawn into, for skipping items (and
// chunks of items) that cannot show: from the clip matrix the view tracks
// during its scene traversal, or, outside one, from the matrices GL holds.
#ifndef KIVVIZOPENGL_ITEMCULLING_H
#define KIVVIZOPENGL_ITEMCULLING_H

#include "KivVizCore/KivVizCore.h"
#include "detail/ViewVolume.h"

namespace KivVizOpenGL {

detail::ViewVolume CurrentViewVolume(const AView3DAdapter* view);

// True while GL is in selection mode, where lighting and colour do not
// matter.
bool IsSelecting();

}  // namespace KivVizOpenGL

#endif
