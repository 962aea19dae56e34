#include "OverlayFixture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/Debug.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/Settings.h"
#include "NimboCore/ViewOp.h"

namespace plugintest {

DiagnosticCapture::DiagnosticCapture() : previous_(NimboCore::dbg.rdbuf(text_.rdbuf())) {}

DiagnosticCapture::~DiagnosticCapture() { NimboCore::dbg.rdbuf(previous_); }

PixelBlob Measure(const platform::Image& image, const Region& region, const PixelTest& test,
                  double centreX, double centreY) {
  PixelBlob blob;
  double sumX = 0.0;
  double sumY = 0.0;
  double sumDistance = 0.0;
  for (int y = region.y0; y < region.y1; ++y) {
    for (int x = region.x0; x < region.x1; ++x) {
      if (!test(image.At(x, y))) continue;
      const double px = x + 0.5;
      const double py = y + 0.5;
      if (blob.count == 0) {
        blob.minX = blob.maxX = x;
        blob.minY = blob.maxY = y;
      }
      ++blob.count;
      sumX += px;
      sumY += py;
      sumDistance += std::hypot(px - centreX, py - centreY);
      blob.minX = std::min(blob.minX, x);
      blob.maxX = std::max(blob.maxX, x);
      blob.minY = std::min(blob.minY, y);
      blob.maxY = std::max(blob.maxY, y);
    }
  }
  if (blob.count > 0) {
    blob.x = sumX / blob.count;
    blob.y = sumY / blob.count;
    blob.meanDistance = sumDistance / blob.count;
  }
  return blob;
}

GeoNode* Child(GeoNode* node, std::uint64_t id) {
  if (node == nullptr || !node->IsGroup()) return nullptr;
  return static_cast<Node*>(node)->GetChild(id);
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
  // A finished scene, empty: until a frame has drawn a scene the view draws
  // no leaves, overlays' included.
  Scene().BeginScene(nullptr);
  Scene().EndScene();
}

ViewObjectManager& OverlayGLTest::Manager() {
  auto* provider = dynamic_cast<IViewObjectProvider*>(view);
  if (provider == nullptr || provider->GetViewObjectManager() == nullptr) {
    throw std::logic_error("the view hands out no view-object manager");
  }
  return *provider->GetViewObjectManager();
}

AViewObject& OverlayGLTest::Object(const std::string& name) {
  AViewObject* object = Manager().Get(name);
  if (object == nullptr) throw std::logic_error("the manager holds no " + name);
  return *object;
}

IControllerListener& OverlayGLTest::Listener(const std::string& name) {
  auto* listener = dynamic_cast<IControllerListener*>(&Object(name));
  if (listener == nullptr) throw std::logic_error(name + " is no controller listener");
  return *listener;
}

void OverlayGLTest::Notify(int type, int phase, int first, int second, int third) {
  ViewOp op(type, phase, first, second, third);
  view->GetController()->Notify(&op);
}

void OverlayGLTest::NotifyOne(const std::string& name, int type, int phase, int first, int second,
                              int third) {
  ViewOp op(type, phase, first, second, third);
  Listener(name).ControllerNotify(&op);
}

void OverlayGLTest::Drag(int x0, int y0, int x1, int y1) {
  Notify(IViewOp::RubberBand, 1, x0, y0);
  Notify(IViewOp::RubberBand, 2, x1, y1);
}

void OverlayGLTest::Record(AViewObject& object, std::uint64_t leaf, std::vector<DrawRecord>& log) {
  GeoNode* own = object.GetNode();
  ASSERT_NE(own, nullptr) << object.Name() << " has no node yet";
  ASSERT_TRUE(own->IsGroup());
  GeoNode* recorder = static_cast<Node*>(own)->CreateChildGeoNode(leaf);
  ASSERT_NE(recorder, nullptr);
  recorder->AddGeometry(new RecordingItem(leaf, log));
}

AGeometryItem* OverlayGLTest::ItemOf(AViewObject& object) {
  GeoNode* leaf = Child(object.GetNode(), 1);
  if (leaf == nullptr || leaf->Geometry().empty()) return nullptr;
  return leaf->Geometry().back();
}

void OverlayGLTest::ApertureCursor(const DrawRecord& record, double& x, double& y) {
  float eye[3];
  float target[3];
  float up[3];
  view->GetCamera()->GetLookAt(eye, target, up);
  const double distance = std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]);
  const double visibleHeight =
      2.0 * distance *
      std::tan(view->GetCamera()->GetFieldOfViewDegrees() * std::numbers::pi / 360.0);
  const double unitsPerPixel = visibleHeight / kHeight;
  x = (record.translation[0] + visibleHeight * kWidth / kHeight / 2.0) / unitsPerPixel;
  y = (visibleHeight / 2.0 - record.translation[1]) / unitsPerPixel;
}

void OverlayGLTest::RubberbandPixel(const float* point, double& x, double& y) {
  x = (point[0] + 10.0) * kWidth / 20.0;
  y = kHeight - (point[1] + 10.0) * kHeight / 20.0;
}

}  // namespace plugintest
