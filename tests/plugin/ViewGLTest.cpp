// The view as a host drives it: its window set-up and context's life, the
// scene-building rules, frames as a person sees them and the GL state they
// leave, picking, highlight and selection requests, markups, arrows, the text
// manager and rendering options.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/IRenderingOptions.h"
#include "KivVizCore/IRenderingOptionsListener.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/Assert.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/MarkupFactory.h"
#include "PluginHostFixture.h"
#include "platform/DebugOutput.h"

namespace plugintest {
namespace {

using InitializationGLTest = PluginGLTest;

TEST_F(InitializationGLTest, TheFirstFrameCreatesTheContextAndUninitializeDeletesIt) {
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "Initialize creates no rendering context";
  View().Uninitialize();
  EXPECT_FALSE(View().IsInitialized()) << "without a context Uninitialize only clears the flag";
  EXPECT_EQ(View().GetHandle(), window->Handle());
  View().Initialize(window->Handle());

  Frame();
  HGLRC context = wglGetCurrentContext();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentDC(), GetDC(window->Handle()));
  Frame();
  EXPECT_EQ(wglGetCurrentContext(), context) << "later frames reuse the current context";
  View().Uninitialize();
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(wglDeleteContext(context)) << "the context is gone";
  View().Initialize(window->Handle());
  Frame();
  EXPECT_NE(wglGetCurrentContext(), nullptr) << "a later frame makes a new one";
}

TEST_F(InitializationGLTest, FontListsAreMadeOncePerProcessAndAgainOnReinitialize) {
  // Without a current context the lists are not built: only a debug line tells.
  {
    platform::DebugOutputCapture debug;
    View().Initialize(window->Handle());  // a second Initialize remakes them
    EXPECT_EQ(debug.Text(), "Error creating font: " + std::to_string(ERROR_INVALID_HANDLE) + "\n");
    EXPECT_TRUE(View().IsInitialized());
  }
  {
    platform::DebugOutputCapture debug;
    std::unique_ptr<AView3D> second(Plugin().CreateView());
    second->Initialize(window->Handle());
    EXPECT_EQ(debug.Text(), "") << "another view finds the process's lists made";
  }
  Frame();
  platform::DebugOutputCapture debug;
  View().Initialize(window->Handle());
  EXPECT_EQ(debug.Text(), "") << "with a context current the lists are built";
}

TEST_F(InitializationGLTest, NullWindowIsRefusedWhileTheListsDoNotExist) {
  // Re-initialising with a null window deletes the lists and then refuses.
  EXPECT_EQ(MessageOf<std::invalid_argument>([&] { View().Initialize(nullptr); }), "Invalid HWND");
  EXPECT_EQ(View().GetHandle(), nullptr) << "the base stored the null handle first";
  std::unique_ptr<AView3D> fresh(Plugin().CreateView());
  EXPECT_THROW(fresh->Initialize(nullptr), std::invalid_argument);
  EXPECT_FALSE(fresh->IsInitialized());
  fresh->Initialize(window->Handle());
  std::unique_ptr<AView3D> other(Plugin().CreateView());
  EXPECT_NO_THROW(other->Initialize(nullptr)) << "once the lists exist again, a null window passes";
  EXPECT_TRUE(other->IsInitialized());
  other.reset();
  fresh.reset();
  View().Initialize(window->Handle());
}

TEST_F(InitializationGLTest, RenderOffTheMainThreadFailsItsAssertion) {
  struct Failure {
    std::string expression, file;
    int line;
  };
  const auto previous = NimboCore::SetAssertionHandler([](const char* e, const char* f, int l) { throw Failure{e, f, l}; });
  Nimbo_mainThreadId = GetCurrentThreadId() + 1;
  try {
    View().Render();
    ADD_FAILURE() << "expected the assertion to fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.expression, "GetCurrentThreadId() == Nimbo_mainThreadId");
    EXPECT_EQ(failure.file, "View3dOpenGlSG");
    EXPECT_EQ(failure.line, 420);
  }
  NimboCore::SetAssertionHandler(previous);
  Nimbo_mainThreadId = GetCurrentThreadId();
  EXPECT_EQ(wglGetCurrentContext(), nullptr) << "nothing ran after the failed assertion";
}

class SceneBuildingGLTest : public PluginGLTest {
 protected:
  // The open-node stack's depth; re-pushing with BeginScene marks the scene not ready.
  std::size_t Depth() {
    std::vector<GeoNode*> nodes;
    while (GeoNode* open = Scene().GetCurrentOpenNode()) {
      nodes.insert(nodes.begin(), open);
      Scene().CloseNode();
    }
    for (GeoNode* node : nodes) Scene().BeginScene(node);
    return nodes.size();
  }

  // Scene items are deleted with the view after the body: counters live in the fixture.
  int deletions = 0, sharedDeletions = 0, keptDeletions = 0;
  std::vector<DrawRecord> log;
};

TEST_F(SceneBuildingGLTest, IdOneIsTheRootOnlyWhileNothingIsOpen) {
  AView3DAdapter& scene = Scene();
  const std::size_t children = scene.GetRootNode()->Children().size();
  ASSERT_TRUE(scene.CreateNode(1, L"renamed root"));
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode()) << "CreateNode(1) takes the root";
  EXPECT_EQ(scene.GetRootNode()->Name(), L"renamed root");
  EXPECT_EQ(scene.GetRootNode()->Children().size(), children);
  EXPECT_FALSE(scene.OpenNode(1)) << "with the root open, 1 is an ordinary child id";
  ASSERT_TRUE(scene.CreateNode(1, L"child one"));
  EXPECT_NE(scene.GetCurrentOpenNode(), scene.GetRootNode());
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseAllNodes();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr);
  ASSERT_TRUE(scene.OpenNode(5)) << "other ids with nothing open are the root's children";
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"five");
  EXPECT_EQ(Depth(), 1u);
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(1));
  EXPECT_TRUE(scene.OpenNode(1)) << "the root's child with id 1";
  EXPECT_EQ(scene.GetCurrentOpenNode()->Name(), L"child one");
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingGLTest, CreatingWithNothingOpenThrowsOtherFailuresGiveFalseQuietly) {
  AView3DAdapter& scene = Scene();
  scene.BeginScene(nullptr);  // pushes nothing
  for (bool group : {false, true}) {
    DiagnosticCapture diagnostics;
    EXPECT_EQ(MessageOf([&] { group ? scene.CreateNode(7, L"group") : scene.CreateGeoNode(1, L"leaf"); }),
              "Cannot create node");
    EXPECT_EQ(diagnostics.Text(), "Cannot create child node for GeoNode.\n");
    EXPECT_EQ(Depth(), 0u);
  }
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"five"));
  scene.CloseNode();
  DiagnosticCapture diagnostics;
  EXPECT_FALSE(scene.CreateNode(5, L"again")) << "the id is taken";
  ASSERT_TRUE(scene.CreateGeoNode(6, L"leaf"));
  EXPECT_FALSE(scene.CreateGeoNode(1, L"under a leaf"));
  EXPECT_FALSE(scene.CreateNode(2, L"under a leaf"));
  EXPECT_FALSE(scene.OpenNode(6)) << "a leaf has no children to open";
  EXPECT_EQ(Depth(), 2u);
  EXPECT_EQ(diagnostics.Text(), "");
  scene.CloseAllNodes();
}

TEST_F(SceneBuildingGLTest, BeginAndEndSceneManageTheStackAndReadiness) {
  AView3DAdapter& scene = Scene();
  // Without an open node the item is ignored and stays the caller's.
  auto* stray = new RecordingItem(9, log, &deletions);
  scene.AddGeometry(stray);
  delete stray;
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(3, L"model"));
  GeoNode* model = scene.GetCurrentOpenNode();
  ASSERT_TRUE(scene.CreateGeoNode(4, L"leaf"));
  scene.SetNodeAttribute(new AttributeVisibility(true));
  scene.AddGeometry(new RecordingItem(4, log, &deletions));
  EXPECT_NE(scene.GetCurrentOpenNode()->GetAttribute(Attribute::VisibilityType), nullptr);
  scene.CloseAllNodes();
  EXPECT_EQ(deletions, 1);
  Frame();
  EXPECT_TRUE(log.empty()) << "the scene is not ready before EndScene";
  scene.BeginScene(model);
  EXPECT_EQ(scene.GetCurrentOpenNode(), model);
  scene.EndScene();
  EXPECT_EQ(scene.GetCurrentOpenNode(), nullptr) << "EndScene pops the node BeginScene pushed";
  Frame();
  EXPECT_EQ(log.size(), 1u);
  scene.EndScene();  // on an empty stack it only marks the scene ready
  scene.BeginScene(nullptr);
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "BeginScene makes the scene not ready";
  scene.EndScene();
}

TEST_F(SceneBuildingGLTest, ApplyNodeActionTogglesFromTheOpenNodeAndRestoresTheStack) {
  AView3DAdapter& scene = Scene();
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(1, L"model"));
  ASSERT_TRUE(scene.CreateNode(2, L"part"));
  GeoNode* part = scene.GetCurrentOpenNode();
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(1));  // with the root open, the path's 1 is the model under it
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_FALSE(part->IsVisible());
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({1, 2, 3}, 1))) << "3 does not exist";
  EXPECT_FALSE(part->IsVisible()) << "a failed action changes nothing";
  EXPECT_EQ(scene.GetCurrentOpenNode(), scene.GetRootNode());
  EXPECT_EQ(Depth(), 1u);
  scene.CloseAllNodes();
  EXPECT_TRUE(scene.ApplyNodeAction(RenderId({1, 1, 2}, 1))) << "from an empty stack 1 is the root";
  EXPECT_TRUE(part->IsVisible());
  EXPECT_EQ(Depth(), 0u);
  EXPECT_FALSE(scene.ApplyNodeAction(RenderId({}, 1)));
}

TEST_F(SceneBuildingGLTest, ClearAllDeletesSharedNodesOnceAndSparesTheOverlayAndWhatItHolds) {
  AView3DAdapter& scene = Scene();
  scene.BeginScene(nullptr);
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(5, L"first group"));
  ASSERT_TRUE(scene.CreateGeoNode(50, L"shared leaf"));
  scene.AddGeometry(new RecordingItem(50, log, &sharedDeletions));
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateGeoNode(51, L"leaf kept by the overlays"));
  scene.AddGeometry(new RecordingItem(51, log, &keptDeletions));
  scene.CloseNode();
  ASSERT_TRUE(scene.CreateNode(52, L"group kept by the overlays"));
  ASSERT_TRUE(scene.CreateGeoNode(53, L"its leaf"));
  scene.CloseAllNodes();
  ASSERT_TRUE(scene.OpenNode(1));
  ASSERT_TRUE(scene.CreateNode(70000, L"second group"));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 50}, 1)));
  scene.CloseNode();
  ASSERT_TRUE(scene.OpenNode(AView3DAdapter::OverlayNodeId));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 51}, 1)));
  ASSERT_TRUE(scene.AddReference(RenderId({1, 5, 52}, 1)));
  scene.CloseAllNodes();
  scene.EndScene();
  Frame();
  ASSERT_EQ(log.size(), 3u) << "the shared leaf through both groups, and the kept leaf";

  View().ClearAll();
  Node* root = scene.GetRootNode();
  ASSERT_EQ(root->Children().size(), 1u);
  EXPECT_EQ(root->Children().begin()->first, AView3DAdapter::OverlayNodeId);
  EXPECT_EQ(sharedDeletions, 1) << "a leaf held by two cleared groups is deleted exactly once";
  EXPECT_EQ(keptDeletions, 0);
  auto* overlay = static_cast<Node*>(root->GetChild(AView3DAdapter::OverlayNodeId));
  GeoNode* keptLeaf = overlay->GetChild(51);
  ASSERT_NE(keptLeaf, nullptr);
  EXPECT_EQ(keptLeaf->Parents().size(), 1u);
  EXPECT_EQ(keptLeaf->Geometry().size(), 1u);
  ASSERT_NE(overlay->GetChild(52), nullptr);
  EXPECT_TRUE(static_cast<Node*>(overlay->GetChild(52))->Children().empty()) << "a kept group loses its children";
  log.clear();
  Frame();
  EXPECT_TRUE(log.empty()) << "a cleared scene is not ready";
}

TEST_F(SceneBuildingGLTest, StatisticsAreNotImplemented) {
  EXPECT_EQ(View().GetStatistics(), "Not implemented");
  EXPECT_EQ(Scene().GetStatistics(), "Not implemented");
}

constexpr RGBAColor kGreen{0, 200, 0, 255};

bool Dark(const Rgba& pixel) { return pixel[0] < 16 && pixel[1] < 16 && pixel[2] < 16; }

class FrameGLTest : public PluginGLTest {
 protected:
  void SetUp() override {
    PluginGLTest::SetUp();
    LookFrom(0.0f, 0.0f, 10.0f);
    HideAxes();
  }
  void AddRecordingLeaf(std::uint64_t leaf, std::vector<DrawRecord>& log) {
    ASSERT_TRUE(Scene().CreateGeoNode(leaf, L"recorder"));
    Scene().AddGeometry(new RecordingItem(leaf, log));
    Scene().CloseNode();
  }
  Rgba Centre() { return Frame().At(kWidth / 2, kHeight / 2); }
};

TEST_F(FrameGLTest, TransparentNodeBlendsInFrontAndHidesBehind) {
  AddQuad(1, 1, 1, -2.0f, -2.0f, 2.0f, 2.0f, 0.0f, RGBAColor{220, 0, 0, 255});
  AddQuad(1, 2, 1, -1.0f, -1.0f, 0.0f, 1.0f, 1.0f, RGBAColor{0, 0, 255, 128});  // in front
  AddQuad(1, 3, 1, 0.0f, -1.0f, 1.0f, 1.0f, -1.0f, RGBAColor{0, 0, 255, 128});  // behind
  const platform::Image image = Frame();
  const Rgba front = image.At(kWidth / 2 - 6, kHeight / 2), behind = image.At(kWidth / 2 + 6, kHeight / 2);
  EXPECT_GT(front[0], 40) << "red shows through the transparent quad";
  EXPECT_GT(front[2], 60) << "which tints it blue";
  EXPECT_GT(behind[0], 100);
  EXPECT_LT(behind[2], 20) << "a transparent node behind an opaque one stays hidden";
}

TEST_F(FrameGLTest, BackFacesAreCulledUnlessMadeVisible) {
  AddQuad(1, 1, 1, 1.0f, -1.0f, -1.0f, 1.0f, 0.0f, kGreen);  // wound clockwise as seen: its back shows
  EXPECT_TRUE(Dark(Centre()));
  View().SetBackFacesVisible(true);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_GT(Centre()[1], 60) << "two-sided lighting lights the back";
  View().SetBackFacesVisible(false);
  GLint mode = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &mode);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_EQ(mode, GL_BACK);
  EXPECT_TRUE(Dark(Centre()));
}

TEST_F(FrameGLTest, OpaquePassDrawsOpaqueLeavesAndTransparentPassesTheRest) {
  std::vector<DrawRecord> log;
  Open({AView3DAdapter::OverlayNodeId});
  AddRecordingLeaf(77, log);  // the scene never draws the overlay child
  Close();
  Open({1});
  Scene().SetNodeAttribute(new AttributeTransform());  // an identity pushes no matrix
  Close();
  Open({1, 1});
  AddRecordingLeaf(11, log);
  Close();
  Open({1, 2});
  Scene().SetColor(RGBAColor{0, 0, 255, 100});  // transparent group
  ASSERT_TRUE(Scene().CreateGeoNode(21, L"opaque child"));
  Scene().SetColor(RGBAColor{255, 0, 0, 255});
  Scene().AddGeometry(new RecordingItem(21, log));
  Scene().CloseNode();
  AddRecordingLeaf(22, log);
  Close();
  Frame();
  ASSERT_EQ(log.size(), 5u);
  const std::uint64_t expectedItems[] = {11, 21, 22, 21, 22};
  const int expectedCull[] = {GL_BACK, GL_FRONT, GL_FRONT, GL_BACK, GL_BACK};
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].item, expectedItems[i]) << "draw " << i;
    EXPECT_EQ(log[i].cullMode, expectedCull[i]) << "draw " << i;
    EXPECT_TRUE(log[i].cullEnabled);
    EXPECT_EQ(log[i].nameDepth, 0) << "frames push no names";
  }
  EXPECT_DOUBLE_EQ(log[0].translation[2], -10.0) << "only the camera's transform";
  // Colour state is pushed once per coloured node on the way down.
  EXPECT_EQ(log[0].attribDepth, 0);
  EXPECT_EQ(log[1].attribDepth, 2);
  EXPECT_EQ(log[2].attribDepth, 1);
  EXPECT_FLOAT_EQ(log[1].color[0], 1.0f);
  EXPECT_FLOAT_EQ(log[2].color[2], 1.0f);
  EXPECT_NEAR(log[2].color[3], 100.0f / 255.0f, 1e-6);
  log.clear();
  ASSERT_TRUE(Scene().ApplyNodeAction(RenderId({1, 1, 2}, 1)));
  Frame();
  ASSERT_EQ(log.size(), 1u) << "without transparent nodes one pass draws the scene";
}

TEST_F(FrameGLTest, FramesSetUpLightsThatFollowTheCameraAndTheMaterial) {
  AddQuad(1, 1, 1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  Frame();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0)) << "light 0 is the overlays' light";
  for (const auto& [light, attenuation] :
       {std::pair{GL_LIGHT0, 1.0f}, {GL_LIGHT1, 1.5f}, {GL_LIGHT2, 3.0f}, {GL_LIGHT3, 2.0f}}) {
    if (light != GL_LIGHT0) {
      EXPECT_TRUE(glIsEnabled(light));
    }
    GLfloat value = 0.0f, specular[4], diffuse[4], ambient[4];
    glGetLightfv(light, GL_CONSTANT_ATTENUATION, &value);
    glGetLightfv(light, GL_SPECULAR, specular);
    glGetLightfv(light, GL_DIFFUSE, diffuse);
    glGetLightfv(light, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(value, attenuation);
    EXPECT_FLOAT_EQ(specular[0], 0.4f);
    EXPECT_FLOAT_EQ(diffuse[1], 0.6f);
    EXPECT_FLOAT_EQ(ambient[2], 0.2f);
  }
  // Eye space: the head light points along the view, light 2 at distance * (0.866, -0.5).
  GLfloat head[4], second[4], materialSpecular[4], shininess = 0.0f, twoSide = 0.0f, offset[2], clear[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, head);
  glGetLightfv(GL_LIGHT2, GL_POSITION, second);
  EXPECT_NEAR(head[2], 10010.0f, 1.0f);
  EXPECT_EQ(head[3], 0.0f);
  EXPECT_NEAR(second[0], 10000.0f * 0.86602540378f, 2.0f);
  EXPECT_NEAR(second[1], -5000.0f, 2.0f);
  EXPECT_EQ(second[3], 1.0f);
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  glGetFloatv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
  glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &offset[0]);
  glGetFloatv(GL_POLYGON_OFFSET_UNITS, &offset[1]);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(materialSpecular[0], 0.8f);
  EXPECT_FLOAT_EQ(shininess, 44.8f);
  EXPECT_EQ(twoSide, 1.0f);
  EXPECT_EQ(offset[0], 1.0f);
  EXPECT_EQ(offset[1], 1.0f);
  EXPECT_EQ(clear[0], 0.5f) << "every frame clears with grey";
  EXPECT_EQ(clear[3], 0.5f);
  for (GLenum capability : {GL_COLOR_MATERIAL, GL_RESCALE_NORMAL, GL_POLYGON_OFFSET_FILL, GL_BLEND}) {
    EXPECT_TRUE(glIsEnabled(capability)) << capability;
  }
}

TEST_F(FrameGLTest, ProjectionFollowsCameraSceneBoundsAndWindow) {
  const struct {
    const char* name;
    float eyeZ, radius;
    bool orthographic;
    int width, height;
    double nearPlane, farPlane, aspect;
  } cases[] = {// near = 10 - 1 = 9 > 1, so a tenth of it; far = (10 + 1) * 10.
               {"FarEyeNearIsATenth", 10.0f, 1.0f, false, 160, 120, 0.9, 110.0, 4.0 / 3.0},
               {"CloseEyeKeepsNear", 1.5f, 1.0f, false, 160, 120, 0.5, 25.0, 4.0 / 3.0},
               // The eye inside the scene: near is floored at r / 500.
               {"EyeInsideFloorsNear", 0.5f, 1.0f, false, 120, 160, 0.002, 15.0, 0.75},
               {"ZeroHeightIsSquare", 10.0f, 1.0f, false, 160, 0, 0.9, 110.0, 1.0},
               // Orthographic keeps a negative near plane: no floor.
               {"OrthographicNoFloor", 0.5f, 1.0f, true, 160, 120, -0.5, 15.0, 4.0 / 3.0},
               {"OrthographicFar", 10.0f, 2.0f, true, 100, 100, 0.8, 120.0, 1.0}};
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const double tanHalf = std::tan(std::numbers::pi / 8.0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LookFrom(0.0f, 0.0f, c.eyeZ);
    view->GetCamera()->SetOrthographic(c.orthographic);
    View().SetSceneBounds(centre, c.radius);
    View().SetWindowSize(c.width, c.height);
    View().Render();
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double n = c.nearPlane, f = c.farPlane;
    const double scale = c.orthographic ? 1.0 / (tanHalf * c.eyeZ) : 1.0 / tanHalf;
    EXPECT_NEAR(m[0], scale / c.aspect, 1e-5);
    EXPECT_NEAR(m[5], scale, 1e-5);
    EXPECT_NEAR(m[10], c.orthographic ? -2.0 / (f - n) : -(f + n) / (f - n), 1e-5);
    EXPECT_NEAR(m[14], c.orthographic ? -(f + n) / (f - n) : -2.0 * f * n / (f - n), c.orthographic ? 1e-5 : 1e-4 * n);
  }
}

constexpr int kCentreX = 80;
constexpr int kCentreY = 60;

// Everything a pick promises to leave as it found it.
struct PickSideState {
  std::array<GLdouble, 16> projection{};
  GLint renderMode = 0;
  GLint nameDepth = 0;
  GeoNode* openNode = nullptr;

  static PickSideState Read(AView3DAdapter& scene) {
    PickSideState state;
    glGetDoublev(GL_PROJECTION_MATRIX, state.projection.data());
    glGetIntegerv(GL_RENDER_MODE, &state.renderMode);
    glGetIntegerv(GL_NAME_STACK_DEPTH, &state.nameDepth);
    state.openNode = scene.GetCurrentOpenNode();
    return state;
  }
  bool operator==(const PickSideState&) const = default;
};

// Front camera, no triad: the frame would leave the triad's projection current.
class PickingGLTest : public FrameGLTest {
 protected:
  // Whether a pick at the centre finds news; `picked` starts empty.
  bool PickCentre(RenderId& picked) { return Scene().PickVisualAt(kCentreX, kCentreY, picked); }
};

TEST_F(PickingGLTest, TheNearestNodeUnderThePixelIsPickedWithItsFullPathLeavingTheStateAlone) {
  AddQuad(3, 4, 5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  AddQuad(3, 4, 6, -1.0f, -1.0f, 1.0f, 1.0f, 2.0f, kGreen);  // nearer the eye
  AddQuad(3, 4, 7, -1.0f, -1.0f, 1.0f, 1.0f, -2.0f, kGreen);
  Frame();
  RenderId picked;
  const PickSideState before = PickSideState::Read(Scene());
  ASSERT_TRUE(PickCentre(picked));
  EXPECT_EQ(picked, RenderId({1, 3, 4, 10002, 6}, 1)) << picked;
  EXPECT_EQ(PickSideState::Read(Scene()), before);
  EXPECT_FALSE(PickCentre(picked)) << "the same node as last time is no news";
  EXPECT_EQ(picked, RenderId({1, 3, 4, 10002, 6}, 1));

  const RenderId previous({1, 7}, 1);
  picked = previous;
  EXPECT_FALSE(Scene().PickVisualAt(5, 5, picked)) << "the background";
  EXPECT_EQ(picked, previous);
}

TEST_F(PickingGLTest, NothingIsPickedWhileBuildingInSwitchedOffCategoriesOrOnOverflow) {
  AddQuad(3, 4, 5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  Frame();
  RenderId picked;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  Scene().BeginScene(nullptr);
  EXPECT_FALSE(PickCentre(picked));
  EXPECT_FALSE(Scene().PickPoint(kCentreX, kCentreY, x, y, z));
  Scene().EndScene();
  RenderingOptions options;
  options.SetPickSurfaces(false);
  View().ApplyRenderingOptions(options);
  EXPECT_FALSE(PickCentre(picked));
  options.SetPickSurfaces(true);
  View().ApplyRenderingOptions(options);
  EXPECT_TRUE(PickCentre(picked));

  // 200 stacked leaves under the pixel: each record takes 8 words.
  for (std::uint64_t leaf = 10; leaf < 210; ++leaf) {
    AddQuad(3, 4, leaf, -1.0f, -1.0f, 1.0f, 1.0f, -0.01f * static_cast<float>(leaf), kGreen);
  }
  Frame();
  RenderId overflowed;
  const PickSideState before = PickSideState::Read(Scene());
  EXPECT_FALSE(PickCentre(overflowed));
  EXPECT_TRUE(overflowed.IsEmpty());
  EXPECT_EQ(PickSideState::Read(Scene()), before);
}

TEST_F(PickingGLTest, PickPointReturnsWhereTheRayMeetsTheFirstItemThatItHits) {
  AddQuad(3, 4, 5, -2.0f, -2.0f, 2.0f, 2.0f, 0.5f, kGreen);
  Frame();
  const PickSideState before = PickSideState::Read(Scene());
  float x = 0.0f, y = 0.0f, z = 0.0f;
  ASSERT_TRUE(Scene().PickPoint(kCentreX + 16, kCentreY, x, y, z));
  EXPECT_EQ(PickSideState::Read(Scene()), before);
  // 16 pixels right of centre at 9.5 units: 16 / 60 of tan(22.5) * 9.5.
  EXPECT_NEAR(x, 16.0f / 60.0f * 0.41421356f * 9.5f, 0.02f);
  EXPECT_NEAR(y, 0.0f, 0.02f);
  EXPECT_NEAR(z, 0.5f, 1e-4f);
  x = y = z = 11.0f;
  EXPECT_FALSE(Scene().PickPoint(5, 5, x, y, z)) << "the background";
  EXPECT_EQ(z, 11.0f);

  // Under an open root the path's first id is not found: no point, the stack restored.
  ASSERT_TRUE(Scene().OpenNode(1));
  const PickSideState rootOpen = PickSideState::Read(Scene());
  EXPECT_TRUE(Scene().PickPoint(kCentreX + 16, kCentreY, x, y, z));
  EXPECT_EQ(z, 11.0f);
  EXPECT_EQ(PickSideState::Read(Scene()), rootOpen);
  Scene().CloseAllNodes();

  // A second, nearer item in the same leaf: the leaf's first item answers.
  Open({3, 4, 10002, 5});
  const Mesh nearer = Quad(-1.0f, -1.0f, 1.0f, 1.0f, 1.0f);
  Scene().AddGeometry(
      Scene().GetGeometryItemFactory()->CreateTriangles(2, nearer.vertices, nearer.normals, nearer.indices));
  Close();
  Frame();
  ASSERT_TRUE(Scene().PickPoint(kCentreX, kCentreY, x, y, z));
  EXPECT_NEAR(z, 0.5f, 1e-4f);
}

TEST_F(PickingGLTest, PickPointThatMissesEveryItemIsTrueAndWritesNothing) {
  // The quad starts just over a pixel right: the 4 x 4 pick box reaches it, the ray does not.
  AddQuad(3, 4, 5, 0.083f, -1.0f, 2.0f, 1.0f, 0.0f, kGreen);
  Frame();
  RenderId picked;
  ASSERT_TRUE(PickCentre(picked));
  float x = 7.0f, y = 7.0f, z = 7.0f;
  EXPECT_TRUE(Scene().PickPoint(kCentreX, kCentreY, x, y, z));
  EXPECT_EQ((std::array{x, y, z}), (std::array{7.0f, 7.0f, 7.0f}));
}

TEST_F(PickingGLTest, GetPointAtPixelUnprojectsTheDepthBuffer) {
  AddQuad(3, 4, 5, -2.0f, -2.0f, 2.0f, 2.0f, 1.0f, kGreen);
  Frame();
  // The frame leaves the scene's projection current: set the camera's model-view as the scene was drawn.
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -10.0f);
  float x = 0.0f, y = 0.0f, z = 0.0f;
  View().GetPointAtPixel(kCentreX, kCentreY, x, y, z);
  EXPECT_NEAR(x, 0.0f, 0.05f);
  EXPECT_NEAR(y, 0.0f, 0.05f);
  EXPECT_NEAR(z, 1.0f, 0.02f) << "the drawn surface";
  View().GetPointAtPixel(3, 3, x, y, z);
  EXPECT_NEAR(z, 10.0f - 110.0f, 0.5f) << "the cleared depth lies on the far plane, 110 from the eye";
  glPopMatrix();
}

// Reaches the strategy slot the view fills, the way a derived class may.
struct StrategySlot : AView3DAdapter {
  static AHighlightStrategy*& Of(AView3DAdapter& adapter) { return adapter.*(&StrategySlot::highlightStrategy); }
};

// Records each call with the sticky setting; throws from call throwAtCall on when asked.
class ScriptedStrategy : public AHighlightStrategy {
 public:
  enum class Throw { Nothing, Standard, Other };

  bool Do(const RenderId& id) override { return Call("Do " + Text(id) + (stickySelection ? " sticky" : " plain")); }
  void Undo() override { Call("Undo"); }
  bool Undo(const RenderId& id) override { return Call("Undo " + Text(id)); }
  bool IsDone(const RenderId&) const override { return false; }

  std::vector<std::string> calls;
  Throw throwing = Throw::Nothing;
  int throwAtCall = 1;

 private:
  static std::string Text(const RenderId& id) {
    std::string text;
    for (std::uint64_t part : id.Ids()) text += std::to_string(part) + "/";
    return text;
  }
  bool Call(const std::string& call) {
    calls.push_back(call);
    if (throwing == Throw::Nothing || static_cast<int>(calls.size()) < throwAtCall) return true;
    if (throwing == Throw::Standard) throw std::out_of_range("strategy's own message");
    throw 42;
  }
};

class HighlightGLTest : public PluginGLTest {
 protected:
  void SetUp() override {
    PluginGLTest::SetUp();
    original = std::exchange(StrategySlot::Of(Scene()), &scripted);
  }
  void TearDown() override {
    StrategySlot::Of(Scene()) = original;
    PluginGLTest::TearDown();
  }

  ScriptedStrategy scripted;
  AHighlightStrategy* original = nullptr;
  const RenderId a{{1, 2}, 1}, b{{1, 3}, 1};
};

using Calls = std::vector<std::string>;

TEST_F(HighlightGLTest, HighlightIsPlainListsAndSelectionsAreStickyAndSelectPutsTheSettingBack) {
  scripted.SetStickySelection(true);
  EXPECT_TRUE(Scene().Highlight(a));
  EXPECT_FALSE(scripted.stickySelection) << "a single path's highlight leaves the setting off";
  Scene().Highlight(std::vector<RenderId>{a, b});
  EXPECT_TRUE(scripted.stickySelection) << "a list's stays on";
  scripted.SetStickySelection(false);
  Scene().Highlight(std::vector<RenderId>{});
  EXPECT_TRUE(scripted.stickySelection) << "an empty list still switches it on";
  scripted.SetStickySelection(false);
  Scene().Select(a);
  EXPECT_FALSE(scripted.stickySelection);
  scripted.SetStickySelection(true);
  Scene().Select(b);
  EXPECT_TRUE(scripted.stickySelection);
  // Removing marks ignores the setting; entity forms go through their paths.
  Scene().UnHighlight(a);
  Scene().UnSelect(a);
  Scene().UnHighlight();
  Scene().UnSelect();
  View().Highlight(EntityId(3, 4));
  View().Select(EntityId(3, 4, 10002));
  View().UnHighlight(EntityId(3));
  View().UnSelect(EntityId(3, 4, 10002, 9));
  EXPECT_EQ(scripted.calls, (Calls{"Do 1/2/ plain", "Do 1/2/ sticky", "Do 1/3/ sticky", "Do 1/2/ sticky",
                                   "Do 1/3/ sticky", "Undo 1/2/", "Undo 1/2/", "Undo", "Undo", "Do 1/3/4/ plain",
                                   "Do 1/3/4/10002/ sticky", "Undo 1/3/", "Undo 1/3/4/10002/9/"}));
  scripted.calls.clear();
  EXPECT_THROW(View().Highlight(EntityId()), std::invalid_argument);
  EXPECT_THROW(View().Select(EntityId()), std::invalid_argument);
  EXPECT_TRUE(scripted.calls.empty()) << "no strategy call without a path";
}

TEST_F(HighlightGLTest, StandardExceptionsPassThroughAndOthersBecomeTheOperationsMessage) {
  scripted.throwing = ScriptedStrategy::Throw::Standard;
  EXPECT_THROW(Scene().Highlight(a), std::out_of_range);
  EXPECT_EQ(MessageOf([&] { Scene().Select(a); }), "strategy's own message");
  EXPECT_THROW(View().UnSelect(EntityId(3)), std::out_of_range);
  scripted.throwing = ScriptedStrategy::Throw::Other;
  const std::string prefix = "Unrecognized Exception thrown from View3dOpenGlSG::";
  EXPECT_EQ(MessageOf([&] { Scene().Highlight(a); }), prefix + "Highlight()");
  EXPECT_EQ(MessageOf([&] { Scene().Highlight(std::vector<RenderId>{a}); }), prefix + "Highlight()");
  EXPECT_EQ(MessageOf([&] { Scene().UnHighlight(); }), prefix + "UnHighlight()");
  EXPECT_EQ(MessageOf([&] { Scene().UnHighlight(a); }), prefix + "UnHighlight( const RenderId& )");
  EXPECT_EQ(MessageOf([&] { Scene().Select(a); }), prefix + "Select()");
  EXPECT_EQ(MessageOf([&] { Scene().UnSelect(); }), prefix + "UnSelect()");
  EXPECT_EQ(MessageOf([&] { Scene().UnSelect(a); }), prefix + "UnSelect( const EntityId& pick)");
  EXPECT_EQ(MessageOf([&] { View().Select(EntityId(3)); }), prefix + "Select()");
  // A failure midway leaves earlier work done; a failed Select leaves the setting.
  scripted.calls.clear();
  scripted.throwAtCall = 2;
  EXPECT_FALSE(MessageOf([&] { Scene().Highlight(std::vector<RenderId>{a, b, a}); }).empty());
  EXPECT_EQ(scripted.calls, (Calls{"Do 1/2/ sticky", "Do 1/3/ sticky"}));
  scripted.calls.clear();
  scripted.throwAtCall = 1;
  scripted.SetStickySelection(false);
  EXPECT_FALSE(MessageOf([&] { Scene().Select(a); }).empty());
  EXPECT_TRUE(scripted.stickySelection);
}

// A view object a host made itself: a markup or a plain overlay.
template <typename Base>
class HostObject : public Base {
 public:
  explicit HostObject(const std::string& name, int* deletions = nullptr) : Base(name), deletions(deletions) {}
  ~HostObject() override {
    if (deletions != nullptr) ++*deletions;
  }
  void createGeometry() override { this->isGeometryCreated = true; }
  void deleteGeometry() override {}
  void draw() override {}

 private:
  int* deletions;
};

class NamedMarkup : public HostObject<AMarkupViewObject> {
 public:
  using HostObject::HostObject;
  AMarkupViewObject* CreateMarkup(IViewObjectProvider*, const std::vector<double>&) override { return nullptr; }
};

class MarkupGLTest : public PluginGLTest {
 protected:
  IViewObjectProvider& Provider() { return dynamic_cast<IViewObjectProvider&>(*view); }
  void AddFactory() { ASSERT_TRUE(Manager().Add("MarkupFactory", new MarkupFactory())); }
  std::size_t MarkupCount() {
    std::size_t count = 0;
    for (std::size_t i = 0; i < Manager().Count(); ++i) {
      count += dynamic_cast<AMarkupViewObject*>(Manager()[i]) != nullptr ? 1 : 0;
    }
    return count;
  }
};

TEST_F(MarkupGLTest, WithoutAMarkupFactoryNothingHappensEvenForBadLists) {
  const std::size_t before = Manager().Count();
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}, {}}));
  // An object under the factory's name that is not a markup factory.
  ASSERT_TRUE(Manager().Add("MarkupFactory", new HostObject<AViewObject>("MarkupFactory")));
  EXPECT_NO_THROW(Provider().AddMarkups({{1.0, 2.0}}));
  EXPECT_EQ(Manager().Count(), before + 1);
}

TEST_F(MarkupGLTest, EachValidListBecomesAVisibleMarkupUntilABadListStopsTheCall) {
  AddFactory();
  Provider().AddMarkups({{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 1.0, 1.0, 1.0, 2.0, 0.0, 0.0}});
  ASSERT_EQ(MarkupCount(), 3u) << "the factory and two markups";
  for (const char* name : {"Markup1", "Markup2"}) {
    ASSERT_NE(Manager().Get(name), nullptr) << name;
    EXPECT_TRUE(Manager().Get(name)->IsVisible());
  }
  Provider().AddMarkups({});
  for (const std::vector<double>& bad : {std::vector<double>{}, {1.0, 2.0}, {1.0, 2.0, 3.0, 4.0}}) {
    EXPECT_EQ(MessageOf([&] { Provider().AddMarkups({bad}); }),
              "Cannot add markup object, incorrect size of coordinates")
        << bad.size() << " values";
  }
  EXPECT_EQ(MarkupCount(), 3u);
  EXPECT_THROW(Provider().AddMarkups({{1.0, 2.0, 3.0}, {1.0, 2.0, 3.0, 4.0, 5.0}, {1.0, 1.0, 1.0}}), std::exception);
  EXPECT_EQ(MarkupCount(), 4u) << "the first list made a markup, the third was not used";
}

TEST_F(MarkupGLTest, RemoveMarkupsAndClearAllSpareTheFactoryAndTheOverlays) {
  AddFactory();
  int deletions = 0;
  ASSERT_TRUE(Manager().Add("Overlay", new HostObject<AViewObject>("Overlay")));
  ASSERT_TRUE(Manager().Add("MarkupFactory2", new NamedMarkup("MarkupFactory2", &deletions)));
  ASSERT_TRUE(Manager().Add("MarkupFactor", new NamedMarkup("MarkupFactor", &deletions)));
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  Provider().RemoveMarkups();
  EXPECT_EQ(deletions, 2) << "near misses of the factory's name are removed and deleted";
  std::vector<std::string> names;
  for (std::size_t i = 0; i < Manager().Count(); ++i) names.push_back(Manager()[i]->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Aperture", "AxesViewObject", "MarkupFactory", "Overlay", "Rubberband"}));
  Provider().AddMarkups({{0.0, 0.0, 0.0}});
  ASSERT_EQ(MarkupCount(), 2u);
  View().ClearAll();
  EXPECT_EQ(MarkupCount(), 1u) << "ClearAll removes markups first";
  EXPECT_NE(Manager().Get("MarkupFactory"), nullptr);
}

TEST_F(MarkupGLTest, DrawArrowIsRefusedEveryTimeAndOneTextManagerIsHandedOut) {
  auto& text = dynamic_cast<ITextManagerProvider&>(*view);
  EXPECT_NE(text.GetTextManager(), nullptr);
  EXPECT_EQ(text.GetTextManager(), text.GetTextManager());
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(MessageOf([&] { Provider().DrawArrow({0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}); }),
              "View3dOpenGlSG::DrawArrow not implemented yet!");
  }
}

TEST_F(MarkupGLTest, MarkupsAndRenderingOptionsShowInTheNextFrame) {
  LookFrom(0.0f, 0.0f, 10.0f);
  HideAxes();
  AddFactory();
  AddQuad(3, 4, 5, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  Open({3});
  Scene().SetFilterId(12);
  Close();
  const platform::Image before = Frame();
  EXPECT_GT(before.At(kWidth / 2, kHeight / 2)[1], 60);
  Provider().AddMarkups({{-3.0, 1.5, 0.0, 3.0, 1.5, 0.0}});
  const platform::Image after = Frame();
  int changed = 0;
  // y = 1.5 lies 1.5 / (10 tan 22.5) of the 60 rows above the middle: row 38.
  for (int x = 0; x < kWidth; ++x) {
    for (int y = 37; y <= 39; ++y) changed += Near(after.At(x, y), before.At(x, y), 10) ? 0 : 1;
  }
  EXPECT_GT(changed, 40) << "a horizontal polyline crosses the rows";

  // The view listens to rendering options; other notifications are ignored.
  struct OtherOptions : IRenderingOptions {
    bool IsFilterVisible(int) const override { return false; }
  } other;
  auto& listener = dynamic_cast<IRenderingOptionsListener&>(*view);
  listener.RenderingOptionsNotify(&other);
  listener.RenderingOptionsNotify(nullptr);
  EXPECT_GT(Frame().At(kWidth / 2, kHeight / 2)[1], 60);
  RenderingOptions hidden;
  hidden.SetFilterVisible(12, false);
  listener.RenderingOptionsNotify(&hidden);
  EXPECT_LT(Frame().At(kWidth / 2, kHeight / 2)[1], 10) << "filter 12 disappears from the next frame";
}

}  // namespace
}  // namespace plugintest
