#include "PluginHostFixture.h"

#include <cstdio>
#include <cstdlib>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/Settings.h"

namespace plugintest {

PluginLoader& Plugin() {
  static PluginLoader loader(NIMBO_PLUGIN_PATH, "View3D");
  return loader;
}

void PluginGLTest::SetUp() {
  Nimbo_mainThreadId = GetCurrentThreadId();
  Settings::Current().SetBackgroundColor1(RGBAColor{0, 0, 0, 255});
  Settings::Current().SetBackgroundColor2(RGBAColor{0, 0, 0, 255});
  window.emplace(platform::Window::CreateOffscreen(kWidth, kHeight));
  view = Plugin().CreateView();
  ASSERT_NE(view, nullptr);
  View().Initialize(window->Handle());
  View().SetWindowSize(kWidth, kHeight);
}

void PluginGLTest::TearDown() {
  if (wglGetCurrentContext() != nullptr) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  if (view != nullptr) {
    View().Uninitialize();
    delete view;
    view = nullptr;
  }
  window.reset();
}

ViewObjectManager& PluginGLTest::Manager() { return *dynamic_cast<IViewObjectProvider&>(*view).GetViewObjectManager(); }

void PluginGLTest::HideAxes() { Manager().Get("AxesViewObject")->SetIsVisible(false); }

void PluginGLTest::LookFrom(float x, float y, float z) {
  const float eye[3] = {x, y, z};
  const float target[3] = {0.0f, 0.0f, 0.0f};
  const float up[3] = {0.0f, 1.0f, 0.0f};
  view->GetCamera()->SetLookAt(eye, target, up);
}

platform::Image PluginGLTest::Frame() {
  View().Render();
  return window->PresentedImage();
}

void PluginGLTest::Keep(const platform::Image& image, const std::string& name) const {
  if (!HasFailure()) return;
  const std::string path = ::testing::TempDir() + name + ".png";
  platform::WritePng(path, image);
  std::printf("actual picture written to %s\n", path.c_str());
}

void QuadMesh(float x0, float y0, float x1, float y1, float z, std::vector<float>& vertices, std::vector<float>& normals,
              std::vector<std::uint32_t>& indices) {
  vertices = {x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z};
  normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  indices = {0, 1, 2, 0, 2, 3};
}

void PluginGLTest::AddQuad(std::uint64_t model, std::uint64_t part, std::uint64_t leaf, float x0, float y0, float x1,
                           float y1, float z, std::optional<RGBAColor> color) {
  AView3DAdapter& scene = Scene();
  scene.BeginScene(nullptr);
  ASSERT_TRUE(scene.OpenNode(1));
  for (std::uint64_t id : {model, part, std::uint64_t{10002}}) {
    if (!scene.OpenNode(id)) {
      ASSERT_TRUE(scene.CreateNode(id, L"group"));
    }
  }
  ASSERT_TRUE(scene.CreateGeoNode(leaf, L"quad"));
  if (color) scene.SetNodeAttribute(new AttributeColor(*color));
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
  QuadMesh(x0, y0, x1, y1, z, vertices, normals, indices);
  scene.AddGeometry(scene.GetGeometryItemFactory()->CreateTriangles(1, vertices, normals, indices));
  scene.CloseAllNodes();
  scene.EndScene();
}

bool Near(const Rgba& actual, const Rgba& expected, int tolerance) {
  for (int i = 0; i < 3; ++i) {
    if (std::abs(static_cast<int>(actual[i]) - static_cast<int>(expected[i])) > tolerance) return false;
  }
  return true;
}

}  // namespace plugintest
