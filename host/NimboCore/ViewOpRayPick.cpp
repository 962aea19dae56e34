#include "NimboCore/ViewOpRayPick.h"

int ViewOpRayPick::APERTURE = 5;

ViewOpRayPick::ViewOpRayPick(std::int32_t x, std::int32_t y) : IViewOp(0, x, y, 0) {}

int ViewOpRayPick::GetType() const { return RayPick; }
