// Drives one view through its interfaces the way a host may: each input is a
// sequence of calls (building, shared nodes and libraries, ClearAll at any
// point, frames, picks, highlight and selection with stale paths, markups,
// controller records, resizes) with arguments taken from the input bytes.
// The host's rules are kept: frames and picks never run with a node open.
// Standard exceptions are the view's documented refusals; anything the
// sanitizers report is a finding. The view and its window live for the whole
// run; every input ends by clearing the scene and the marks. The number of
// interface calls made is printed at exit.
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/IView3D.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/Controller.h"
#include "NimboCore/Debug.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/PluginLoader.h"
#include "NimboCore/ViewObjectManager.h"
#include "NimboCore/ViewOp.h"
#include "platform/DebugOutput.h"
#include "platform/Window.h"

namespace {

using nimbofuzz::FuzzInput;

// Ids drawn from a few values, so that calls meet the nodes others made.
constexpr std::array<std::uint64_t, 8> kIds = {1, 2, 3, 4, 5, 10002, 60000, 7};

class Session {
 public:
  Session() : loader(NIMBO_PLUGIN_PATH, "View3D"), window(MakeWindow()) {
    Nimbo_mainThreadId = GetCurrentThreadId();
    // Refusals are reported on both streams; at millions of calls that
    // would be most of the work.
    NimboCore::dbg.rdbuf(nullptr);
    platform::SetDebugOutputSink([](std::string_view) {});
    view = loader.CreateView();
    view->Initialize(window.Handle());
    view->SetWindowSize(8, 8);
    auto& provider = dynamic_cast<IViewObjectProvider&>(*view);
    provider.GetViewObjectManager()->Add(MarkupFactory::FactoryName, new MarkupFactory());
    for (const char* name : {"Aperture", "Rubberband"}) {
      if (AViewObject* overlay = provider.GetViewObjectManager()->Get(name)) overlay->SetIsVisible(true);
    }
    // The triad's arrows are tessellated again after every ClearAll, which
    // under the fuzzer's instrumentation costs most of a run; the GL tests
    // cover it.
    if (AViewObject* axes = provider.GetViewObjectManager()->Get("AxesViewObject")) axes->SetIsVisible(false);
    // The first frame makes the context and the process-wide font lists,
    // which live as long as the process: not something an input leaks.
    View3D().Render();
    view->GetCamera()->GetLookAt(home.eye, home.target, home.up);
    // The process ends with the view's context: kept here, it stays
    // reachable for the leak check at exit, which runs after this thread's
    // GL binding is gone.
    context = wglGetCurrentContext();
    std::atexit([] {
      std::fprintf(stderr, "ViewCallsFuzzer: %llu interface calls\n", static_cast<unsigned long long>(calls));
    });
  }
  // Mesa's rasteriser draws on the calling thread: the leak checker stops
  // every thread after each input, and rasteriser threads made it fail.
  static platform::Window MakeWindow() {
    setenv("LP_NUM_THREADS", "0", 0);
    return platform::Window::CreateOffscreen(8, 8);
  }

  void Run(FuzzInput& in) {
    while (!in.Empty()) {
      ++calls;
      try {
        Call(in);
      } catch (const std::exception&) {
      }
    }
    Reset();
  }

 private:
  AView3DAdapter& Scene() { return *view; }
  IView3D& View3D() { return *view; }

  std::uint64_t Id(FuzzInput& in) { return kIds[in.Byte() % kIds.size()]; }
  RenderId Path(FuzzInput& in) {
    std::vector<std::uint64_t> ids;
    const int length = in.Byte() % 6;
    for (int i = 0; i < length; ++i) ids.push_back(i == 0 && in.Byte() % 2 == 0 ? 1 : Id(in));
    return RenderId(ids, RenderId::SceneOrigin);
  }
  std::vector<float> Floats(FuzzInput& in, std::size_t count) {
    std::vector<float> values(count);
    for (float& value : values) value = in.Float();
    return values;
  }
  std::vector<std::uint32_t> Indices(FuzzInput& in, std::size_t count, std::uint32_t vertices) {
    std::vector<std::uint32_t> indices(count);
    for (auto& index : indices) index = in.Byte() % (vertices + 1);  // one past the end now and then
    return indices;
  }
  // The open node takes the item; with none open the host keeps it, as the
  // view then leaves it alone.
  void Give(AGeometryItem* item) {
    if (Scene().GetCurrentOpenNode() != nullptr) {
      Scene().AddGeometry(item);
    } else {
      delete item;
    }
  }
  void Give(Attribute* attribute) {
    if (Scene().GetCurrentOpenNode() != nullptr) {
      Scene().SetNodeAttribute(attribute);
    } else {
      delete attribute;
    }
  }
  void Frame() {
    // The host's rule: frames never run with a node open.
    Scene().CloseAllNodes();
    View3D().Render();
  }

  // Frames, picks, depth reads and resizes cost milliseconds each on the
  // software rasteriser, the other calls microseconds: the costly ones get
  // five byte values of 256, so that runs reach millions of calls.
  static int Operation(std::uint8_t code) {
    static constexpr std::array<int, 5> kCostly = {16, 17, 18, 19, 28};
    static const std::vector<int> cheap = [] {
      std::vector<int> operations;
      for (int operation = 0; operation < 32; ++operation) {
        if (std::find(kCostly.begin(), kCostly.end(), operation) == kCostly.end()) operations.push_back(operation);
      }
      return operations;
    }();
    if (code >= 256 - kCostly.size()) return kCostly[code - (256 - kCostly.size())];
    return cheap[code % cheap.size()];
  }

  void Call(FuzzInput& in) {
    const int operation = Operation(in.Byte());
    // NIMBO_FUZZ_TRACE=1 lists the operations of a failing input.
    static const bool trace = std::getenv("NIMBO_FUZZ_TRACE") != nullptr;
    if (trace) {
      const GeoNode* open = Scene().GetCurrentOpenNode();
      std::fprintf(stderr, "operation %d, open node %lld\n", operation,
                   open ? static_cast<long long>(open->GetId()) : -1LL);
    }
    switch (operation) {
      case 0:
        Scene().BeginScene(nullptr);
        break;
      case 1:
        Scene().EndScene();
        break;
      case 2:
        Scene().OpenNode(Id(in));
        break;
      case 3:
        Scene().CreateNode(Id(in), L"n");
        break;
      case 4:
        Scene().CreateGeoNode(Id(in), L"g");
        break;
      case 5:
        Scene().CloseNode();
        break;
      case 6:
        Scene().CloseAllNodes();
        break;
      case 7: {
        const std::uint32_t vertices = 1 + in.Byte() % 6;
        Give(Scene().GetGeometryItemFactory()->CreateTriangles(
            Id(in), Floats(in, 3 * vertices), Floats(in, 3 * vertices), Indices(in, 3 * (in.Byte() % 4), vertices)));
        break;
      }
      case 8: {
        const std::uint32_t vertices = 1 + in.Byte() % 4;
        Give(Scene().GetGeometryItemFactory()->CreateLines(Id(in), Floats(in, 3 * vertices),
                                                           Indices(in, 2 * (in.Byte() % 3), vertices)));
        break;
      }
      case 9:
        Give(Scene().GetGeometryItemFactory()->CreatePoints(Id(in), Floats(in, 3 * (in.Byte() % 4)), in.Float()));
        break;
      case 10:
        Scene().SetColor(RGBAColor{in.Byte(), in.Byte(), in.Byte(), in.Byte()});
        break;
      case 11:
        Scene().AddReference(Path(in));
        break;
      case 12:
        Scene().DeleteNode(Path(in));
        break;
      case 13:
        Scene().DeleteNode(Id(in));
        break;
      case 14:
        View3D().ClearAll();
        break;
      case 15:
        Scene().Clear(Path(in));
        break;
      case 16:
        Frame();
        break;
      case 17: {
        Scene().CloseAllNodes();
        RenderId picked = Path(in);
        Scene().PickVisualAt(in.Int(), in.Int(), picked);
        break;
      }
      case 18: {
        Scene().CloseAllNodes();
        float x = 0, y = 0, z = 0;
        Scene().PickPoint(in.Int(), in.Int(), x, y, z);
        break;
      }
      case 19: {
        float x = 0, y = 0, z = 0;
        View3D().GetPointAtPixel(in.Int(), in.Int(), x, y, z);
        break;
      }
      case 20:
        Scene().Highlight(Path(in));
        break;
      case 21:
        Scene().UnHighlight(Path(in));
        break;
      case 22:
        Scene().Select(Path(in));
        break;
      case 23:
        Scene().UnSelect(Path(in));
        break;
      case 24:
        in.Byte() % 2 ? Scene().UnHighlight() : Scene().UnSelect();
        break;
      case 25: {
        std::vector<std::vector<double>> lists(in.Byte() % 3);
        for (auto& list : lists) {
          for (float value : Floats(in, in.Byte() % 8)) list.push_back(value);
        }
        dynamic_cast<IViewObjectProvider&>(*view).AddMarkups(lists);
        break;
      }
      case 26:
        dynamic_cast<IViewObjectProvider&>(*view).RemoveMarkups();
        break;
      case 27: {
        ViewOp op(in.Byte() % 10, in.Byte() % 3, in.Int(), in.Int(), in.Int());
        view->GetController()->Notify(&op);
        break;
      }
      case 28: {
        const int width = 1 + in.Byte() % 16;
        const int height = 1 + in.Byte() % 16;
        window.Resize(width, height);
        View3D().SetWindowSize(width, height);
        break;
      }
      case 29:
        switch (in.Byte() % 3) {
          case 0:
            Scene().OpenLibrary(in.Byte() % 2 ? "a" : "b");
            break;
          case 1:
            Scene().CloseLibrary();
            break;
          default:
            Scene().AddLibraryReference(Id(in), in.Byte() % 2 ? "a" : "b", Id(in));
            break;
        }
        break;
      case 30: {
        double matrix[16];
        for (double& value : matrix) value = in.Float();
        Give(new AttributeTransform(matrix));
        break;
      }
      default: {
        const std::vector<float> origin = Floats(in, 3);
        const std::vector<float> direction = Floats(in, 3);
        RenderId picked;
        Scene().PickVisual(Ray(origin.data(), direction.data(), in.Float()), picked);
        Scene().ApplyNodeAction(Path(in));
        break;
      }
    }
  }

  // Back to the state after construction, so that an input that fails
  // fails again when run alone: the scene, marks, drag, window and camera.
  void Reset() {
    ViewOp release(IViewOp::Idle, 0, 0, 0);
    view->GetController()->Notify(&release);
    if (window.Width() != 8 || window.Height() != 8) {
      window.Resize(8, 8);
      View3D().SetWindowSize(8, 8);
    }
    view->GetCamera()->SetLookAt(home.eye, home.target, home.up);
    Scene().CloseLibrary();
    Scene().CloseAllNodes();
    Scene().UnHighlight();
    Scene().UnSelect();
    dynamic_cast<IViewObjectProvider&>(*view).RemoveMarkups();
    View3D().ClearAll();
  }

  PluginLoader loader;
  platform::Window window;
  AView3D* view = nullptr;
  HGLRC context = nullptr;
  struct {
    float eye[3], target[3], up[3];
  } home{};
  static inline std::uint64_t calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Never destroyed: at exit this thread's GL binding is gone before static
  // objects are, so the view could not release its context then.
  static Session* session = new Session;
  FuzzInput in(data, size);
  session->Run(in);
  return 0;
}
