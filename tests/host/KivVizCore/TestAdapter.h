// The test view as the scene suites use it, and an item that counts its
// destructions and can be a square that rays hit; with the includes they share.
#ifndef NIMBO_TESTS_HOST_KIVVIZCORE_TESTADAPTER_H
#define NIMBO_TESTS_HOST_KIVVIZCORE_TESTADAPTER_H

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <deque>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "TestView.h"

struct TestItem : AGeometryItem {
  explicit TestItem(std::uint64_t id, int* destroyed = nullptr) : AGeometryItem(id), destroyed(destroyed) {}
  ~TestItem() override {
    if (destroyed != nullptr) ++*destroyed;
  }
  // A square of half-size `half` around the Z axis in the plane z.
  TestItem* Square(float z, float halfSize) {
    square = {z, halfSize};
    return this;
  }
  void Display(AView3DAdapter*) override {}
  bool RayHit(const float o[3], const float d[3], float scalar, float hit[3], float& parameter) const override {
    const auto [z, half] = square;
    const float t = d[2] == 0.0f ? -1.0f : (z - o[2]) / d[2];
    const std::array<float, 3> at = {o[0] + t * d[0], o[1] + t * d[1], z};
    if (t < 0.0f || t > scalar || std::abs(at[0]) > half || std::abs(at[1]) > half) return false;
    std::copy(at.begin(), at.end(), hit);
    parameter = t;
    return true;
  }

  int* destroyed;
  std::pair<float, float> square{0.0f, -1.0f};  // no square at first
};

inline RenderId Path(std::vector<std::uint64_t> ids) { return RenderId(ids, RenderId::SceneOrigin); }

// The test view with the helpers the adapter's suites share; its root holds
// the overlays' node (60000) from the start, as a view's does.
class TestAdapter : public NimboTest::TestView {
 public:
  const std::deque<GeoNode*>& Stack() const { return openNodeStack; }
  // Closes everything, then opens the path; an empty path opens nothing.
  bool Reopen(const std::vector<std::uint64_t>& ids) {
    CloseAllNodes();
    return ids.empty() || OpenNodes(Path(ids));
  }
  void SetFilterManager(AFilterManager* manager) { filterManager = manager; }
  void DropLibraries() { ClearLibraries(); }
  std::string Structure() {
    std::string text;
    GetSceneStructure(text, true);
    return text;
  }
};

#endif
