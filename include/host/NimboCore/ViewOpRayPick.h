// A pick click at a window position (type 3), and the host's pick aperture:
// the radius in pixels around the pointer within which picking looks.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOPRAYPICK_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOPRAYPICK_H

#include <cstdint>

#include "NimboCore/IViewOp.h"

class NIMBOCORE_EXPORT ViewOpRayPick : public IViewOp {
 public:
  ViewOpRayPick(std::int32_t x, std::int32_t y);

  int GetType() const override;

  // Process-wide, shared by the host and every plug-in.
  static int APERTURE;
};

#endif
