#include "OverlayFixture.h"

#include <algorithm>
#include <cmath>

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "NimboCore/Controller.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/Settings.h"
#include "NimboCore/ViewOp.h"

namespace plugintest {

PixelBlob Measure(const platform::Image& image, const Region& region, const std::function<bool(const Rgba&)>& test,
                  double centreX, double centreY) {
  PixelBlob blob;
  for (int y = region.y0; y < region.y1; ++y) {
    for (int x = region.x0; x < region.x1; ++x) {
      if (!test(image.At(x, y))) continue;
      ++blob.count;
      blob.x += x + 0.5;
      blob.y += y + 0.5;
      blob.meanDistance += std::hypot(x + 0.5 - centreX, y + 0.5 - centreY);
      blob.minX = std::min(blob.minX, x);
      blob.maxX = std::max(blob.maxX, x);
      blob.minY = std::min(blob.minY, y);
      blob.maxY = std::max(blob.maxY, y);
    }
  }
  if (blob.count > 0) {
    blob.x /= blob.count;
    blob.y /= blob.count;
    blob.meanDistance /= blob.count;
  }
  return blob;
}

GeoNode* Child(GeoNode* node, std::uint64_t id) {
  return node != nullptr && node->IsGroup() ? static_cast<Node*>(node)->GetChild(id) : nullptr;
}

bool Reddish(const Rgba& p) { return p[0] > p[1] + 60 && p[0] > p[2] + 60; }
bool Greenish(const Rgba& p) { return p[1] > p[0] + 60 && p[1] > p[2] + 60; }
bool Bluish(const Rgba& p) { return p[2] > p[0] + 60 && p[2] > p[1] + 60; }
bool Black(const Rgba& p) { return p[0] < 30 && p[1] < 30 && p[2] < 30; }
// Flat, unlit and opaque: exactly the rubber band's colour.
bool RubberbandRed(const Rgba& p) { return Near(p, {220, 0, 0, 255}, 3); }

void OverlayGLTest::SetUp() {
  PluginGLTest::SetUp();
  Settings::Current().SetBackgroundColor1(RGBAColor{150, 150, 150, 255});
  Settings::Current().SetBackgroundColor2(RGBAColor{150, 150, 150, 255});
  LookFrom(0.0f, 0.0f, 10.0f);
  // Until a frame has drawn a finished scene the view draws no leaves,
  // the overlays' included.
  Scene().BeginScene(nullptr);
  Scene().EndScene();
}

void OverlayGLTest::Notify(int type, int phase, int first, int second, int third) {
  ViewOp op(type, phase, first, second, third);
  view->GetController()->Notify(&op);
}

void OverlayGLTest::NotifyOne(const std::string& name, int type, int phase, int first, int second, int third) {
  ViewOp op(type, phase, first, second, third);
  dynamic_cast<IControllerListener&>(Object(name)).ControllerNotify(&op);
}

void OverlayGLTest::Drag(int x0, int y0, int x1, int y1) {
  Notify(IViewOp::RubberBand, 1, x0, y0);
  Notify(IViewOp::RubberBand, 2, x1, y1);
}

void OverlayGLTest::Record(AViewObject& object, std::uint64_t leaf, std::vector<DrawRecord>& log) {
  ASSERT_NE(object.GetNode(), nullptr) << object.Name() << " has no node yet";
  GeoNode* recorder = static_cast<Node*>(object.GetNode())->CreateChildGeoNode(leaf);
  ASSERT_NE(recorder, nullptr);
  recorder->AddGeometry(new RecordingItem(leaf, log));
}

AGeometryItem* OverlayGLTest::ItemOf(AViewObject& object) {
  GeoNode* leaf = Child(object.GetNode(), 1);
  return leaf == nullptr || leaf->Geometry().empty() ? nullptr : leaf->Geometry().back();
}

}  // namespace plugintest
