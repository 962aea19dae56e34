// The rubber band's selection finds what picking every third pixel of the
// rectangle finds (as the band once did, at one pick per probe), on the demo
// from several sides and on squares hiding one another.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "DemoScene.h"
#include "Interaction.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/RenderingOptions.h"
#include "RectanglePick.h"
#include "SceneBuilder.h"

namespace nimboview {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 180;
constexpr int kProbeStep = 3;

struct Band {
  int x0, y0, x1, y1;
};

// Every band of every view: the window, a part of it either way round, ones
// reaching far outside, a single pixel, one just too big to be probed and
// one wholly outside.
constexpr Band kBands[] = {{0, 0, kWidth - 1, kHeight - 1},
                           {150, 120, 60, 30},
                           {-500, 90, 100, 100000},
                           {200, 10, 2147483647, -2147483647 - 1},
                           {120, 90, 120, 90},
                           {100, 70, 124, 94},
                           {-40, -40, -2, 500}};

// Far from the origin, so that the passes see nothing unless they set up the
// view's own matrices.
constexpr float kSquaresX = 500.0f;

Part Square(std::uint64_t id, float x, float y, float z, float half) {
  x += kSquaresX;
  Part part;
  part.id = id;
  part.color = RGBAColor{static_cast<std::uint8_t>(40 * id), 90, 160, 255};
  part.surfaces.vertices = {x - half, y - half, z, x + half, y - half, z, x + half, y + half, z, x - half, y + half, z};
  part.surfaces.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  part.surfaces.indices = {0, 1, 2, 0, 2, 3};
  return part;
}

class RectanglePickTest : public ::testing::Test {
 protected:
  RectanglePickTest() : host(NIMBO_VIEW_PLUGIN_FILE, platform::Window::CreateOffscreen(kWidth, kHeight)) {}

  // The band finds what it found before: the node picked at every third
  // pixel from the rectangle's corner, within the window.
  void ExpectSameAsDenseProbes(const char* view) {
    host.Render();
    for (const Band& band : kBands) {
      std::set<RenderId> probed;
      const std::int64_t left = std::min(band.x0, band.x1), right = std::max(band.x0, band.x1);
      const std::int64_t top = std::min(band.y0, band.y1), bottom = std::max(band.y0, band.y1);
      for (std::int64_t y = top; y <= std::min<std::int64_t>(bottom, kHeight - 1); y += kProbeStep) {
        if (y < 0) y += (-y + kProbeStep - 1) / kProbeStep * kProbeStep;
        for (std::int64_t x = left; x <= std::min<std::int64_t>(right, kWidth - 1); x += kProbeStep) {
          if (x < 0) x += (-x + kProbeStep - 1) / kProbeStep * kProbeStep;
          RenderId picked;
          if (host.Scene().PickVisualAt(static_cast<int>(x), static_cast<int>(y), picked)) probed.insert(picked);
        }
      }
      glDisable(GL_DEPTH_TEST);  // whatever GL state the host left, the band sets up its own
      EXPECT_EQ(RectanglePick(host).VisibleNodes(band.x0, band.y0, band.x1, band.y1), probed)
          << view << ", band " << band.x0 << "," << band.y0 << " to " << band.x1 << "," << band.y1;
    }
  }

  ViewHost host;
};

TEST_F(RectanglePickTest, DemoFromFourSidesAndWithSurfacesUnpickable) {
  DemoScene::AddTo(host);
  host.Fit();
  for (const auto& [azimuth, elevation] : {std::pair{0.0f, 0.0f}, {35.0f, 25.0f}, {160.0f, -30.0f}, {270.0f, 80.0f}}) {
    host.Aim(azimuth, elevation, std::nullopt);
    ExpectSameAsDenseProbes("demo");
  }
  // Unpickable surfaces hide nothing from picks: the curves and points behind them count.
  host.Scene().GetDisplayOptions()->SetPickSurfaces(false);
  ExpectSameAsDenseProbes("demo without surfaces");
}

TEST_F(RectanglePickTest, SquaresHiddenWhollyOrPartlyOrShowingAtTheEdgeOnly) {
  Model model;
  model.id = 1;
  model.parts = {Square(1, 0.0f, 0.0f, 1.0f, 1.0f), Square(2, 0.0f, 0.0f, 0.0f, 0.6f),
                 Square(3, 1.2f, 0.3f, 0.5f, 0.5f), Square(4, -1.8f, -1.2f, 0.0f, 0.3f),
                 Square(5, 0.4f, 0.4f, -1.0f, 0.2f)};
  SceneBuilder(host.Scene()).Add({model});
  host.Fit();
  host.Aim(0.0f, 0.0f, std::nullopt);
  ExpectSameAsDenseProbes("squares");
  Interaction interaction(host);
  interaction.BandPress(0, 0);
  EXPECT_EQ(interaction.BandRelease(kWidth - 1, kHeight - 1).size(), 3u) << "the front square hides 2 and 5 wholly";
  // Selected squares draw their stripes nearer the eye: nothing changes.
  ExpectSameAsDenseProbes("squares, selected");
}

}  // namespace
}  // namespace nimboview
