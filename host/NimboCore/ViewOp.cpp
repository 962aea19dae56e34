#include "NimboCore/ViewOp.h"

ViewOp::ViewOp(int type, std::int32_t phase, std::int32_t first, std::int32_t second, std::int32_t third)
    : IViewOp(phase, first, second, third), type(type) {}

int ViewOp::GetType() const { return type; }
