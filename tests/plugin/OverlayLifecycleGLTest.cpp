// The overlays' nodes in the view's scene graph: what they build and under
// which ids, rebuilding, removal, ClearAll, and failures while building.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
  // All three shown: the circle at (120, 30), a rectangle from (110, 10) to
  // (150, 50), clear of the triad's corner.
  void ShowAll() {
    Aperture().SetIsVisible(true);
    Rubberband().SetIsVisible(true);
    Drag(110, 10, 150, 50);
    NotifyOne(kApertureName, IViewOp::Hover, 0, 120, 30);
  }
  // Triad, circle and rectangle pixels in a frame.
  std::array<int, 3> Shown(const platform::Image& image) {
    return {Measure(image, kCorner, Reddish).count + Measure(image, kCorner, Greenish).count,
            Measure(image, {105, 15, 135, 45}, Black).count, Measure(image, kWhole, RubberbandRed).count};
  }
  GeoNode* OwnNode(AViewObject& object) { return Manager().GetNode()->GetChild(static_cast<std::uint64_t>(object.GetId())); }
};

TEST_F(OverlayLifecycleGLTest, EachOverlayHangsItsOwnSubtreeUnderTheManagersNode) {
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  Frame();
  ASSERT_EQ(Manager().GetNode()->Children().size(), 3u);
  for (const auto& [object, name] : {std::pair{&Axes(), L"AxesViewObject"}, {&Aperture(), L"aperture"},
                                     {&Rubberband(), L"rubberband"}}) {
    ASSERT_NE(OwnNode(*object), nullptr) << object->Name();
    EXPECT_EQ(OwnNode(*object), object->GetNode());
    EXPECT_EQ(object->GetNode()->Name(), name);
  }
  // The triad: one axis node per axis, turned so that the arrow's +Z lies
  // along its axis, over a geometry leaf with the axis item.
  const struct {
    std::uint64_t id;
    const wchar_t* label;
    RGBAColor color;
    float direction[3];
  } axes[] = {{1, L"X", RGBAColor(255, 0, 0, 200), {1, 0, 0}},
              {2, L"Y", RGBAColor(0, 255, 0, 200), {0, 1, 0}},
              {3, L"Z", RGBAColor(0, 0, 255, 200), {0, 0, 1}}};
  for (const auto& axis : axes) {
    GeoNode* axisNode = Child(Axes().GetNode(), axis.id);
    ASSERT_NE(axisNode, nullptr);
    EXPECT_EQ(axisNode->Name(), axis.label);
    const auto& transform = dynamic_cast<const AttributeTransform&>(*axisNode->GetAttribute(Attribute::TransformType));
    const float arrow[3] = {0.0f, 0.0f, 1.0f};
    float turned[3];
    TransformDirection(transform.GetTransform(), arrow, turned);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(turned[i], axis.direction[i], 1e-6) << axis.label;
    GeoNode* leaf = Child(axisNode, axis.id);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Name(), L"geometry");
    ASSERT_EQ(leaf->Geometry().size(), 1u);
    const auto& item = dynamic_cast<const GeometryItemAxisGL&>(*leaf->Geometry()[0]);
    EXPECT_EQ(item.ID(), axis.id);
    EXPECT_EQ(item.GetLabel(), axis.label);
    EXPECT_EQ(item.GetColor(), axis.color);
  }
  EXPECT_EQ(Child(Aperture().GetNode(), 1)->Name(), L"geometry");
  const auto& circle = dynamic_cast<const GeometryItemCircle2DGL&>(*ItemOf(Aperture()));
  EXPECT_EQ(circle.ID(), 2000u) << "the aperture's id 2 times 1000";
  EXPECT_EQ(circle.GetColor(), RGBAColor(0, 0, 0, 255));
  EXPECT_EQ(Child(Rubberband().GetNode(), 1)->Name(), L"geometry");
  const auto& outline = dynamic_cast<const GeometryItemPolylineGL&>(*ItemOf(Rubberband()));
  EXPECT_EQ(outline.ID(), 3000u);
  EXPECT_EQ(outline.GetColor(), RGBAColor(220, 0, 0, 255));
  EXPECT_EQ(outline.lineWidth, 2.0f);
  EXPECT_EQ(outline.stipplePattern, 0xF0F0);
  EXPECT_EQ(outline.Points().size(), 15u);
}

TEST_F(OverlayLifecycleGLTest, IdsAreSignExtendedAndItemIdsWrapLikeInt32) {
  constexpr auto minus = [](std::uint64_t value) { return ~value + 1; };
  const struct {
    const char* object;
    int id;
    std::uint64_t nodeId, itemId;
  } cases[] = {{kApertureName, 7, 7, 7000},
               {kApertureName, -5, minus(5), minus(5000)},
               {kApertureName, 3000000, 3000000, minus(1294967296)},  // 3e9 wraps
               {kRubberbandName, INT_MIN, minus(2147483648u), 0},
               {kRubberbandName, -3000000, minus(3000000), 1294967296},
               {kAxesName, -1, minus(1), 0}};
  Frame();  // a current context for the rubber band's unprojection
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.object) + " " + std::to_string(c.id));
    AViewObject& object = Object(c.object);
    const int assigned = object.GetId();
    object.Clear();
    object.SetId(c.id);
    object.createGeometry();
    ASSERT_NE(Manager().GetNode()->GetChild(c.nodeId), nullptr);
    EXPECT_EQ(Manager().GetNode()->GetChild(c.nodeId), object.GetNode());
    if (c.object != kAxesName) {
      ASSERT_NE(ItemOf(object), nullptr);
      EXPECT_EQ(ItemOf(object)->ID(), c.itemId);
    }
    object.deleteGeometry();
    EXPECT_EQ(Manager().GetNode()->GetChild(c.nodeId), nullptr) << "deleteGeometry finds it by the same id";
    object.SetId(assigned);
  }
}

TEST_F(OverlayLifecycleGLTest, RebuildingReopensTheNodesAndAddsNewItems) {
  Aperture().SetIsVisible(true);
  Rubberband().SetIsVisible(true);
  Notify(IViewOp::Hover, 0, 80, 60);
  Frame();
  GeoNode* xLeaf = Child(Child(Axes().GetNode(), 1), 1);
  AGeometryItem* xItem = xLeaf->Geometry().at(0);
  GeoNode* circleLeaf = Child(Aperture().GetNode(), 1);
  auto* first = dynamic_cast<GeometryItemCircle2DGL*>(ItemOf(Aperture()));
  const float firstRadius = first->radius;
  Axes().createGeometry();
  Aperture().createGeometry();
  EXPECT_EQ(Child(Child(Axes().GetNode(), 1), 1), xLeaf) << "the same nodes, reopened";
  EXPECT_EQ(Child(Axes().GetNode(), 1)->Attributes().size(), 1u) << "the transform is replaced";
  ASSERT_EQ(xLeaf->Geometry().size(), 2u);
  EXPECT_EQ(xLeaf->Geometry()[0], xItem) << "the old item stays with its node";
  EXPECT_EQ(Child(Aperture().GetNode(), 1), circleLeaf);
  ASSERT_EQ(circleLeaf->Geometry().size(), 2u);
  auto* second = dynamic_cast<GeometryItemCircle2DGL*>(circleLeaf->Geometry()[1]);
  ASSERT_NE(second, nullptr);
  // Twice as far, a pixel spans twice the units: the draw sizes only the new circle.
  LookFrom(0.0f, 0.0f, 20.0f);
  Frame();
  EXPECT_NEAR(second->radius, 2.0f * firstRadius, 1e-5f);
  EXPECT_EQ(first->radius, firstRadius);

  // The rubber band builds once: a second build must not run a scene pass,
  // which would close the node a host has open.
  AGeometryItem* outline = ItemOf(Rubberband());
  ASSERT_TRUE(Scene().OpenNode(1));
  DiagnosticCapture diagnostics;
  Rubberband().createGeometry();
  EXPECT_EQ(Scene().GetCurrentOpenNode(), Scene().GetRootNode());
  Scene().CloseAllNodes();
  EXPECT_EQ(Child(Rubberband().GetNode(), 1)->Geometry().size(), 1u);
  EXPECT_EQ(ItemOf(Rubberband()), outline);
  EXPECT_EQ(diagnostics.Text(), "");
}

TEST_F(OverlayLifecycleGLTest, DeletedOverlaysDrawNothingUntilClearedOrBuiltAgain) {
  ShowAll();
  platform::Image image = Frame();
  ASSERT_GT(Shown(image)[0], 40);
  ASSERT_GT(Shown(image)[1], 20);
  ASSERT_GT(Shown(image)[2], 40);
  Axes().deleteGeometry();
  Aperture().deleteGeometry();
  EXPECT_EQ(OwnNode(Axes()), nullptr);
  EXPECT_EQ(OwnNode(Aperture()), nullptr);
  // The triad and the circle still count as built, so the manager only draws them.
  EXPECT_TRUE(Axes().IsGeometryCreated() && Aperture().IsGeometryCreated());
  image = Frame();
  EXPECT_EQ(Shown(image), (std::array<int, 3>{0, 0, Shown(image)[2]}));
  EXPECT_GT(Shown(image)[2], 40) << "the rubber band is not concerned";
  Keep(image, "deleted_triad_and_circle");
  Axes().Clear();
  Aperture().Clear();
  image = Frame();
  EXPECT_GT(Shown(image)[0], 40) << "Clear resets the flag: the next frame builds them again";
  EXPECT_GT(Shown(image)[1], 20);

  Rubberband().deleteGeometry();
  EXPECT_FALSE(Rubberband().IsGeometryCreated());
  EXPECT_EQ(OwnNode(Rubberband()), nullptr);
  glViewport(0, 0, 1, 1);
  Rubberband().draw();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1) << "drawing without geometry leaves even the viewport alone";
  image = Frame();
  EXPECT_TRUE(Rubberband().IsGeometryCreated());
  EXPECT_GT(Shown(image)[2], 40) << "built again, and the drag it heard goes on";
  Keep(image, "rebuilt");
}

TEST_F(OverlayLifecycleGLTest, ClearAllRemovesTheOverlayNodesAndTheNextFrameRebuildsThem) {
  ShowAll();
  AddQuad(1, 1, 1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, RGBAColor{210, 190, 120, 255});
  Frame();
  View().ClearAll();
  EXPECT_TRUE(Manager().GetNode()->Children().empty());
  EXPECT_EQ(Scene().GetRootNode()->Children().size(), 1u) << "only the overlay node is kept";
  for (AViewObject* object : {&Axes(), &Aperture(), &Rubberband()}) {
    EXPECT_FALSE(object->IsGeometryCreated()) << object->Name();
  }
  const platform::Image image = Frame();
  EXPECT_EQ(Manager().GetNode()->Children().size(), 3u);
  EXPECT_GT(Shown(image)[0], 40);
  EXPECT_GT(Shown(image)[1], 20);
  EXPECT_GT(Shown(image)[2], 40);
  Keep(image, "rebuilt_after_clear_all");
}

// A host's group node that refuses children by throwing its own error type,
// which is no std::exception.
class RefusingGroup : public Node {
 public:
  explicit RefusingGroup(std::uint64_t id) : Node(id, L"refusing") {}
  Node* CreateChildNode(std::uint64_t id) override { throw id; }
  GeoNode* CreateChildGeoNode(std::uint64_t id) override { throw id; }
};

TEST_F(OverlayLifecycleGLTest, BuildFailuresAreReportedAndNeverEscape) {
  // Detached: the host unlinked the manager's node, the build finds no node
  // 60000 to open, and creating it with nothing open throws. Refusing: the
  // root's child 60000 is a host group that refuses children.
  const struct {
    const char* object;
    bool refusing;
    const char* diagnostics;
    bool createdAfterwards;
  } cases[] = {{kAxesName, false,
                "Cannot create child node for GeoNode.\n"
                "Exception in AxesViewObjectGL::createGeometry(): Cannot create node\n",
                false},
               {kAxesName, true, "Unhandled Exception in AxesViewObjectGL::createGeometry()\n", false},
               {kApertureName, false,
                "Cannot create child node for GeoNode.\n"
                "Exception in ApertureViewObjectGL::createGeometry(): Cannot create node\n",
                true},
               {kApertureName, true, "Unhandled Exception in ApertureViewObjectGL::createGeometry()\n", true},
               {kRubberbandName, false,
                "Cannot create child node for GeoNode.\n"
                "Exception in RubberbandViewObjectGLSG::createGeometry(): Cannot create node\n",
                true},
               {kRubberbandName, true, "Unhandled Exception in RubberbandViewObjectGLSG::createGeometry()\n", true}};
  Node* root = Scene().GetRootNode();
  Node* overlay = Manager().GetNode();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.object) + (c.refusing ? ", refusing" : ", detached"));
    AViewObject& object = Object(c.object);
    object.Clear();
    ASSERT_TRUE(overlay->RemoveFromParents(root));
    if (c.refusing) {
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
    DiagnosticCapture diagnostics;
    object.createGeometry();
    EXPECT_EQ(diagnostics.Text(), "");
    EXPECT_EQ(OwnNode(object) != nullptr, c.object != kRubberbandName) << "a failed rubber band counts as built";
    object.Clear();
  }
}

}  // namespace
}  // namespace plugintest
