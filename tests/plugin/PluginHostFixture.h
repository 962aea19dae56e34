// A host for the plug-in in tests: loads it through the host's plug-in loader,
// creates a view on an offscreen window, builds scenes and records draws.
#ifndef NIMBO_TESTS_PLUGIN_PLUGINHOSTFIXTURE_H
#define NIMBO_TESTS_PLUGIN_PLUGINHOSTFIXTURE_H

// GLFixture.h brings windows.h, GL, gtest, <string> and the image; AView3D.h the adapter and IView3D.
#include "GLFixture.h"
// After GLFixture.h, which brings windows.h and gl.h, which glext.h needs.
#include <GL/glext.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/Debug.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"
#include "NimboCore/Settings.h"
#include "NimboCore/ViewObjectManager.h"

namespace plugintest {

// Captures what is written to the host's diagnostic stream while it lives.
struct DiagnosticCapture {
  DiagnosticCapture() : previous(NimboCore::dbg.rdbuf(text.rdbuf())) {}
  ~DiagnosticCapture() { NimboCore::dbg.rdbuf(previous); }
  std::string Text() const { return text.str(); }
  std::ostringstream text;
  std::streambuf* previous;
};

// The message of the E the call throws; empty when it throws nothing.
template <typename E = std::exception, typename Call>
std::string MessageOf(Call call) {
  try {
    call();
  } catch (const E& error) {
    return error.what();
  } catch (...) {
    return "<another exception>";
  }
  return "";
}

// The GL state a leaf was displayed with.
struct DrawRecord {
  std::uint64_t item = 0;
  int cullMode = 0, attribDepth = 0, nameDepth = 0;  // cullMode is 0 when culling is off
  float color[4] = {};
  double translation[3] = {};  // of the model-view matrix
};

// Draws nothing; logs each display and counts its deletion when asked to.
class RecordingItem : public AGeometryItem {
 public:
  RecordingItem(std::uint64_t id, std::vector<DrawRecord>& log, int* deletions = nullptr)
      : AGeometryItem(id), log(log), deletions(deletions) {}
  ~RecordingItem() override {
    if (deletions != nullptr) ++*deletions;
  }
  void Display(AView3DAdapter*) override {
    DrawRecord record;
    record.item = ID();
    if (glIsEnabled(GL_CULL_FACE)) glGetIntegerv(GL_CULL_FACE_MODE, &record.cullMode);
    glGetFloatv(GL_CURRENT_COLOR, record.color);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &record.attribDepth);
    glGetIntegerv(GL_NAME_STACK_DEPTH, &record.nameDepth);
    double modelView[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 3; ++i) record.translation[i] = modelView[12 + i];
    log.push_back(record);
  }
  std::vector<DrawRecord>& log;
  int* deletions;
};

// The view's open-node stack and highlight strategy, reached the way a derived class may.
struct Slots : AView3DAdapter {
  static auto& Stack(AView3DAdapter& view) { return view.*(&Slots::openNodeStack); }
  static auto& Strategy(AView3DAdapter& view) { return view.*(&Slots::highlightStrategy); }
};

// The loaded plug-in, shared by every test of the process.
inline PluginLoader& Plugin() {
  static PluginLoader loader(NIMBO_PLUGIN_PATH, "View3D");
  return loader;
}

// A view on a black 160 x 120 offscreen window, looking down -Z from z = 10
// with the triad hidden (its corner square covers much of this small window);
// the view makes the context.
class PluginHostFixture : public NimboTest::GLFixture {
 protected:
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 120;

  PluginHostFixture() : GLFixture(kWidth, kHeight, Context::OfSubject) {}
  void SetUp() override {
    Nimbo_mainThreadId = GetCurrentThreadId();
    Settings::Current().SetBackgroundColor1(RGBAColor{0, 0, 0, 255});
    Settings::Current().SetBackgroundColor2(RGBAColor{0, 0, 0, 255});
    view = Plugin().CreateView();
    ASSERT_NE(view, nullptr);
    View().Initialize(Window().Handle());
    View().SetWindowSize(kWidth, kHeight);
    const float eye[3] = {0.0f, 0.0f, 10.0f}, target[3] = {}, up[3] = {0.0f, 1.0f, 0.0f};
    view->GetCamera()->SetLookAt(eye, target, up);
    Manager().Get("AxesViewObject")->SetIsVisible(false);
  }
  void TearDown() override {
    GLFixture::TearDown();
    if (view != nullptr) View().Uninitialize();
    delete view;
  }

  IView3D& View() { return *view; }
  AView3DAdapter& Scene() { return *view; }
  ViewObjectManager& Manager() { return *dynamic_cast<IViewObjectProvider&>(*view).GetViewObjectManager(); }
  platform::Image Frame() {
    View().Render();
    return Window().PresentedImage();
  }
  // Starts a scene pass with root / path... open, creating missing groups.
  void Open(std::initializer_list<std::uint64_t> path) {
    Scene().BeginScene(nullptr);
    ASSERT_TRUE(Scene().OpenNode(1));
    for (std::uint64_t id : path) ASSERT_TRUE(Scene().OpenNode(id) || Scene().CreateNode(id, L"group"));
  }
  void Close() {
    Scene().CloseAllNodes();
    Scene().EndScene();
  }
  // A leaf under the open node whose one item records its draws, closed again.
  void AddRecordingLeaf(std::uint64_t leaf, std::vector<DrawRecord>& log, int* deletions = nullptr) {
    ASSERT_TRUE(Scene().CreateGeoNode(leaf, L"recorder"));
    Scene().AddGeometry(new RecordingItem(leaf, log, deletions));
    Scene().CloseNode();
  }
  // A quad at depth z facing +Z under model 3 / part 4 / category 10002 / leaf, in one pass;
  // an existing leaf gets it as a further item.
  void AddQuad(std::uint64_t leaf, float x0, float y0, float x1, float y1, float z,
               RGBAColor color = {0, 200, 0, 255}) {
    Open({3, 4, 10002});
    if (!Scene().OpenNode(leaf)) {
      ASSERT_TRUE(Scene().CreateGeoNode(leaf, L"quad"));
      Scene().SetNodeAttribute(new AttributeColor(color));
    }
    Scene().AddGeometry(Scene().GetGeometryItemFactory()->CreateTriangles(
        1, {x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z}, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, {0, 1, 2, 0, 2, 3}));
    Close();
  }

  AView3D* view = nullptr;
};

}  // namespace plugintest

#endif
