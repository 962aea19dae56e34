// An operation record of any type code, as a host builds them from input
// events.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOP_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_VIEWOP_H

#include <cstdint>

#include "NimboCore/IViewOp.h"

class NIMBOCORE_EXPORT ViewOp : public IViewOp {
 public:
  ViewOp(int type, std::int32_t phase, std::int32_t first, std::int32_t second, std::int32_t third = 0);

  int GetType() const override;

 private:
  int type;
};

#endif
