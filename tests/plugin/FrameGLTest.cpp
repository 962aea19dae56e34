// Frames as a person sees them, and what the frame does to the GL state and
// to the leaves it draws.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Settings.h"
#include "PluginHostFixture.h"
#include "RecordingItem.h"

namespace plugintest {
namespace {

constexpr RGBAColor kGreen{0, 200, 0, 255};
constexpr RGBAColor kRed{220, 0, 0, 255};

bool Dark(const Rgba& pixel) { return pixel[0] < 16 && pixel[1] < 16 && pixel[2] < 16; }

bool Greenish(const Rgba& pixel) { return pixel[1] > pixel[0] + 60 && pixel[1] > pixel[2] + 60; }

class FrameGLTest : public PluginGLTest {
 protected:
  void SetUp() override {
    PluginGLTest::SetUp();
    LookFrom(0.0f, 0.0f, 10.0f);
    HideAxes();
  }

  // Opens root / path... for adding to an existing scene; the caller closes.
  void Open(std::initializer_list<std::uint64_t> path) {
    Scene().BeginScene(nullptr);
    ASSERT_TRUE(Scene().OpenNode(1));
    for (std::uint64_t id : path) {
      if (!Scene().OpenNode(id)) {
        ASSERT_TRUE(Scene().CreateNode(id, L"group"));
      }
    }
  }
  void Close() {
    Scene().CloseAllNodes();
    Scene().EndScene();
  }
  void AddRecordingLeaf(std::uint64_t leaf, std::vector<DrawRecord>& log) {
    ASSERT_TRUE(Scene().CreateGeoNode(leaf, L"recorder"));
    Scene().AddGeometry(new RecordingItem(leaf, log));
    Scene().CloseNode();
  }
};

TEST_F(FrameGLTest, BackgroundIsTheSettingsGradientBottomToTop) {
  Settings::Current().SetBackgroundColor1(RGBAColor{200, 0, 0, 255});
  Settings::Current().SetBackgroundColor2(RGBAColor{0, 0, 200, 255});
  // The view's own background colours do not take part.
  View().SetBackgroundColor1(RGBAColor{0, 255, 0, 255});
  View().SetBackgroundColor2(RGBAColor{0, 255, 0, 255});
  const platform::Image image = Frame();
  EXPECT_TRUE(Near(image.At(kWidth / 2, kHeight - 1), {200, 0, 0, 255}, 4));
  EXPECT_TRUE(Near(image.At(kWidth / 2, 0), {0, 0, 200, 255}, 4));
  EXPECT_TRUE(Near(image.At(5, kHeight / 2), {100, 0, 100, 255}, 6));
  Keep(image, "background");
}

TEST_F(FrameGLTest, OpaqueNodeShowsInItsColourWhereItIs) {
  AddQuad(1, 1, 1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  const platform::Image image = Frame();
  EXPECT_TRUE(Greenish(image.At(kWidth / 2, kHeight / 2)));
  EXPECT_TRUE(Dark(image.At(10, 10))) << "background stays where nothing is drawn";
  Keep(image, "opaque");
}

TEST_F(FrameGLTest, TransparentNodeBlendsInFrontAndHidesBehind) {
  AddQuad(1, 1, 1, -2.0f, -2.0f, 2.0f, 2.0f, 0.0f, kRed);
  AddQuad(1, 2, 1, -1.0f, -1.0f, 0.0f, 1.0f, 1.0f, RGBAColor{0, 0, 255, 128});   // in front
  AddQuad(1, 3, 1, 0.0f, -1.0f, 1.0f, 1.0f, -1.0f, RGBAColor{0, 0, 255, 128});   // behind
  const platform::Image image = Frame();
  const Rgba front = image.At(kWidth / 2 - 6, kHeight / 2);
  EXPECT_GT(front[0], 40) << "red shows through the transparent quad";
  EXPECT_GT(front[2], 60) << "the transparent quad tints it blue";
  const Rgba behind = image.At(kWidth / 2 + 6, kHeight / 2);
  EXPECT_GT(behind[0], 100);
  EXPECT_LT(behind[2], 20) << "a transparent node behind an opaque one stays hidden";
  Keep(image, "transparent");
}

TEST_F(FrameGLTest, FilteredAndInvisibleSubtreesAreNotDrawn) {
  AddQuad(1, 1, 1, -2.0f, -1.0f, -0.5f, 1.0f, 0.0f, kGreen);
  AddQuad(2, 1, 1, 0.5f, -1.0f, 2.0f, 1.0f, 0.0f, kGreen);
  Open({1});
  Scene().SetFilterId(7);
  Close();
  const int left = kWidth / 2 - 20;
  const int right = kWidth / 2 + 20;
  platform::Image image = Frame();
  ASSERT_TRUE(Greenish(image.At(left, kHeight / 2)));
  ASSERT_TRUE(Greenish(image.At(right, kHeight / 2)));

  RenderingOptions options;
  options.SetFilterVisible(7, false);
  View().ApplyRenderingOptions(options);
  image = Frame();
  EXPECT_TRUE(Dark(image.At(left, kHeight / 2))) << "filter 7 is switched off";
  EXPECT_TRUE(Greenish(image.At(right, kHeight / 2)));

  ASSERT_TRUE(Scene().ApplyNodeAction(RenderId({1, 2}, 1)));
  image = Frame();
  EXPECT_TRUE(Dark(image.At(right, kHeight / 2))) << "model 2 was made invisible";
  ASSERT_TRUE(Scene().ApplyNodeAction(RenderId({1, 2}, 1)));
  EXPECT_TRUE(Greenish(Frame().At(right, kHeight / 2))) << "and visible again";
  Keep(image, "filtered");
}

TEST_F(FrameGLTest, NodeTransformPlacesItsGeometry) {
  AddQuad(1, 1, 1, -0.5f, -0.5f, 0.5f, 0.5f, 0.0f, kGreen);
  Open({1, 1});
  double shift[16];
  AttributeTransform::SetIdentity(shift);
  shift[12] = 2.5;  // along +X
  Scene().SetNodeAttribute(new AttributeTransform(shift));
  Close();
  const platform::Image image = Frame();
  EXPECT_TRUE(Dark(image.At(kWidth / 2, kHeight / 2)));
  // 2.5 units at distance 10 with a 45 degree field over 120 rows: ~36 pixels.
  EXPECT_TRUE(Greenish(image.At(kWidth / 2 + 36, kHeight / 2)));
  Keep(image, "transform");
}

TEST_F(FrameGLTest, BackFacesAreCulledUnlessMadeVisible) {
  // Wound clockwise as seen from the camera: the quad shows its back.
  AddQuad(1, 1, 1, 1.0f, -1.0f, -1.0f, 1.0f, 0.0f, kGreen);
  EXPECT_TRUE(Dark(Frame().At(kWidth / 2, kHeight / 2)));
  View().SetBackFacesVisible(true);
  EXPECT_TRUE(View().IsBackFacesVisible());
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  const platform::Image image = Frame();
  EXPECT_GT(image.At(kWidth / 2, kHeight / 2)[1], 60) << "two-sided lighting lights the back";
  View().SetBackFacesVisible(false);
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  GLint mode = 0;
  glGetIntegerv(GL_CULL_FACE_MODE, &mode);
  EXPECT_EQ(mode, GL_BACK);
  EXPECT_TRUE(Dark(Frame().At(kWidth / 2, kHeight / 2)));
  Keep(image, "backfaces");
}

TEST_F(FrameGLTest, OverlayChildIsNeverDrawnByTheScene) {
  std::vector<DrawRecord> log;
  Open({AView3DAdapter::OverlayNodeId});
  AddRecordingLeaf(77, log);
  Close();
  Frame();
  EXPECT_TRUE(log.empty());
}

TEST_F(FrameGLTest, OpaquePassDrawsOpaqueLeavesAndTransparentPassesTheRest) {
  std::vector<DrawRecord> log;
  Open({1, 1});
  AddRecordingLeaf(11, log);
  Close();
  Open({1, 2});
  Scene().SetColor(RGBAColor{0, 0, 255, 100});  // transparent group
  ASSERT_TRUE(Scene().CreateGeoNode(21, L"opaque child"));
  Scene().SetColor(RGBAColor{255, 0, 0, 255});
  Scene().AddGeometry(new RecordingItem(21, log));
  Scene().CloseNode();
  AddRecordingLeaf(22, log);
  Close();

  Frame();
  ASSERT_EQ(log.size(), 5u);
  const std::uint64_t expectedItems[] = {11, 21, 22, 21, 22};
  const int expectedCull[] = {GL_BACK, GL_FRONT, GL_FRONT, GL_BACK, GL_BACK};
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_EQ(log[i].item, expectedItems[i]) << "draw " << i;
    EXPECT_EQ(log[i].cullMode, expectedCull[i]) << "draw " << i;
    EXPECT_TRUE(log[i].cullEnabled);
    EXPECT_EQ(log[i].nameDepth, 0) << "frames push no names";
  }
  // Colour state is pushed once per coloured node on the way down.
  EXPECT_EQ(log[0].attribDepth, 0);
  EXPECT_EQ(log[1].attribDepth, 2);
  EXPECT_EQ(log[2].attribDepth, 1);
  EXPECT_FLOAT_EQ(log[1].color[0], 1.0f);
  EXPECT_FLOAT_EQ(log[2].color[2], 1.0f);
  EXPECT_NEAR(log[2].color[3], 100.0f / 255.0f, 1e-6);

  log.clear();
  ASSERT_TRUE(Scene().ApplyNodeAction(RenderId({1, 1, 2}, 1)));
  Frame();
  ASSERT_EQ(log.size(), 1u) << "without transparent nodes one pass draws the scene";
  EXPECT_EQ(log[0].item, 11u);
}

TEST_F(FrameGLTest, IdentityTransformPushesNoMatrixButOthersDo) {
  std::vector<DrawRecord> log;
  Open({1});
  Scene().SetNodeAttribute(new AttributeTransform());
  AddRecordingLeaf(5, log);
  Close();
  Frame();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_DOUBLE_EQ(log[0].translation[2], -10.0) << "only the camera's transform";
}

TEST_F(FrameGLTest, FirstFrameSetsUpLightsAndMaterial) {
  Frame();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0)) << "light 0 is the overlays' light";
  for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) EXPECT_TRUE(glIsEnabled(light));
  const struct {
    GLenum light;
    float attenuation;
  } attenuations[] = {{GL_LIGHT0, 1.0f}, {GL_LIGHT1, 1.5f}, {GL_LIGHT2, 3.0f}, {GL_LIGHT3, 2.0f}};
  for (const auto& expected : attenuations) {
    GLfloat value = 0.0f;
    glGetLightfv(expected.light, GL_CONSTANT_ATTENUATION, &value);
    EXPECT_FLOAT_EQ(value, expected.attenuation);
    GLfloat specular[4], diffuse[4], ambient[4];
    glGetLightfv(expected.light, GL_SPECULAR, specular);
    glGetLightfv(expected.light, GL_DIFFUSE, diffuse);
    glGetLightfv(expected.light, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(specular[0], 0.4f);
    EXPECT_FLOAT_EQ(diffuse[1], 0.6f);
    EXPECT_FLOAT_EQ(ambient[2], 0.2f);
  }
  GLfloat materialSpecular[4];
  GLfloat shininess = 0.0f;
  glGetMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
  EXPECT_FLOAT_EQ(materialSpecular[0], 0.8f);
  EXPECT_FLOAT_EQ(shininess, 44.8f);
  GLfloat twoSide = 0.0f;
  glGetFloatv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
  EXPECT_EQ(twoSide, 1.0f);
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_TRUE(glIsEnabled(GL_RESCALE_NORMAL));
  EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLfloat offset[2];
  glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &offset[0]);
  glGetFloatv(GL_POLYGON_OFFSET_UNITS, &offset[1]);
  EXPECT_EQ(offset[0], 1.0f);
  EXPECT_EQ(offset[1], 1.0f);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.5f) << "every frame clears with grey";
  EXPECT_EQ(clear[3], 0.5f);
}

TEST_F(FrameGLTest, LightsFollowTheCamera) {
  AddQuad(1, 1, 1, -1.0f, -1.0f, 1.0f, 1.0f, 0.0f, kGreen);
  Frame();
  // Light positions are stored in eye space: the head light is a direction
  // along the view axis (eye + 1000 times the eye's offset from the target).
  GLfloat head[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, head);
  EXPECT_NEAR(head[0], 0.0f, 1e-3f);
  EXPECT_NEAR(head[1], 0.0f, 1e-3f);
  EXPECT_NEAR(head[2], 10010.0f, 1.0f);
  EXPECT_EQ(head[3], 0.0f);
  GLfloat second[4];
  glGetLightfv(GL_LIGHT2, GL_POSITION, second);
  // Light 2 sits at dist * (0.866 right - 0.5 up) from the target.
  EXPECT_NEAR(second[0], 10000.0f * 0.86602540378f, 2.0f);
  EXPECT_NEAR(second[1], -5000.0f, 2.0f);
  EXPECT_NEAR(second[2], -10.0f, 2.0f);
  EXPECT_EQ(second[3], 1.0f);
}

struct ProjectionCase {
  std::string name;
  float eyeZ;
  float radius;
  bool orthographic;
  int width;
  int height;
  double nearPlane;
  double farPlane;
  double aspect;
};

void PrintTo(const ProjectionCase& c, std::ostream* out) { *out << c.name; }

class ProjectionGLTest : public PluginGLTest,
                         public ::testing::WithParamInterface<ProjectionCase> {};

TEST_P(ProjectionGLTest, ProjectionFollowsCameraBoundsAndWindow) {
  const ProjectionCase& c = GetParam();
  LookFrom(0.0f, 0.0f, c.eyeZ);
  view->GetCamera()->SetOrthographic(c.orthographic);
  const float center[3] = {0.0f, 0.0f, 0.0f};
  View().SetSceneBounds(center, c.radius);
  View().SetWindowSize(c.width, c.height);
  // The axes triad would leave its own orthographic box current; hidden, it
  // leaves the frame's projection.
  HideAxes();
  View().Render();
  GLdouble m[16];
  glGetDoublev(GL_PROJECTION_MATRIX, m);
  const double n = c.nearPlane;
  const double f = c.farPlane;
  if (c.orthographic) {
    const double h = std::tan(22.5 * M_PI / 180.0) * c.eyeZ;
    EXPECT_NEAR(m[0], 1.0 / (h * c.aspect), 1e-5);
    EXPECT_NEAR(m[5], 1.0 / h, 1e-5);
    EXPECT_NEAR(m[10], -2.0 / (f - n), 1e-6);
    EXPECT_NEAR(m[14], -(f + n) / (f - n), 1e-5);
  } else {
    const double cot = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(m[0], cot / c.aspect, 1e-5);
    EXPECT_NEAR(m[5], cot, 1e-5);
    EXPECT_NEAR(m[10], -(f + n) / (f - n), 1e-5);
    EXPECT_NEAR(m[14], -2.0 * f * n / (f - n), 1e-4 * n);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectionGLTest,
    ::testing::Values(
        // near = 10 - 1 = 9 > 1, so a tenth of it; far = (10 + 1) * 10.
        ProjectionCase{"FarEyeNearIsATenth", 10.0f, 1.0f, false, 160, 120, 0.9, 110.0, 4.0 / 3.0},
        // near = 1.5 - 1 = 0.5 stays; the radius floor 1/500 is below it.
        ProjectionCase{"CloseEyeKeepsNear", 1.5f, 1.0f, false, 160, 120, 0.5, 25.0, 4.0 / 3.0},
        // The eye inside the scene: near would be negative; floored at r/500.
        ProjectionCase{"EyeInsideFloorsNear", 0.5f, 1.0f, false, 120, 160, 0.002, 15.0, 0.75},
        ProjectionCase{"ZeroHeightIsSquare", 10.0f, 1.0f, false, 160, 0, 0.9, 110.0, 1.0},
        // Orthographic keeps a negative near plane: no floor.
        ProjectionCase{"OrthographicNoFloor", 0.5f, 1.0f, true, 160, 120, -0.5, 15.0, 4.0 / 3.0},
        ProjectionCase{"OrthographicFar", 10.0f, 2.0f, true, 100, 100, 0.8, 120.0, 1.0}),
    [](const ::testing::TestParamInfo<ProjectionCase>& info) { return info.param.name; });

}  // namespace
}  // namespace plugintest
