#include <windows.h>

#include "detail/ViewVolume.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "ClipMatrices.h"
#include "OffscreenGLContext.h"

namespace KivVizOpenGL::detail {
namespace {

constexpr int kViewportSize = 100;

class ViewVolumeGLTest : public testing::Test {
 protected:
  void SetUp() override { glViewport(0, 0, kViewportSize, kViewportSize); }
  void TearDown() override { EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError()); }

  NimboTest::OffscreenGLContext context{kViewportSize, kViewportSize};
};

void DrawBox(const Aabb& box) {
  const Float3& l = box.Min();
  const Float3& h = box.Max();
  const float corners[8][3] = {{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z},
                               {l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}};
  const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                           {2, 3, 7, 6}, {0, 3, 7, 4}, {1, 2, 6, 5}};
  glBegin(GL_QUADS);
  for (const auto& face : faces) {
    for (const int corner : face) {
      glVertex3fv(corners[corner]);
    }
  }
  glEnd();
}

TEST_F(ViewVolumeGLTest, FromCurrentGLIsProjectionTimesModelview) {
  const test::Matrix projection = test::Frustum(-1, 1.5, -0.5, 1, 1, 20);
  const test::Matrix modelview =
      ViewVolume::Multiply(test::Translation(0.5, -1, -4), test::Scaling(1, 2, 0.5));
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(projection.data());
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(modelview.data());
  const ViewVolume fromGL = ViewVolume::FromCurrentGL();
  const ViewVolume expected(ViewVolume::Multiply(projection, modelview));
  // GL keeps its matrices in float.
  constexpr double kTolerance = 1e-6;
  for (int i = 0; i < 6; ++i) {
    const ViewVolume::Plane& e = expected.Planes()[i];
    const ViewVolume::Plane& g = fromGL.Planes()[i];
    EXPECT_NEAR(e.a, g.a, kTolerance * std::abs(e.a)) << "plane " << i;
    EXPECT_NEAR(e.b, g.b, kTolerance * std::abs(e.b)) << "plane " << i;
    EXPECT_NEAR(e.c, g.c, kTolerance * std::abs(e.c)) << "plane " << i;
    EXPECT_NEAR(e.d, g.d, kTolerance * std::abs(e.d)) << "plane " << i;
  }
}

// Boxes scattered along the edges of a 4 x 4 pick region, drawn in one
// selection pass: any box GL reports a hit for must not be culled, or
// skipping culled items would change the hit records.
TEST_F(ViewVolumeGLTest, CulledBoxesNeverProduceSelectionHits) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPickMatrix(37, 61, 4, 4, viewport);
  glFrustum(-1, 1, -1, 1, 1, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0.25, -0.5, -2);
  const ViewVolume volume = ViewVolume::FromCurrentGL();

  // The pick region spans NDC x in [-0.3, -0.22] and y in [0.18, 0.26].
  std::mt19937 random(17);
  std::uniform_real_distribution<float> depth(0.5f, 11.0f);
  std::uniform_real_distribution<float> jitter(-0.06f, 0.06f);
  std::uniform_real_distribution<float> size(0.0f, 0.05f);
  std::vector<Aabb> boxes;
  for (int i = 0; i < 2000; ++i) {
    const float d = depth(random);
    const float ndcX = (i % 2 == 0 ? -0.3f : -0.22f) + jitter(random);
    const float ndcY = (i % 4 < 2 ? 0.18f : 0.26f) + jitter(random);
    // Eye coordinates at depth d, back to object coordinates.
    const Float3 centre{ndcX * d - 0.25f, ndcY * d + 0.5f, -d + 2.0f};
    const Float3 half{size(random), size(random), size(random)};
    boxes.emplace_back(centre - half, centre + half);
  }

  std::vector<GLuint> records(4 * boxes.size());
  glSelectBuffer(static_cast<GLsizei>(records.size()), records.data());
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    glLoadName(static_cast<GLuint>(i));
    DrawBox(boxes[i]);
  }
  const GLint hitCount = glRenderMode(GL_RENDER);
  ASSERT_GE(hitCount, 0) << "selection buffer overflow";
  std::set<GLuint> hit;
  for (GLint h = 0, at = 0; h < hitCount; ++h) {
    const GLuint names = records[at];
    hit.insert(records[at + 3 + names - 1]);
    at += 3 + static_cast<GLint>(names);
  }

  std::size_t culled = 0;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const bool intersects = volume.Intersects(boxes[i]);
    culled += intersects ? 0 : 1;
    if (hit.count(static_cast<GLuint>(i)) != 0) {
      EXPECT_TRUE(intersects) << "box " << i << " was hit but culled";
    }
  }
  // Both outcomes must be well represented for the check to mean anything.
  EXPECT_GT(hit.size(), boxes.size() / 10);
  EXPECT_GT(culled, boxes.size() / 4);
}

}  // namespace
}  // namespace KivVizOpenGL::detail
