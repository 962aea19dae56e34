// The smallest host of the View3dOpenGlSG plug-in: loads it through its
// exports, builds a scene of two squares, renders it offscreen, picks the
// node under a pixel, highlights it, renders again and writes the picture.
//
//   minimal-host OUTPUT.png [PLUGIN]
#include <windows.h>

#include <cstdint>
#include <exception>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/PluginLoader.h"
#include "platform/Image.h"
#include "platform/Window.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;
constexpr int kPickX = 80, kPickY = 120;  // over the left square
// Picking only considers nodes three levels below the root whose id names a
// category: 10002 is surfaces. Paths are root / model / part / category / geometry.
constexpr std::uint64_t kRootId = 1, kModelId = 10, kSurfacesId = 10002, kGeometryId = 1;

void Require(bool done, const std::string& what) {
  if (!done) throw std::runtime_error("the view refused " + what);
}

// A part: a square in the plane z = 0 from x0 to x1, facing +Z.
void AddSquare(AView3DAdapter& scene, std::uint64_t part, float x0, float x1, RGBAColor color) {
  Require(scene.CreateNode(part, L"square") && scene.CreateNode(kSurfacesId, L"surfaces") &&
              scene.CreateGeoNode(kGeometryId, L"geometry"),
          "the nodes of part " + std::to_string(part));
  scene.SetNodeAttribute(new AttributeColor(color));  // the node owns what it is given
  const std::vector<float> vertices = {x0, -1, 0, x1, -1, 0, x1, 1, 0, x0, 1, 0};
  const std::vector<float> normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  scene.AddGeometry(scene.GetGeometryItemFactory()->CreateTriangles(1, vertices, normals, {0, 1, 2, 0, 2, 3}));
  for (int level = 0; level < 3; ++level) scene.CloseNode();
}

// Uninitialize releases the view's GL context; the view's code lives in the
// plug-in, so it must go before the plug-in is unloaded.
struct ViewDeleter {
  void operator()(AView3D* view) const {
    view->Uninitialize();
    delete view;
  }
};

void Run(const std::string& pluginPath, const std::string& output) {
  // dlopen, GetPluginName/GetPluginType/CreatePlugin, the type check, doLoad.
  PluginLoader plugin(pluginPath, "View3D");
  platform::Window window = platform::Window::CreateOffscreen(kWidth, kHeight);
  std::unique_ptr<AView3D, ViewDeleter> view(plugin.CreateView());

  Nimbo_mainThreadId = GetCurrentThreadId();  // Render asserts it runs on this thread
  view->Initialize(window.Handle());
  view->SetWindowSize(kWidth, kHeight);

  AView3DAdapter& scene = *view;
  scene.BeginScene(nullptr);
  Require(scene.OpenNode(kRootId) && scene.CreateNode(kModelId, L"model"), "the model node");
  AddSquare(scene, 1, -2.2f, -0.2f, RGBAColor{200, 40, 40, 255});
  AddSquare(scene, 2, 0.2f, 2.2f, RGBAColor{40, 160, 60, 255});
  scene.CloseAllNodes();
  scene.EndScene();  // only a finished scene is drawn and picked

  view->UpdateSceneBounds();
  float center[3], radius = 1.0f;
  view->GetSceneBounds(center, radius);
  view->GetCamera()->FitToSphere(center, radius);

  // The first frame makes the GL context that picking draws with.
  view->Render();
  RenderId picked;
  Require(scene.PickVisualAt(kPickX, kPickY, picked), "to pick: no node under the pixel");
  std::cout << "picked";
  for (std::size_t i = 0; i < picked.Length(); ++i) std::cout << ' ' << picked[i];
  std::cout << " at " << kPickX << ',' << kPickY << '\n';
  float x = 0, y = 0, z = 0;
  if (scene.PickPoint(kPickX, kPickY, x, y, z)) std::cout << "point " << x << ' ' << y << ' ' << z << '\n';

  scene.Highlight(picked);
  view->Render();
  const platform::Image image = window.PresentedImage();
  const auto rgba = image.At(kPickX, kPickY);
  std::cout << "pixel " << kPickX << ',' << kPickY << ": " << int{rgba[0]} << ' ' << int{rgba[1]} << ' ' << int{rgba[2]}
            << '\n';
  platform::WritePng(output, image);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: minimal-host OUTPUT.png [PLUGIN]\n";
    return 2;
  }
  try {
    Run(argc == 3 ? argv[2] : NIMBO_PLUGIN, argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "minimal-host: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
