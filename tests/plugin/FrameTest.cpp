// Frames as a person sees them, and what the frame does to the GL state and
// to the leaves it draws.
#include "KivVizCore/AttributeTransform.h"
#include "PluginHostFixture.h"

namespace plugintest {
namespace {

using FrameTest = PluginHostFixture;

TEST_F(FrameTest, BackFacesAreCulledUnlessMadeVisible) {
  AddQuad(1, 1.0f, -1.0f, -1.0f, 1.0f, 0.0f);  // wound clockwise as seen: its back shows
  for (bool visible : {false, true, false}) {
    View().SetBackFacesVisible(visible);
    EXPECT_EQ(Frame().At(kWidth / 2, kHeight / 2)[1] > 60, visible) << "culled, or lit by two-sided lighting";
  }
}

TEST_F(FrameTest, OpaquePassDrawsOpaqueLeavesAndTransparentPassesTheRest) {
  std::vector<DrawRecord> log;
  Open({1});
  Scene().SetNodeAttribute(new AttributeTransform());  // an identity pushes no matrix
  ASSERT_TRUE(Scene().CreateNode(1, L"opaque part"));
  AddRecordingLeaf(11, log);
  Scene().CloseNode();
  ASSERT_TRUE(Scene().CreateNode(2, L"transparent part"));
  Scene().SetColor(RGBAColor{0, 0, 255, 100});
  ASSERT_TRUE(Scene().CreateGeoNode(21, L"opaque child"));
  Scene().SetColor(RGBAColor{255, 0, 0, 255});
  Scene().AddGeometry(new RecordingItem(21, log));
  Scene().CloseNode();
  AddRecordingLeaf(22, log);
  Close();
  Frame();
  // Item, cull mode, attribute depth (colour state is pushed once per coloured node on the way down), names.
  using Drawn = std::vector<std::tuple<std::uint64_t, int, int, int>>;
  Drawn drawn;
  for (const DrawRecord& r : log) drawn.emplace_back(r.item, r.cullMode, r.attribDepth, r.nameDepth);
  const Drawn expected = {
      {11, GL_BACK, 0, 0}, {21, GL_FRONT, 2, 0}, {22, GL_FRONT, 1, 0}, {21, GL_BACK, 2, 0}, {22, GL_BACK, 1, 0}};
  ASSERT_EQ(drawn, expected) << "frames push no names";
  EXPECT_DOUBLE_EQ(log[0].translation[2], -10.0) << "only the camera's transform";
  EXPECT_FLOAT_EQ(log[1].color[0], 1.0f);
  EXPECT_FLOAT_EQ(log[2].color[2], 1.0f);
  EXPECT_NEAR(log[2].color[3], 100.0f / 255.0f, 1e-6);
  log.clear();
  ASSERT_TRUE(Scene().ApplyNodeAction(RenderId({1, 1, 2}, 1)));
  Frame();
  ASSERT_EQ(log.size(), 1u) << "without transparent nodes one pass draws the scene";
}

TEST_F(FrameTest, FramesSetUpLightsThatFollowTheCameraAndTheMaterial) {
  AddQuad(1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f);
  Frame();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0)) << "light 0 is the overlays' light";
  for (GLenum capability : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_COLOR_MATERIAL, GL_RESCALE_NORMAL,
                            GL_POLYGON_OFFSET_FILL, GL_BLEND, GL_DEPTH_TEST}) {
    EXPECT_TRUE(glIsEnabled(capability)) << capability;
  }
  // Each read fills what it has of four floats; eye space: the head light points along
  // the view, light 2 lies at distance * (0.866, -0.5) in the target's plane.
  const auto read = [](GLenum light, GLenum name) {
    std::vector<float> value(4);
    light == GL_FRONT ? glGetMaterialfv(light, name, value.data())
    : light == 0      ? glGetFloatv(name, value.data())
                      : glGetLightfv(light, name, value.data());
    return value;
  };
  for (const auto& [light, name, expected, tolerance] :
       {std::tuple{GL_LIGHT0, GL_POSITION, std::vector{0.0f, 0.0f, 10010.0f, 0.0f}, 1.0f},
        {GL_LIGHT2, GL_POSITION, {8660.254f, -5000.0f, -10.0f, 1.0f}, 2.0f},
        {GL_FRONT, GL_SPECULAR, {0.8f, 0.8f, 0.8f, 1.0f}, 1e-6f},
        {GL_FRONT, GL_SHININESS, {44.8f, 0.0f, 0.0f, 0.0f}, 1e-6f},
        {0, GL_LIGHT_MODEL_TWO_SIDE, {1.0f, 0.0f, 0.0f, 0.0f}, 1e-6f},
        {0, GL_POLYGON_OFFSET_FACTOR, {1.0f, 0.0f, 0.0f, 0.0f}, 1e-6f},
        {0, GL_POLYGON_OFFSET_UNITS, {1.0f, 0.0f, 0.0f, 0.0f}, 1e-6f},
        {0, GL_BLEND_SRC, {GL_SRC_ALPHA, 0.0f, 0.0f, 0.0f}, 1e-6f},
        {0, GL_BLEND_DST, {GL_ONE_MINUS_SRC_ALPHA, 0.0f, 0.0f, 0.0f}, 1e-6f}}) {
    const std::vector<float> actual = read(light, name);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << name << "[" << i << "]";
  }
  for (const auto& [light, attenuation] :
       {std::pair{GL_LIGHT0, 1.0f}, {GL_LIGHT1, 1.5f}, {GL_LIGHT2, 3.0f}, {GL_LIGHT3, 2.0f}}) {
    SCOPED_TRACE(light);
    EXPECT_EQ(read(light, GL_CONSTANT_ATTENUATION)[0], attenuation);
    for (const auto& [name, grey] : {std::pair{GL_SPECULAR, 0.4f}, {GL_DIFFUSE, 0.6f}, {GL_AMBIENT, 0.2f}})
      EXPECT_EQ(read(light, name), (std::vector{grey, grey, grey, 1.0f})) << name;
  }
}

TEST_F(FrameTest, ProjectionFollowsCameraSceneBoundsAndWindow) {
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const double tanHalf = std::tan(std::numbers::pi / 8.0);
  // From z = 10; near and far as the camera works them out (its edge cases are CameraTest's).
  for (const auto& [name, radius, orthographic, width, height, n, f, aspect] :
       {std::tuple{"FarEyeNearIsATenth", 1.0f, false, 160, 120, 0.9, 110.0, 4.0 / 3.0},
        {"ZeroHeightIsSquare", 1.0f, false, 160, 0, 0.9, 110.0, 1.0},
        {"OrthographicFar", 2.0f, true, 100, 100, 0.8, 120.0, 1.0}}) {
    SCOPED_TRACE(name);
    view->GetCamera()->SetOrthographic(orthographic);
    View().SetSceneBounds(centre, radius);
    View().SetWindowSize(width, height);
    View().Render();
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double scale = orthographic ? 1.0 / (tanHalf * 10.0) : 1.0 / tanHalf;
    EXPECT_NEAR(m[0], scale / aspect, 1e-5);
    EXPECT_NEAR(m[5], scale, 1e-5);
    EXPECT_NEAR(m[10], orthographic ? -2.0 / (f - n) : -(f + n) / (f - n), 1e-5);
    EXPECT_NEAR(m[14], orthographic ? -(f + n) / (f - n) : -2.0 * f * n / (f - n), orthographic ? 1e-5 : 1e-4 * n);
  }
}

}  // namespace
}  // namespace plugintest
