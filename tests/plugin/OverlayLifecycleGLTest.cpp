// The overlays' nodes in the view's scene graph: what they build and under
// which ids, rebuilding, removal, ClearAll, and failures while building.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "NimboCore/IViewOp.h"
#include "OverlayFixture.h"

namespace plugintest {
namespace {

class OverlayLifecycleGLTest : public OverlayGLTest {
 protected:
  // All three shown, the circle at (120, 30), a rectangle from (110, 10) to
  // (150, 50): clear of the triad's corner and of each other.
  void ShowAll() {
    Aperture().SetIsVisible(true);
    Rubberband().SetIsVisible(true);
    Drag(110, 10, 150, 50);
    NotifyOne(kApertureName, IViewOp::Hover, 0, 120, 30);
  }
  int TriadPixels(const platform::Image& image) {
    return Measure(image, kCorner, Reddish).count + Measure(image, kCorner, Greenish).count;
  }
  int CirclePixels(const platform::Image& image) {
    return Measure(image, {105, 15, 135, 45}, Black).count;
  }
  int RectanglePixels(const platform::Image& image) {
    return Measure(image, kWhole, RubberbandRed).count;
  }
  Node& OverlayNode() { return *Manager().GetNode(); }
};

TEST_F(OverlayLifecycleGLTest, EachOverlayHangsItsOwnSubtreeUnderTheManagersNode) {
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  Frame();
  ASSERT_EQ(OverlayNode().Children().size(), 3u);
  const struct {
    AViewObject& object;
    std::wstring name;
  } owners[] = {
      {Axes(), L"AxesViewObject"}, {Aperture(), L"aperture"}, {Rubberband(), L"rubberband"}};
  for (const auto& owner : owners) {
    GeoNode* own = OverlayNode().GetChild(static_cast<std::uint64_t>(owner.object.GetId()));
    ASSERT_NE(own, nullptr) << owner.object.Name();
    EXPECT_EQ(own, owner.object.GetNode());
    EXPECT_EQ(own->Name(), owner.name);
    EXPECT_TRUE(owner.object.IsGeometryCreated());
  }

  // The triad: one axis node per axis, turned so that the arrow's +Z lies
  // along its axis, over a geometry leaf with the axis item.
  const struct {
    std::uint64_t id;
    const wchar_t* label;
    RGBAColor color;
    float direction[3];
  } axes[] = {{1, L"X", RGBAColor(255, 0, 0, 200), {1.0f, 0.0f, 0.0f}},
              {2, L"Y", RGBAColor(0, 255, 0, 200), {0.0f, 1.0f, 0.0f}},
              {3, L"Z", RGBAColor(0, 0, 255, 200), {0.0f, 0.0f, 1.0f}}};
  for (const auto& axis : axes) {
    GeoNode* axisNode = Child(Axes().GetNode(), axis.id);
    ASSERT_NE(axisNode, nullptr);
    EXPECT_EQ(axisNode->Name(), axis.label);
    const auto* transform =
        dynamic_cast<const AttributeTransform*>(axisNode->GetAttribute(Attribute::TransformType));
    ASSERT_NE(transform, nullptr);
    const float arrow[3] = {0.0f, 0.0f, 1.0f};
    float turned[3];
    TransformDirection(transform->GetTransform(), arrow, turned);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(turned[i], axis.direction[i], 1e-6) << axis.label;
    GeoNode* leaf = Child(axisNode, axis.id);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Name(), L"geometry");
    ASSERT_EQ(leaf->Geometry().size(), 1u);
    auto* item = dynamic_cast<GeometryItemAxisGL*>(leaf->Geometry()[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ID(), axis.id);
    EXPECT_EQ(item->GetLabel(), axis.label);
    EXPECT_EQ(item->GetColor(), axis.color);
  }

  GeoNode* circleLeaf = Child(Aperture().GetNode(), 1);
  ASSERT_NE(circleLeaf, nullptr);
  EXPECT_EQ(circleLeaf->Name(), L"geometry");
  ASSERT_EQ(circleLeaf->Geometry().size(), 1u);
  auto* circle = dynamic_cast<GeometryItemCircle2DGL*>(circleLeaf->Geometry()[0]);
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->ID(), 2000u) << "the aperture's id 2 times 1000";
  EXPECT_EQ(circle->GetColor(), RGBAColor(0, 0, 0, 255));

  GeoNode* outlineLeaf = Child(Rubberband().GetNode(), 1);
  ASSERT_NE(outlineLeaf, nullptr);
  EXPECT_EQ(outlineLeaf->Name(), L"geometry");
  ASSERT_EQ(outlineLeaf->Geometry().size(), 1u);
  auto* outline = dynamic_cast<GeometryItemPolylineGL*>(outlineLeaf->Geometry()[0]);
  ASSERT_NE(outline, nullptr);
  EXPECT_EQ(outline->ID(), 3000u);
  EXPECT_EQ(outline->GetColor(), RGBAColor(220, 0, 0, 255));
  EXPECT_EQ(outline->lineWidth, 2.0f);
  EXPECT_EQ(outline->stipplePattern, 0xF0F0);
  EXPECT_EQ(outline->Points().size(), 15u);
}

// ---------------------------------------------------------------- ids

struct IdCase {
  std::string name;
  std::string object;
  int id;
  std::uint64_t nodeId;
  std::uint64_t itemId;
};

void PrintTo(const IdCase& c, std::ostream* out) { *out << c.name; }

class OverlayIdGLTest : public OverlayLifecycleGLTest,
                        public ::testing::WithParamInterface<IdCase> {};

TEST_P(OverlayIdGLTest, IdsAreSignExtendedAndItemIdsWrapLikeInt32) {
  const IdCase& c = GetParam();
  Frame();  // a current context for the rubber band's unprojection
  AViewObject& object = Object(c.object);
  const int assigned = object.GetId();
  object.Clear();
  object.SetId(c.id);
  object.createGeometry();
  GeoNode* own = OverlayNode().GetChild(c.nodeId);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own, object.GetNode());
  if (c.object != kAxesName) {
    ASSERT_NE(ItemOf(object), nullptr);
    EXPECT_EQ(ItemOf(object)->ID(), c.itemId);
  }
  object.deleteGeometry();
  EXPECT_EQ(OverlayNode().GetChild(c.nodeId), nullptr) << "deleteGeometry finds it by the same id";
  object.SetId(assigned);
}

constexpr std::uint64_t kMinus(std::uint64_t value) { return ~value + 1; }

INSTANTIATE_TEST_SUITE_P(
    Ids, OverlayIdGLTest,
    ::testing::Values(
        IdCase{"AperturePlain", kApertureName, 7, 7, 7000},
        IdCase{"ApertureNegative", kApertureName, -5, kMinus(5), kMinus(5000)},
        // 3e9 does not fit: it wraps to -1294967296.
        IdCase{"ApertureWrapsNegative", kApertureName, 3000000, 3000000, kMinus(1294967296)},
        IdCase{"RubberbandWrapsToZero", kRubberbandName, INT_MIN, kMinus(2147483648u), 0},
        IdCase{"RubberbandWrapsPositive", kRubberbandName, -3000000, kMinus(3000000), 1294967296},
        IdCase{"AxesNegative", kAxesName, -1, kMinus(1), 0}),
    [](const ::testing::TestParamInfo<IdCase>& info) { return info.param.name; });

// ---------------------------------------------------------------- rebuilding

TEST_F(OverlayLifecycleGLTest, AxesRebuildReopensTheirNodesAndAddsNewItems) {
  Frame();
  std::vector<GeoNode*> nodes{Axes().GetNode()};
  std::vector<AGeometryItem*> items;
  for (std::uint64_t n = 1; n <= 3; ++n) {
    nodes.push_back(Child(Axes().GetNode(), n));
    nodes.push_back(Child(nodes.back(), n));
    ASSERT_NE(nodes.back(), nullptr);
    ASSERT_EQ(nodes.back()->Geometry().size(), 1u);
    items.push_back(nodes.back()->Geometry()[0]);
  }
  Axes().createGeometry();
  std::vector<GeoNode*> again{Axes().GetNode()};
  for (std::uint64_t n = 1; n <= 3; ++n) {
    again.push_back(Child(Axes().GetNode(), n));
    again.push_back(Child(again.back(), n));
    ASSERT_NE(again.back(), nullptr);
    const std::vector<AGeometryItem*>& geometry = again.back()->Geometry();
    ASSERT_EQ(geometry.size(), 2u) << "axis " << n;
    EXPECT_EQ(geometry[0], items[n - 1]) << "the old item stays with its node";
    EXPECT_NE(geometry[1], items[n - 1]);
    EXPECT_EQ(again[again.size() - 2]->Attributes().size(), 1u) << "the transform is replaced";
  }
  EXPECT_EQ(again, nodes) << "the same nodes, reopened";
  EXPECT_EQ(OverlayNode().Children().size(), 1u);
}

TEST_F(OverlayLifecycleGLTest, ApertureRebuildSizesOnlyItsNewCircle) {
  Aperture().SetIsVisible(true);
  Notify(IViewOp::Hover, 0, 80, 60);
  Frame();
  GeoNode* leaf = Child(Aperture().GetNode(), 1);
  ASSERT_NE(leaf, nullptr);
  auto* first = dynamic_cast<GeometryItemCircle2DGL*>(leaf->Geometry().at(0));
  ASSERT_NE(first, nullptr);
  const float firstRadius = first->radius;

  Aperture().createGeometry();
  EXPECT_EQ(Child(Aperture().GetNode(), 1), leaf) << "the geometry leaf is reopened";
  ASSERT_EQ(leaf->Geometry().size(), 2u);
  auto* second = dynamic_cast<GeometryItemCircle2DGL*>(leaf->Geometry()[1]);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->ID(), first->ID());
  // Twice as far, a pixel spans twice the units: the draw writes the new
  // circle's radius and leaves the old one as it was.
  LookFrom(0.0f, 0.0f, 20.0f);
  Frame();
  EXPECT_NEAR(second->radius, 2.0f * firstRadius, 1e-5f);
  EXPECT_EQ(first->radius, firstRadius);
}

TEST_F(OverlayLifecycleGLTest, RubberbandBuildsOnceUntilDeleted) {
  Rubberband().SetIsVisible(true);
  Frame();
  ASSERT_TRUE(Rubberband().IsGeometryCreated());
  GeoNode* leaf = Child(Rubberband().GetNode(), 1);
  ASSERT_NE(leaf, nullptr);
  AGeometryItem* item = ItemOf(Rubberband());

  // A host in the middle of building: a second build must not run a scene
  // pass, which would close the host's open node.
  ASSERT_TRUE(Scene().OpenNode(1));
  DiagnosticCapture diagnostics;
  Rubberband().createGeometry();
  EXPECT_EQ(Scene().GetCurrentOpenNode(), Scene().GetRootNode());
  Scene().CloseAllNodes();
  EXPECT_EQ(leaf->Geometry().size(), 1u);
  EXPECT_EQ(ItemOf(Rubberband()), item);
  EXPECT_EQ(diagnostics.Text(), "");
}

// ---------------------------------------------------------------- removal

TEST_F(OverlayLifecycleGLTest, DeletedTriadAndCircleAreNotDrawnUntilCleared) {
  ShowAll();
  platform::Image image = Frame();
  ASSERT_GT(TriadPixels(image), 40);
  ASSERT_GT(CirclePixels(image), 20);

  Axes().deleteGeometry();
  Aperture().deleteGeometry();
  EXPECT_EQ(OverlayNode().GetChild(static_cast<std::uint64_t>(Axes().GetId())), nullptr);
  EXPECT_EQ(OverlayNode().GetChild(static_cast<std::uint64_t>(Aperture().GetId())), nullptr);
  // They still count as built, so the manager only draws them.
  EXPECT_TRUE(Axes().IsGeometryCreated());
  EXPECT_TRUE(Aperture().IsGeometryCreated());
  image = Frame();
  EXPECT_EQ(TriadPixels(image), 0);
  EXPECT_EQ(CirclePixels(image), 0);
  EXPECT_GT(RectanglePixels(image), 40) << "the rubber band is not concerned";
  Keep(image, "deleted_triad_and_circle");

  // Clear resets the flag: the next frame builds them again.
  Axes().Clear();
  Aperture().Clear();
  image = Frame();
  EXPECT_GT(TriadPixels(image), 40);
  EXPECT_GT(CirclePixels(image), 20);
  Keep(image, "cleared_triad_and_circle");
}

TEST_F(OverlayLifecycleGLTest, DeletedRubberbandDrawsNothingUntilBuiltAgain) {
  ShowAll();
  ASSERT_GT(RectanglePixels(Frame()), 40);

  Rubberband().deleteGeometry();
  EXPECT_FALSE(Rubberband().IsGeometryCreated());
  EXPECT_EQ(OverlayNode().GetChild(static_cast<std::uint64_t>(Rubberband().GetId())), nullptr);
  // Drawing without geometry leaves even the viewport alone.
  glViewport(0, 0, 1, 1);
  Rubberband().draw();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1);
  EXPECT_EQ(viewport[3], 1);

  // The manager builds it again, and the drag it heard goes on.
  const platform::Image image = Frame();
  EXPECT_TRUE(Rubberband().IsGeometryCreated());
  EXPECT_GT(RectanglePixels(image), 40);
  Keep(image, "rebuilt_rubberband");
}

TEST_F(OverlayLifecycleGLTest, ClearAllRemovesTheOverlayNodesAndTheNextFrameRebuildsThem) {
  ShowAll();
  AddQuad(1, 1, 1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, RGBAColor{210, 190, 120, 255});
  platform::Image image = Frame();
  ASSERT_EQ(OverlayNode().Children().size(), 3u);

  View().ClearAll();
  EXPECT_TRUE(OverlayNode().Children().empty()) << "the overlays' subtrees are gone";
  EXPECT_EQ(Scene().GetRootNode()->Children().size(), 1u) << "only the overlay node is kept";
  for (AViewObject* object : {&Axes(), &Aperture(), &Rubberband()}) {
    EXPECT_FALSE(object->IsGeometryCreated()) << object->Name();
  }

  image = Frame();
  EXPECT_EQ(OverlayNode().Children().size(), 3u);
  EXPECT_GT(TriadPixels(image), 40);
  EXPECT_GT(CirclePixels(image), 20);
  EXPECT_GT(RectanglePixels(image), 40);
  Keep(image, "rebuilt_after_clear_all");
}

// ---------------------------------------------------------------- failures

// A host's group node that refuses children by throwing its own error type,
// which is no std::exception.
struct ChildRefused {
  std::uint64_t id;
};

class RefusingGroup : public Node {
 public:
  explicit RefusingGroup(std::uint64_t id) : Node(id, L"refusing") {}
  Node* CreateChildNode(std::uint64_t id) override { throw ChildRefused{id}; }
  GeoNode* CreateChildGeoNode(std::uint64_t id) override { throw ChildRefused{id}; }
};

enum class Provocation {
  // The host unlinked the manager's node from the root: the build finds no
  // node 60000 to open, and creating it with nothing open throws "Cannot
  // create node".
  DetachedOverlayNode,
  // The root's child 60000 is a group of the host that refuses children.
  RefusingOverlayNode,
};

struct FailureCase {
  std::string name;
  std::string object;
  Provocation provocation;
  std::string diagnostics;
  bool createdAfterwards;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class OverlayFailureGLTest : public OverlayLifecycleGLTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OverlayFailureGLTest, BuildFailureIsReportedAndNeverEscapes) {
  const FailureCase& c = GetParam();
  AViewObject& object = Object(c.object);
  Node* root = Scene().GetRootNode();
  Node* overlay = &OverlayNode();
  ASSERT_FALSE(object.IsGeometryCreated());
  ASSERT_TRUE(overlay->RemoveFromParents(root));
  if (c.provocation == Provocation::RefusingOverlayNode) {
    ASSERT_TRUE(root->AddChild(new RefusingGroup(AView3DAdapter::OverlayNodeId)));
  }
  {
    DiagnosticCapture diagnostics;
    EXPECT_NO_THROW(object.createGeometry());
    EXPECT_EQ(diagnostics.Text(), c.diagnostics);
  }
  EXPECT_EQ(object.IsGeometryCreated(), c.createdAfterwards);
  EXPECT_TRUE(overlay->Children().empty());

  // The failed pass leaves whatever it opened; the host puts the scene back.
  Scene().CloseAllNodes();
  root->DeleteChildById(AView3DAdapter::OverlayNodeId);
  ASSERT_TRUE(root->AddChild(overlay));

  // Built now, unless a failed rubber band still counts as built.
  DiagnosticCapture diagnostics;
  object.createGeometry();
  EXPECT_EQ(diagnostics.Text(), "");
  EXPECT_EQ(overlay->GetChild(static_cast<std::uint64_t>(object.GetId())) != nullptr,
            c.object != kRubberbandName);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, OverlayFailureGLTest,
    ::testing::Values(
        FailureCase{"AxesStandard", kAxesName, Provocation::DetachedOverlayNode,
                    "Cannot create child node for GeoNode.\n"
                    "Exception in AxesViewObjectGL::createGeometry(): Cannot create node\n",
                    false},
        FailureCase{"AxesOther", kAxesName, Provocation::RefusingOverlayNode,
                    "Unhandled Exception in AxesViewObjectGL::createGeometry()\n", false},
        FailureCase{"ApertureStandard", kApertureName, Provocation::DetachedOverlayNode,
                    "Cannot create child node for GeoNode.\n"
                    "Exception in ApertureViewObjectGL::createGeometry(): Cannot create node\n",
                    true},
        FailureCase{"ApertureOther", kApertureName, Provocation::RefusingOverlayNode,
                    "Unhandled Exception in ApertureViewObjectGL::createGeometry()\n", true},
        FailureCase{"RubberbandStandard", kRubberbandName, Provocation::DetachedOverlayNode,
                    "Cannot create child node for GeoNode.\n"
                    "Exception in RubberbandViewObjectGLSG::createGeometry(): Cannot create node\n",
                    true},
        FailureCase{"RubberbandOther", kRubberbandName, Provocation::RefusingOverlayNode,
                    "Unhandled Exception in RubberbandViewObjectGLSG::createGeometry()\n", true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace plugintest
