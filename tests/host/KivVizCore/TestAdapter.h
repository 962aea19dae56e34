// The test view as the adapter's suites use it, and an item that counts its
// destructions and can be a square that rays hit.
#ifndef NIMBO_TESTS_HOST_KIVVIZCORE_TESTADAPTER_H
#define NIMBO_TESTS_HOST_KIVVIZCORE_TESTADAPTER_H

#include <array>
#include <cmath>
#include <deque>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "TestView.h"

class TestItem : public AGeometryItem {
 public:
  explicit TestItem(std::uint64_t id, int* destroyed = nullptr) : AGeometryItem(id), destroyed(destroyed) {}
  ~TestItem() override {
    if (destroyed != nullptr) ++*destroyed;
  }
  // A square of half-size `half` around (cx, cy) in the plane z = depth.
  TestItem& Square(float cx, float cy, float z, float halfSize) {
    hittable = true;
    square = {cx, cy, z, halfSize};
    return *this;
  }
  void Display(AView3DAdapter*) override {}
  bool RayHit(const float o[3], const float d[3], float scalar, float hit[3], float& parameter) const override {
    if (!hittable || d[2] == 0.0f) return false;
    const float t = (square[2] - o[2]) / d[2];
    const float x = o[0] + t * d[0];
    const float y = o[1] + t * d[1];
    if (t < 0.0f || t > scalar || std::abs(x - square[0]) > square[3] || std::abs(y - square[1]) > square[3]) {
      return false;
    }
    hit[0] = x;
    hit[1] = y;
    hit[2] = square[2];
    parameter = t;
    return true;
  }

 private:
  int* destroyed;
  bool hittable = false;
  std::array<float, 4> square{};
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
  // Builds root/groups.../leaf, opening nothing; returns the leaf.
  GeoNode* AddLeaf(const std::vector<std::uint64_t>& groupsThenLeaf) {
    Node* group = rootNode;
    for (std::size_t i = 0; i + 1 < groupsThenLeaf.size(); ++i) {
      GeoNode* existing = group->GetChild(groupsThenLeaf[i]);
      group = existing != nullptr ? dynamic_cast<Node*>(existing) : group->CreateChildNode(groupsThenLeaf[i]);
    }
    return group->CreateChildGeoNode(groupsThenLeaf.back());
  }
  std::string Structure() {
    std::string text;
    GetSceneStructure(text, true);
    return text;
  }
};

#endif
