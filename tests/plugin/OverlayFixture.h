// A host's view of the factory's three overlays (axes triad, aperture,
// rubber band): reaches them through the view's object manager and
// controller, tells them operation records, plants recording leaves in their
// nodes and measures what they draw.
#ifndef NIMBO_TESTS_PLUGIN_OVERLAY_FIXTURE_H
#define NIMBO_TESTS_PLUGIN_OVERLAY_FIXTURE_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "NimboCore/AViewObject.h"
#include "PluginHostFixture.h"
#include "RecordingItem.h"

namespace plugintest {

inline constexpr const char* kAxesName = "AxesViewObject";
inline constexpr const char* kApertureName = "Aperture";
inline constexpr const char* kRubberbandName = "Rubberband";

// The pixels of a picture's region that pass a test: how many, their
// centroid and extent, and their mean distance from a centre (image
// coordinates, pixel centres at i + 0.5).
struct PixelBlob {
  int count = 0;
  double x = 0.0, y = 0.0;
  int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
  double meanDistance = 0.0;
};

struct Region {
  int x0, y0, x1, y1;  // x1 and y1 exclusive
};

PixelBlob Measure(const platform::Image& image, const Region& region, const std::function<bool(const Rgba&)>& test,
                  double centreX = 0.0, double centreY = 0.0);

// The group child with that id: null when missing or not a group's.
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

  AViewObject& Object(const std::string& name) { return *Manager().Get(name); }
  AViewObject& Axes() { return Object(kAxesName); }
  AViewObject& Aperture() { return Object(kApertureName); }
  AViewObject& Rubberband() { return Object(kRubberbandName); }

  // Through the view's controller, as a host reports input, or to one
  // overlay only.
  void Notify(int type, int phase, int first, int second, int third = 0);
  void NotifyOne(const std::string& name, int type, int phase, int first, int second, int third = 0);
  // A rubber-band drag from the press to the pointer's current position.
  void Drag(int x0, int y0, int x1, int y1);

  // Plants a leaf with a recording item under the overlay's built node, so
  // that each of its draws leaves a record; it goes with the overlay's subtree.
  void Record(AViewObject& object, std::uint64_t leaf, std::vector<DrawRecord>& log);
  // The aperture's or the rubber band's geometry leaf's last item, or null.
  AGeometryItem* ItemOf(AViewObject& object);
};

}  // namespace plugintest

#endif
