// A small scene on a TestView for the highlight tests: model 2, part 3,
// category 10002, and below it nodes in every colour state a mark must keep
// or restore. The view owns a HighlightStrategyGL built on its adapter.
#ifndef NIMBO_TESTS_KIVVIZOPENGL_HIGHLIGHTSCENE_H
#define NIMBO_TESTS_KIVVIZOPENGL_HIGHLIGHTSCENE_H

#include <cstdint>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizOpenGL/HighlightStrategyGL.h"
#include "TestView.h"

namespace NimboTest {

class HighlightScene {
 public:
  // Leaves under the category.
  static constexpr std::uint64_t Opaque = 10;         // red, opaque
  static constexpr std::uint64_t Uncoloured = 11;     // no colour attribute
  static constexpr std::uint64_t Transparent = 12;    // green, alpha 128
  static constexpr std::uint64_t OpaqueFlagged = 13;  // alpha 128 but flagged opaque
  static constexpr std::uint64_t Group = 20;          // blue group, alpha 100, not opaque
  static constexpr std::uint64_t InGroup = 21;        // no colour, under Group

  static constexpr RGBAColor OpaqueColor{200, 10, 10, 255};
  static constexpr RGBAColor TransparentColor{10, 200, 10, 128};
  static constexpr RGBAColor FlaggedColor{90, 90, 90, 128};
  static constexpr RGBAColor GroupColor{0, 0, 255, 100};

  HighlightScene();

  // The path of a leaf under the category, or of a node in Group.
  static RenderId PathOf(std::uint64_t id);
  Node& Category() { return *category; }
  GeoNode& NodeOf(std::uint64_t id) { return *view.GetNode(PathOf(id)); }
  // The node's colour attribute, or null.
  const AttributeColor* ColorOf(std::uint64_t id);

  TestView view;
  HighlightStrategyGL* strategy = nullptr;

 private:
  Node* category = nullptr;
};

}  // namespace NimboTest

#endif
