// A host for the plug-in in tests: loads it through the host's plug-in
// loader (dlopen and the exports), creates a view on an offscreen window and
// offers the scene-building helpers a host's scene builder would use.
#ifndef NIMBO_TESTS_PLUGIN_PLUGIN_HOST_FIXTURE_H
#define NIMBO_TESTS_PLUGIN_PLUGIN_HOST_FIXTURE_H

#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/IView3D.h"
#include "KivVizCore/RGBAColor.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/Debug.h"
#include "NimboCore/PluginLoader.h"
#include "NimboCore/ViewObjectManager.h"
#include "platform/Image.h"
#include "platform/Window.h"

namespace plugintest {

using Rgba = std::array<std::uint8_t, 4>;

// Captures what is written to the host's diagnostic stream while it lives.
class DiagnosticCapture {
 public:
  DiagnosticCapture() : previous(NimboCore::dbg.rdbuf(text.rdbuf())) {}
  ~DiagnosticCapture() { NimboCore::dbg.rdbuf(previous); }
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;
  std::string Text() const { return text.str(); }

 private:
  std::ostringstream text;
  std::streambuf* previous;
};

// The loaded plug-in, shared by every test of the process.
PluginLoader& Plugin();

class PluginGLTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 120;

  void SetUp() override;
  void TearDown() override;

  IView3D& View() { return *view; }
  AView3DAdapter& Scene() { return *view; }
  ViewObjectManager& Manager();

  // Hides the axes triad, whose corner square covers much of this small
  // window, for tests about the scene's own pixels.
  void HideAxes();
  // Puts the camera's eye at (x, y, z), looking at the origin, up +Y.
  void LookFrom(float x, float y, float z);
  // Renders one frame and returns what the window shows.
  platform::Image Frame();
  // Writes the picture next to the test's output when a check on it fails.
  void Keep(const platform::Image& image, const std::string& name) const;

  // Builds model/part/category(10002)/leaf under the root, inside one
  // BeginScene/EndScene pass, with a quad from (x0, y0) to (x1, y1) at depth z
  // facing +Z; the leaf gets `color` when it is given.
  void AddQuad(std::uint64_t model, std::uint64_t part, std::uint64_t leaf, float x0, float y0, float x1, float y1,
               float z, std::optional<RGBAColor> color);

  std::optional<platform::Window> window;
  AView3D* view = nullptr;
};

// A quad's triangles in the XY plane between the corners, facing +Z.
void QuadMesh(float x0, float y0, float x1, float y1, float z, std::vector<float>& vertices, std::vector<float>& normals,
              std::vector<std::uint32_t>& indices);

bool Near(const Rgba& actual, const Rgba& expected, int tolerance);

}  // namespace plugintest

#endif
