// The volume an item being displayed is drawn into, read from the matrices
// GL holds, for skipping items (and chunks of items) that cannot show.
#ifndef NIMBO_HOST_KIVVIZOPENGL_ITEMCULLING_H
#define NIMBO_HOST_KIVVIZOPENGL_ITEMCULLING_H

#include "detail/ViewVolume.h"

namespace KivVizOpenGL {

detail::ViewVolume CurrentViewVolume();

// True while GL is in selection mode, where lighting and colour do not
// matter.
bool IsSelecting();

}  // namespace KivVizOpenGL

#endif
