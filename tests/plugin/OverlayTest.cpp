// The three overlays (triad, aperture, rubber band): nodes and ids, drawing order,
// controller records, rebuilding and deleting, and failures while building.

#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "NimboCore/Controller.h"
#include "NimboCore/ViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

// Pixels in columns [x0, x1) and rows [y0, y1) that pass the test.
template <typename Test>
int Count(const platform::Image& image, int x0, int y0, int x1, int y1, Test test) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += test(image.At(x, y)) ? 1 : 0;
  return count;
}

// The group child with that id: null when missing or not a group's.
GeoNode* Child(GeoNode* node, std::uint64_t id) {
  return node != nullptr && node->IsGroup() ? static_cast<Node*>(node)->GetChild(id) : nullptr;
}

class OverlayTest : public PluginHostFixture {
 protected:
  // All three shown and a finished empty scene (or no leaves draw).
  void SetUp() override {
    PluginHostFixture::SetUp();
    for (AViewObject* object : {&Axes(), &Aperture(), &Rubberband()}) object->SetIsVisible(true);
    Scene().BeginScene(nullptr);
    Scene().EndScene();
  }

  AViewObject& Axes() { return *Manager().Get("AxesViewObject"); }
  AViewObject& Aperture() { return *Manager().Get("Aperture"); }
  AViewObject& Rubberband() { return *Manager().Get("Rubberband"); }
  GeoNode* OwnNode(AViewObject& object) {
    return Manager().GetNode()->GetChild(static_cast<std::uint64_t>(object.GetId()));
  }

  // Through the view's controller, as a host reports input, or to one overlay.
  void Notify(int type, int phase, int first, int second, int third = 0) {
    ViewOp op(type, phase, first, second, third);
    view->GetController()->Notify(&op);
  }
  void NotifyOne(AViewObject& object, int type, int phase = 1) {
    ViewOp op(type, phase, 111, 112, 113);
    dynamic_cast<IControllerListener&>(object).ControllerNotify(&op);
  }
  void Drag(int x0, int y0, int x1, int y1) {
    Notify(IViewOp::RubberBand, 1, x0, y0);
    Notify(IViewOp::RubberBand, 2, x1, y1);
  }
  // A recording leaf under the overlay's node: each of its draws leaves a record.
  void Record(AViewObject& object, std::uint64_t leaf, std::vector<DrawRecord>& log) {
    ASSERT_NE(object.GetNode(), nullptr) << object.Name() << " has no node yet";
    static_cast<Node*>(object.GetNode())->CreateChildGeoNode(leaf)->AddGeometry(new RecordingItem(leaf, log));
  }
  // The aperture's or the rubber band's geometry leaf's last item, or null.
  AGeometryItem* ItemOf(AViewObject& object) {
    GeoNode* leaf = Child(object.GetNode(), 1);
    return leaf == nullptr || leaf->Geometry().empty() ? nullptr : leaf->Geometry().back();
  }
  // The closed outline's first and third corners in pixels, mapped through the triad's box of [-10, 10].
  std::vector<int> Corners() {
    const std::vector<float>& p = dynamic_cast<GeometryItemPolylineGL&>(*ItemOf(Rubberband())).Points();
    EXPECT_TRUE(p.size() == 15u && p[12] == p[0] && p[13] == p[1]) << "five points, closed";
    const auto x = [&](std::size_t i) { return static_cast<int>(std::lround((p[i] + 10.0) * kWidth / 20.0)); };
    const auto y = [&](std::size_t i) { return static_cast<int>(std::lround((10.0 - p[i]) * kHeight / 20.0)); };
    return {x(0), y(1), x(6), y(7)};
  }
};

TEST_F(OverlayTest, EachOverlayHangsItsOwnNamedSubtreeUnderTheManagersNode) {
  Frame();
  ASSERT_EQ(Manager().GetNode()->Children().size(), 3u);
  for (const auto& [object, name] :
       {std::pair{&Axes(), L"AxesViewObject"}, {&Aperture(), L"aperture"}, {&Rubberband(), L"rubberband"}}) {
    EXPECT_TRUE(OwnNode(*object) != nullptr && OwnNode(*object)->Name() == name) << object->Name();
  }
  for (AViewObject* object : {&Aperture(), &Rubberband()}) EXPECT_EQ(Child(object->GetNode(), 1)->Name(), L"geometry");
  // One labelled axis node per axis over a leaf with the labelled axis item.
  for (const auto& [id, label] : {std::pair{1u, L"X"}, {2u, L"Y"}, {3u, L"Z"}}) {
    GeoNode* leaf = Child(Child(Axes().GetNode(), id), id);
    ASSERT_TRUE(leaf != nullptr && leaf->Geometry().size() == 1u);
    EXPECT_EQ(Child(Axes().GetNode(), id)->Name(), label);
    EXPECT_EQ(leaf->Name(), L"geometry");
    EXPECT_EQ(dynamic_cast<const GeometryItemAxisGL&>(*leaf->Geometry()[0]).GetLabel(), label);
  }
  const auto& outline = dynamic_cast<const GeometryItemPolylineGL&>(*ItemOf(Rubberband()));
  EXPECT_EQ(outline.lineWidth, 2.0f);
  EXPECT_EQ(outline.stipplePattern, 0xF0F0);
}

TEST_F(OverlayTest, IdsAreSignExtendedAndItemIdsWrapLikeInt32) {
  constexpr auto minus = [](std::uint64_t value) { return ~value + 1; };
  Frame();  // a current context for the rubber band's unprojection
  for (const auto& [object, id, nodeId, itemId] :
       {std::tuple<AViewObject&, int, std::uint64_t, std::uint64_t>{Aperture(), -5, minus(5), minus(5000)},
        {Aperture(), 3000000, 3000000, minus(1294967296)},  // 3e9 wraps
        {Rubberband(), INT_MIN, minus(2147483648u), 0},
        {Rubberband(), -3000000, minus(3000000), 1294967296},
        {Axes(), -1, minus(1), 0}}) {
    SCOPED_TRACE(object.Name() + " " + std::to_string(id));
    object.Clear();
    object.SetId(id);
    object.createGeometry();
    ASSERT_TRUE(object.GetNode() != nullptr && Manager().GetNode()->GetChild(nodeId) == object.GetNode());
    EXPECT_TRUE(&object == &Axes() || (ItemOf(object) != nullptr && ItemOf(object)->ID() == itemId));
    object.deleteGeometry();
    EXPECT_EQ(Manager().GetNode()->GetChild(nodeId), nullptr) << "deleteGeometry finds it by the same id";
  }
}

TEST_F(OverlayTest, RebuildsAddToTheSameNodesAndDeletedOverlaysStayBuilt) {
  Frame();
  GeoNode* xLeaf = Child(Child(Axes().GetNode(), 1), 1);
  AGeometryItem* xItem = xLeaf->Geometry().at(0);
  GeoNode* circleLeaf = Child(Aperture().GetNode(), 1);
  Axes().createGeometry();
  Aperture().createGeometry();
  EXPECT_EQ(Child(Axes().GetNode(), 1)->Attributes().size(), 1u) << "the transform is replaced";
  ASSERT_EQ(xLeaf->Geometry().size(), 2u);
  EXPECT_EQ(xLeaf->Geometry()[0], xItem) << "the old item stays with its node";
  ASSERT_EQ(circleLeaf->Geometry().size(), 2u);
  // A second rubber band build runs no scene pass, which would close the host's open node.
  AGeometryItem* outline = ItemOf(Rubberband());
  ASSERT_TRUE(Scene().OpenNode(1));
  Rubberband().createGeometry();
  EXPECT_EQ(Scene().GetCurrentOpenNode(), Scene().GetRootNode());
  Scene().CloseAllNodes();
  EXPECT_EQ(ItemOf(Rubberband()), outline) << "no new item either";

  for (AViewObject* object : {&Axes(), &Aperture()}) object->deleteGeometry();
  EXPECT_TRUE(Axes().IsGeometryCreated() && Aperture().IsGeometryCreated());
  Frame();
  EXPECT_TRUE(OwnNode(Axes()) == nullptr && OwnNode(Aperture()) == nullptr) << "still built: the manager only draws";
  // The rubber band, though, builds again in the next frame; drawing without geometry is harmless.
  Rubberband().deleteGeometry();
  EXPECT_TRUE(!Rubberband().IsGeometryCreated() && OwnNode(Rubberband()) == nullptr);
  Rubberband().draw();
  Frame();
  EXPECT_TRUE(Rubberband().IsGeometryCreated() && OwnNode(Rubberband()) != nullptr);
}

// A host's group that refuses children by throwing something that is no std::exception.
class RefusingGroup : public Node {
 public:
  explicit RefusingGroup(std::uint64_t id) : Node(id, L"refusing") {}
  Node* CreateChildNode(std::uint64_t id) override { throw id; }
};

TEST_F(OverlayTest, BuildFailuresAreReportedAndNeverEscape) {
  // Detached: the manager's node is unlinked; refusing: a host group refuses children.
  Node* root = Scene().GetRootNode();
  Node* overlay = Manager().GetNode();
  for (const auto& [object, type, createdAfterwards] :
       {std::tuple<AViewObject&, std::string, bool>{Axes(), "AxesViewObjectGL", false},
        {Aperture(), "ApertureViewObjectGL", true},
        {Rubberband(), "RubberbandViewObjectGLSG", true}}) {
    for (bool refusing : {false, true}) {
      SCOPED_TRACE(object.Name() + (refusing ? ", refusing" : ", detached"));
      object.Clear();
      ASSERT_TRUE(overlay->RemoveFromParents(root));
      ASSERT_TRUE(!refusing || root->AddChild(new RefusingGroup(AView3DAdapter::OverlayNodeId)));
      {
        DiagnosticCapture diagnostics;
        EXPECT_NO_THROW(object.createGeometry());
        EXPECT_EQ(diagnostics.Text(), refusing ? "Unhandled Exception in " + type + "::createGeometry()\n"
                                               : "Cannot create child node for GeoNode.\nException in " + type +
                                                     "::createGeometry(): Cannot create node\n");
      }
      EXPECT_EQ(object.IsGeometryCreated(), createdAfterwards);
      EXPECT_TRUE(overlay->Children().empty());
      // The failed pass leaves whatever it opened; the host puts the scene back.
      Scene().CloseAllNodes();
      root->DeleteChildById(AView3DAdapter::OverlayNodeId);
      ASSERT_TRUE(root->AddChild(overlay));
      DiagnosticCapture diagnostics;
      object.createGeometry();
      EXPECT_EQ(diagnostics.Text(), "");
      EXPECT_EQ(OwnNode(object) != nullptr, &object != &Rubberband()) << "a failed rubber band counts as built";
      object.Clear();
    }
  }
}

TEST_F(OverlayTest, AWindowWithoutRowsDrawsNoCircleAndANegativeHeightAnAspectOfOne) {
  Notify(IViewOp::Hover, 0, 80, 60);
  Frame();
  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  auto& circle = dynamic_cast<GeometryItemCircle2DGL&>(*ItemOf(Aperture()));
  const float radius = circle.radius;
  View().SetWindowSize(kWidth, 0);
  Frame();
  EXPECT_TRUE(log.empty()) << "no pixel size to scale the radius by";
  EXPECT_EQ(circle.radius, radius);

  // GL keeps only the first error: one pending before would show here instead.
  ASSERT_EQ(NimboTest::GlErrorBesidesWineFonts(), static_cast<GLenum>(GL_NO_ERROR));
  View().SetWindowSize(kWidth, -kHeight);
  Frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE)) << "GL refuses the viewport, nothing else";
  ASSERT_EQ(log.size(), 1u) << "a negative height is drawn with";
  EXPECT_EQ(circle.radius, -radius) << "the pixel size turns negative with the height";
  const double unitsPerPixel = radius / ViewOpRayPick::APERTURE, visibleHeight = unitsPerPixel * kHeight;
  EXPECT_NEAR(log[0].translation[0], -80 * unitsPerPixel - visibleHeight * 0.5, 1e-4)
      << "as wide as it is high, not " << kWidth << " by " << kHeight;
  EXPECT_NEAR(log[0].translation[1], visibleHeight * 0.5 + 60 * unitsPerPixel, 1e-4);
}

TEST_F(OverlayTest, AllThreeDrawAboveTheSceneInTheManagersOrder) {
  // A quad one unit before the eye fills the window: only depth clears let the overlays show.
  AddQuad(1, -2.0f, -2.0f, 2.0f, 2.0f, 9.0f, RGBAColor{160, 160, 160, 255});
  // Mid-drag the aperture follows the pointer at the rectangle's moving corner.
  Notify(IViewOp::Hover, 0, 100, 12);
  Drag(100, 12, 148, 56);
  const platform::Image image = Frame();
  // One spot per overlay, above the quad: the triad's X axis right of its middle in the
  // 100 pixel corner, the aperture's black ring around the pointer, and the rubber band's
  // dashed top edge in exactly its flat colour, which only the triad's projection puts there.
  const auto red = [](const auto& p) { return p[0] > p[1] + 60 && p[0] > p[2] + 60; };
  const auto black = [](const auto& p) { return p[0] < 30 && p[1] < 30 && p[2] < 30; };
  const auto band = [](const auto& p) { return std::abs(p[0] - 220) <= 3 && p[1] <= 3 && p[2] <= 3; };
  const int r = ViewOpRayPick::APERTURE;
  EXPECT_GT(Count(image, 56, kHeight - 100, 100, kHeight, red), 20);
  EXPECT_GT(Count(image, 148 - r - 4, 56 - r - 4, 148 + r + 5, 56 + r + 5, black), 4 * r);
  EXPECT_GE(Count(image, 103, 10, 145, 14, band), 21);

  std::vector<DrawRecord> log;
  Record(Aperture(), 901, log);
  Record(Axes(), 902, log);
  Record(Rubberband(), 903, log);
  Frame();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[0].item == 901 && log[1].item == 902 && log[2].item == 903) << "aperture, triad, rubber band";
  EXPECT_NEAR(log[1].translation[2], -50.0, 1e-4) << "the triad's own eye distance";
  // With the band hidden by an orbit, the triad's corner is the frame's last viewport, clipped by a small window.
  Notify(IViewOp::Orbit, 1, 60, 60);
  View().SetWindowSize(60, 40);
  Frame();
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ((std::array{viewport[0], viewport[1], viewport[2], viewport[3]}), (std::array{0, 0, 100, 100}));
}

// The next frame's circle centre and rectangle corners, each empty when hidden.
using Shown = std::pair<std::vector<int>, std::vector<int>>;

class NotifyTest : public OverlayTest {
 protected:
  // Both listeners built; the circle at (50, 60) after a rectangle dragged from (20, 30).
  void SetUp() override {
    OverlayTest::SetUp();
    Frame();
    Record(Aperture(), 901, apertureLog);
    Record(Rubberband(), 903, rubberbandLog);
    Drag(20, 30, 50, 60);
  }

  Shown Observe() {
    apertureLog.clear();
    rubberbandLog.clear();
    Frame();
    std::vector<int> circle;
    if (!apertureLog.empty()) {
      // What the 45 degree field spans at the camera's distance, in pixels.
      float eye[3], target[3], up[3];
      view->GetCamera()->GetLookAt(eye, target, up);
      const double perPixel = 2.0 * std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]) *
                              std::tan(std::numbers::pi / 8.0) / kHeight;
      circle = {static_cast<int>(std::lround(apertureLog[0].translation[0] / perPixel + kWidth / 2.0)),
                static_cast<int>(std::lround(kHeight / 2.0 - apertureLog[0].translation[1] / perPixel))};
    }
    return {circle, rubberbandLog.empty() ? std::vector<int>{} : Corners()};
  }

  std::vector<DrawRecord> apertureLog, rubberbandLog;
};

TEST_F(NotifyTest, EachRecordCodeShowsMovesOrHidesEachListener) {
  ASSERT_EQ(Observe(), (Shown{{50, 60}, {20, 30, 50, 60}})) << "rubber-band records move the circle too";
  // Each from that state; wheel steps and key codes come first, the pointer follows.
  for (const auto& [name, type, phase, first, second, third, shown] :
       {std::tuple{"Idle", IViewOp::Idle, 0, 70, 80, 90, Shown{{}, {}}},
        {"Leave", IViewOp::Leave, 0, 70, 80, 90, {{}, {}}},
        {"Hover", IViewOp::Hover, 0, 71, 81, 91, {{71, 81}, {}}},
        {"RayPick", IViewOp::RayPick, 0, 72, 82, 92, {{72, 82}, {}}},
        {"WheelZoom", IViewOp::WheelZoom, 0, 3, 73, 83, {{73, 83}, {}}},
        {"Key", IViewOp::Key, 0, 65, 74, 84, {{74, 84}, {}}},
        {"Orbit", IViewOp::Orbit, 1, 75, 85, 95, {{}, {}}},
        {"Pan", IViewOp::Pan, 1, 76, 86, 96, {{76, 86}, {}}},
        {"RubberBandPress", IViewOp::RubberBand, 1, 77, 87, 97, {{77, 87}, {77, 87, 77, 87}}},
        {"RubberBandMove", IViewOp::RubberBand, 2, 78, 88, 98, {{78, 88}, {20, 30, 78, 88}}},
        {"RubberBandOtherPhase", IViewOp::RubberBand, 0, 79, 89, 99, {{79, 89}, {20, 30, 79, 89}}}}) {
    SCOPED_TRACE(name);
    Drag(20, 30, 50, 60);
    Notify(type, phase, first, second, third);
    EXPECT_EQ(Observe(), shown);
  }
  // A hidden rectangle waits for the next drag record: without a press it goes on from the old start.
  Notify(IViewOp::Idle, 0, 1, 1);
  Notify(IViewOp::RubberBand, 2, 100, 10);
  EXPECT_EQ(Observe().second, (std::vector<int>{20, 30, 100, 10}));
}

TEST_F(NotifyTest, ARebuiltRubberBandStartsAtTheDragsCornersBeforeItIsDrawn) {
  Drag(10, 20, 90, 100);  // corners no frame has drawn
  Rubberband().deleteGeometry();
  // As the band draws: the whole window; the last frame left the identity and the triad's box.
  glViewport(0, 0, kWidth, kHeight);
  Rubberband().createGeometry();
  EXPECT_EQ(Corners(), (std::vector<int>{10, 20, 90, 100}));
}

TEST_F(NotifyTest, UnknownCodesThrowAndHiddenListenersAndNullRecordsChangeNothing) {
  for (const auto& listener :
       {std::pair{&Aperture(), "AView3D::Notify"}, {&Rubberband(), "RubberbandViewObjectGLSG::ControllerNotify"}}) {
    AViewObject& object = *listener.first;
    for (int type : {9, -1, 100, INT_MIN, INT_MAX}) {
      EXPECT_EQ(MessageOf<std::invalid_argument>([&] { NotifyOne(object, type); }),
                std::string("Invalid argument in ") + listener.second)
          << type;
    }
    // A null record is ignored; hidden, a listener ignores every code, known or not.
    EXPECT_NO_THROW(dynamic_cast<IControllerListener&>(object).ControllerNotify(nullptr));
    object.SetIsVisible(false);
    for (int type : {0, 2, 4, 6, 8, 9, -1}) EXPECT_NO_THROW(NotifyOne(object, type)) << object.Name() << " " << type;
    object.SetIsVisible(true);
  }
  EXPECT_EQ(Observe(), (Shown{{50, 60}, {20, 30, 50, 60}}));
}

}  // namespace
}  // namespace plugintest
