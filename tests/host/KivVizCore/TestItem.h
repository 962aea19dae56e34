// A geometry item for tests: it counts its destructions into a caller's
// counter (to prove who deletes what, and only once) and, optionally, is a
// square of half-size `half` around (cx, cy) in the plane z = depth of its own
// coordinates, which rays can hit.
#ifndef NIMBO_TESTS_KIVVIZCORE_TESTITEM_H
#define NIMBO_TESTS_KIVVIZCORE_TESTITEM_H

#include <cstdint>

#include "KivVizCore/AGeometryItem.h"

class TestItem : public AGeometryItem {
 public:
  explicit TestItem(std::uint64_t id, int* destroyed = nullptr);
  ~TestItem() override;

  TestItem& Square(float cx, float cy, float depth, float half);

  void Display(AView3DAdapter*) override {}
  bool RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
              float& parameter) const override;

 private:
  int* destroyed;
  bool hittable = false;
  float center[2] = {0.0f, 0.0f};
  float depth = 0.0f;
  float half = 0.0f;
};

#endif
