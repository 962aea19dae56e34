// An operation record that a controller hands to its listeners: the type code
// and, in this order after the virtual table, the phase, a reserved field and
// three coordinates. Which coordinates hold the pointer depends on the type:
//
//   0 Idle, 1 Leave, 2 Hover, 3 RayPick, 6 Orbit, 7 Pan, 8 RubberBand:
//     pointer in first, second (window pixels, origin top left);
//   4 WheelZoom: first = wheel steps, pointer in second, third;
//   5 Key: first = key code, pointer in second, third.
//
// A rubber-band drag reports phase 1 at the press and 2 while moving; its
// release comes as Idle.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_IVIEWOP_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_IVIEWOP_H

#include <cstdint>

#include "NimboCore/Export.h"

class NIMBOCORE_EXPORT IViewOp {
 public:
  enum Type : int {
    Idle = 0,
    Leave = 1,
    Hover = 2,
    RayPick = 3,
    WheelZoom = 4,
    Key = 5,
    Orbit = 6,
    Pan = 7,
    RubberBand = 8,
  };

  virtual ~IViewOp();
  virtual int GetType() const = 0;

  std::int32_t phase = 0;
  std::int32_t reserved = 0;
  std::int32_t first = 0;
  std::int32_t second = 0;
  std::int32_t third = 0;

 protected:
  IViewOp() = default;
  IViewOp(std::int32_t phase, std::int32_t first, std::int32_t second, std::int32_t third)
      : phase(phase), first(first), second(second), third(third) {}
  IViewOp(const IViewOp&) = default;
  IViewOp& operator=(const IViewOp&) = default;
};

#endif
