// Hover picking against a frame of the same scene, and against a bare GL
// selection pass over the same geometry, all in one run: scene (a) one node
// holding a 1,000,000-triangle mesh, scene (b) 10,000 nodes of 100 triangles
// each with their own colour and transform. 1280 x 800, perspective, lit.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// A grid of quads in the XY plane, two triangles each, facing +Z.
struct Mesh {
  std::vector<float> vertices;
  std::vector<float> normals;
  std::vector<std::uint32_t> indices;
};

Mesh Grid(int columns, int rows, float size) {
  Mesh mesh;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      mesh.vertices.insert(mesh.vertices.end(),
                           {size * static_cast<float>(c) / static_cast<float>(columns) - size / 2,
                            size * static_cast<float>(r) / static_cast<float>(rows) - size / 2,
                            0.0f});
      mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
    }
  }
  const auto at = [columns](int c, int r) { return static_cast<std::uint32_t>(r * (columns + 1) + c); };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      mesh.indices.insert(mesh.indices.end(), {at(c, r), at(c + 1, r), at(c + 1, r + 1)});
      mesh.indices.insert(mesh.indices.end(), {at(c, r), at(c + 1, r + 1), at(c, r + 1)});
    }
  }
  return mesh;
}

enum class Scene { OneBigMesh, ManyNodes };

// Where each node of scene (b) stands: a 100 x 100 grid of small meshes.
double NodeOffsetX(int node) { return (node % 100) * 0.1 - 4.95; }
double NodeOffsetY(int node) { return (node / 100) * 0.1 - 4.95; }

class PickBench {
 public:
  explicit PickBench(Scene scene)
      : loader_(NIMBO_PLUGIN_PATH, "View3D"),
        window_(platform::Window::CreateOffscreen(kWidth, kHeight)),
        scene_(scene),
        mesh_(scene == Scene::OneBigMesh ? Grid(500, 1000, 10.0f) : Grid(5, 10, 0.09f)) {
    Nimbo_mainThreadId = GetCurrentThreadId();
    window_.SetPresentEnabled(false);
    platform::DebugOutputCapture quiet;
    view_.reset(loader_.CreateView());
    view_->Initialize(window_.Handle());
    view_->SetWindowSize(kWidth, kHeight);
    Build();
    view_->UpdateSceneBounds();
    const float eye[3] = {0.0f, 0.0f, 14.0f};
    const float target[3] = {0.0f, 0.0f, 0.0f};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    view_->GetCamera()->SetLookAt(eye, target, up);
    view_->Render();
  }
  ~PickBench() {
    view_->Uninitialize();
    view_.reset();
  }
  PickBench(const PickBench&) = delete;
  PickBench& operator=(const PickBench&) = delete;

  AView3D& View() { return *view_; }

  // The same geometry through a 4 x 4 pick box with nothing but GL: client
  // arrays, one name per node, the view's own projection and camera.
  int BareSelection(int x, int y) {
    GLuint buffer[1000];
    GLint viewport[4] = {0, 0, kWidth, kHeight};
    glSelectBuffer(1000, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, kHeight - y, 4.0, 4.0, viewport);
    gluPerspective(45.0, static_cast<double>(kWidth) / kHeight, 1.0, 200.0);
    gluLookAt(0.0, 0.0, 14.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh_.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh_.normals.data());
    const auto count = static_cast<GLsizei>(mesh_.indices.size());
    if (scene_ == Scene::OneBigMesh) {
      glLoadName(1);
      glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh_.indices.data());
    } else {
      for (int node = 0; node < 10000; ++node) {
        glLoadName(static_cast<GLuint>(node + 1));
        glPushMatrix();
        glTranslated(NodeOffsetX(node), NodeOffsetY(node), 0.0);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh_.indices.data());
        glPopMatrix();
      }
    }
    glPopClientAttrib();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return glRenderMode(GL_RENDER);
  }

 private:
  void OpenOrCreate(std::uint64_t id) {
    if (!view_->OpenNode(id)) view_->CreateNode(id, L"group");
  }

  void Build() {
    AView3DAdapter& scene = *view_;
    scene.BeginScene(nullptr);
    scene.OpenNode(1);
    OpenOrCreate(1);
    OpenOrCreate(1);
    OpenOrCreate(10002);
    AGeometryItemFactory* factory = scene.GetGeometryItemFactory();
    if (scene_ == Scene::OneBigMesh) {
      scene.CreateGeoNode(1, L"mesh");
      scene.SetNodeAttribute(new AttributeColor(RGBAColor{180, 180, 200, 255}));
      scene.AddGeometry(factory->CreateTriangles(1, mesh_.vertices, mesh_.normals, mesh_.indices));
      scene.CloseNode();
    } else {
      for (int node = 0; node < 10000; ++node) {
        scene.CreateGeoNode(static_cast<std::uint64_t>(node + 1), L"piece");
        scene.SetNodeAttribute(new AttributeColor(RGBAColor{
            static_cast<std::uint8_t>(node * 7), static_cast<std::uint8_t>(node * 13), 200, 255}));
        double shift[16];
        AttributeTransform::SetIdentity(shift);
        shift[12] = NodeOffsetX(node);
        shift[13] = NodeOffsetY(node);
        scene.SetNodeAttribute(new AttributeTransform(shift));
        scene.AddGeometry(factory->CreateTriangles(1, mesh_.vertices, mesh_.normals, mesh_.indices));
        scene.CloseNode();
      }
    }
    scene.CloseAllNodes();
    scene.EndScene();
  }

  PluginLoader loader_;
  platform::Window window_;
  Scene scene_;
  Mesh mesh_;
  std::unique_ptr<AView3D> view_;
};

void BM_Render(benchmark::State& state, Scene scene) {
  PickBench bench(scene);
  for (auto _ : state) bench.View().Render();
}

void BM_PickVisualAtCentre(benchmark::State& state, Scene scene) {
  PickBench bench(scene);
  for (auto _ : state) {
    RenderId picked;
    benchmark::DoNotOptimize(bench.View().PickVisualAt(kWidth / 2 + 3, kHeight / 2 + 3, picked));
  }
}

void BM_BareSelectionCentre(benchmark::State& state, Scene scene) {
  PickBench bench(scene);
  for (auto _ : state) benchmark::DoNotOptimize(bench.BareSelection(kWidth / 2 + 3, kHeight / 2 + 3));
}

BENCHMARK_CAPTURE(BM_Render, a_OneMillionTriangles, Scene::OneBigMesh)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PickVisualAtCentre, a_OneMillionTriangles, Scene::OneBigMesh)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareSelectionCentre, a_OneMillionTriangles, Scene::OneBigMesh)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Render, b_TenThousandNodes, Scene::ManyNodes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PickVisualAtCentre, b_TenThousandNodes, Scene::ManyNodes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareSelectionCentre, b_TenThousandNodes, Scene::ManyNodes)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
