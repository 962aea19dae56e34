#include "TestItem.h"

#include <cmath>

TestItem::TestItem(std::uint64_t id, int* destroyed) : AGeometryItem(id), destroyed(destroyed) {}

TestItem::~TestItem() {
  if (destroyed != nullptr) {
    ++*destroyed;
  }
}

TestItem& TestItem::Square(float cx, float cy, float z, float halfSize) {
  hittable = true;
  center[0] = cx;
  center[1] = cy;
  depth = z;
  half = halfSize;
  return *this;
}

bool TestItem::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                      float& parameter) const {
  if (!hittable || direction[2] == 0.0f) {
    return false;
  }
  const float t = (depth - origin[2]) / direction[2];
  const float x = origin[0] + t * direction[0];
  const float y = origin[1] + t * direction[1];
  if (t < 0.0f || t > scalar || std::abs(x - center[0]) > half || std::abs(y - center[1]) > half) {
    return false;
  }
  hitPoint[0] = x;
  hitPoint[1] = y;
  hitPoint[2] = depth;
  parameter = t;
  return true;
}
