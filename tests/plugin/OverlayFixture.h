// A host's view of the factory's three overlays (axes triad, aperture,
// rubber band): reaches them through the view's object manager and
// controller, tells them operation records, plants recording leaves in their
// nodes and measures what they draw.
#ifndef NIMBO_TESTS_PLUGIN_OVERLAY_FIXTURE_H
#define NIMBO_TESTS_PLUGIN_OVERLAY_FIXTURE_H

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "KivVizCore/RGBAColor.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/ViewObjectManager.h"
#include "PluginHostFixture.h"
#include "RecordingItem.h"

namespace plugintest {

inline constexpr const char* kAxesName = "AxesViewObject";
inline constexpr const char* kApertureName = "Aperture";
inline constexpr const char* kRubberbandName = "Rubberband";

// Captures what is written to the host's diagnostic stream.
class DiagnosticCapture {
 public:
  DiagnosticCapture();
  ~DiagnosticCapture();
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;
  std::string Text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* previous_;
};

// The pixels of a picture's region that pass a test: how many, their
// centroid, extent and mean distance from a centre (image coordinates, top
// left origin, pixel centres at i + 0.5).
struct PixelBlob {
  int count = 0;
  double x = 0.0;
  double y = 0.0;
  int minX = 0;
  int maxX = -1;
  int minY = 0;
  int maxY = -1;
  double meanDistance = 0.0;
};

struct Region {
  int x0;
  int y0;
  int x1;  // exclusive
  int y1;  // exclusive
};

using PixelTest = std::function<bool(const Rgba&)>;

PixelBlob Measure(const platform::Image& image, const Region& region, const PixelTest& test,
                  double centreX = 0.0, double centreY = 0.0);

// The group child with that id, or the child of a leaf: null when missing.
GeoNode* Child(GeoNode* node, std::uint64_t id);

// The triad's colours once lit and blended, and the overlays' flat colours.
bool Reddish(const Rgba& pixel);
bool Greenish(const Rgba& pixel);
bool Bluish(const Rgba& pixel);
bool Black(const Rgba& pixel);
bool RubberbandRed(const Rgba& pixel);

class OverlayGLTest : public PluginGLTest {
 protected:
  // The triad's corner in image rows and columns.
  static constexpr Region kCorner{0, kHeight - 100, 100, kHeight};
  static constexpr Region kWhole{0, 0, kWidth, kHeight};

  // Front camera, a finished empty scene and a plain grey background, on
  // which every overlay colour stands out.
  void SetUp() override;

  ViewObjectManager& Manager();
  AViewObject& Object(const std::string& name);
  AViewObject& Axes() { return Object(kAxesName); }
  AViewObject& Aperture() { return Object(kApertureName); }
  AViewObject& Rubberband() { return Object(kRubberbandName); }
  IControllerListener& Listener(const std::string& name);

  // Through the view's controller, as a host reports input.
  void Notify(int type, int phase, int first, int second, int third = 0);
  // To one overlay only.
  void NotifyOne(const std::string& name, int type, int phase, int first, int second,
                 int third = 0);
  // A rubber-band drag from the press to the pointer's current position.
  void Drag(int x0, int y0, int x1, int y1);

  // Plants a leaf with a recording item under the overlay's own node, so
  // that each of its draws leaves a record; the overlay's geometry must
  // exist. The leaf goes with the overlay's subtree.
  void Record(AViewObject& object, std::uint64_t leaf, std::vector<DrawRecord>& log);
  // The aperture's or the rubber band's geometry leaf and its one item;
  // null when missing.
  AGeometryItem* ItemOf(AViewObject& object);

  // The window pixel that the aperture's model-view translation puts the
  // circle's centre on, for the camera as it is.
  void ApertureCursor(const DrawRecord& record, double& x, double& y);
  // The window pixel a rubber-band point lies on, unprojected through the
  // triad's orthographic box over the whole window.
  static void RubberbandPixel(const float* point, double& x, double& y);
};

}  // namespace plugintest

#endif
