#include "RectanglePick.h"

#include <windows.h>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/IView3D.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderingOptions.h"
#include "KivVizCore/VectorMath.h"
#include "NimboCore/ACamera.h"

namespace nimboview {
namespace {

// The view picks in a 4-pixel box around the pointer: two pixels to the left
// of and above it, one to the right and below.
constexpr int kPickReachBefore = 2;
constexpr int kPickReachAfter = 1;
// Selection buffer words: grown while the hits overflow it, up to 1 GiB.
constexpr std::size_t kFirstSelectionWords = std::size_t{1} << 16;
constexpr std::size_t kMostSelectionWords = std::size_t{1} << 28;

// A band of at most this many probes, every third pixel from its corner, is
// probed with the view's own picks: at that size a pick box's single winner,
// rather than everything showing, is what the user points at.
constexpr int kProbeStep = 3;
constexpr std::int64_t kMostProbes = 64;

// The probes of one axis from a to b that fall inside [0, size).
struct ProbeRange {
  std::int64_t first = 0;
  std::int64_t last = -1;

  static ProbeRange Clipped(int a, int b, int size) {
    const std::int64_t low = std::min(a, b);
    const std::int64_t skipped = low < 0 ? (-low + kProbeStep - 1) / kProbeStep : 0;
    return {low + skipped * kProbeStep, std::min<std::int64_t>(std::max(a, b), size - 1)};
  }
  std::int64_t Count() const { return last < first ? 0 : (last - first) / kProbeStep + 1; }
};

float Distance(const float a[3], const float b[3]) {
  float difference[3];
  Subtract(a, b, difference);
  return Length(difference);
}

}  // namespace

std::set<RenderId> RectanglePick::VisibleNodes(int x0, int y0, int x1, int y1) {
  std::set<RenderId> visible;
  float windowWidth = 0.0f;
  float windowHeight = 0.0f;
  static_cast<IView3D&>(host.View()).GetWindowSize(windowWidth, windowHeight);
  width = static_cast<int>(windowWidth);
  height = static_cast<int>(windowHeight);
  // The window clips first; then the rectangle grows by the pick box's reach.
  const Region clipped{std::max(std::min(x0, x1), 0), std::max(std::min(y0, y1), 0),
                       std::min(std::max(x0, x1), width - 1), std::min(std::max(y0, y1), height - 1)};
  if (clipped.left > clipped.right || clipped.top > clipped.bottom) return visible;
  const ProbeRange columns = ProbeRange::Clipped(x0, x1, width);
  const ProbeRange rows = ProbeRange::Clipped(y0, y1, height);
  if (columns.Count() * rows.Count() <= kMostProbes) {
    host.EnsureRendered();
    for (std::int64_t y = rows.first; y <= rows.last; y += kProbeStep) {
      for (std::int64_t x = columns.first; x <= columns.last; x += kProbeStep) {
        RenderId picked;
        if (host.Scene().PickVisualAt(static_cast<int>(x), static_cast<int>(y), picked)) visible.insert(picked);
      }
    }
    return visible;
  }
  const Region region{clipped.left - kPickReachBefore, clipped.top - kPickReachBefore, clipped.right + kPickReachAfter,
                      clipped.bottom + kPickReachAfter};

  host.EnsureRendered();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT |
               GL_VIEWPORT_BIT);
  struct Restore {
    ~Restore() {
      glPopAttrib();
      glMatrixMode(GL_PROJECTION);
      glPopMatrix();
      glMatrixMode(GL_MODELVIEW);
      glPopMatrix();
    }
  } restore;
  glViewport(0, 0, width, height);

  const std::vector<Candidate> candidates = NodesReachingInto(region);
  const std::vector<bool> showing = ShowingCandidates(region, candidates);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (showing[i]) visible.insert(candidates[i].path);
  }
  return visible;
}

std::vector<RectanglePick::Candidate> RectanglePick::NodesReachingInto(const Region& region) {
  Node* root = host.Scene().GetRootNode();
  std::vector<Candidate> candidates;
  if (root == nullptr) return candidates;
  std::vector<GLuint> buffer(kFirstSelectionWords);
  GLint records = -1;
  while (true) {
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    LoadMatrices(region, true);
    glPushName(static_cast<GLuint>(Node::RootId));
    for (const auto& [id, child] : root->Children()) {
      if (child != nullptr && id != AView3DAdapter::OverlayNodeId) host.View().RenderNode(child, true, false);
    }
    glPopName();
    records = glRenderMode(GL_RENDER);
    if (records >= 0) break;
    if (buffer.size() >= kMostSelectionWords) {
      throw std::runtime_error("the rubber band holds more nodes than one selection can take");
    }
    buffer.resize(buffer.size() * 2);
  }

  std::set<RenderId> seen;
  std::size_t word = 0;
  for (GLint record = 0; record < records; ++record) {
    const GLuint names = buffer[word];
    // Each record: the name count, the least and greatest depth, the names.
    const std::vector<std::uint64_t> ids(buffer.begin() + static_cast<std::ptrdiff_t>(word + 3),
                                         buffer.begin() + static_cast<std::ptrdiff_t>(word + 3 + names));
    word += 3 + names;
    RenderId path(ids, RenderId::SceneOrigin);
    if (!IsPickable(path) || !seen.insert(path).second) continue;
    Candidate candidate{path, {}};
    GeoNode* node = root;
    for (std::size_t i = 1; i < ids.size() && node != nullptr; ++i) {
      node = node->IsGroup() ? static_cast<Node*>(node)->GetChild(ids[i]) : nullptr;
      candidate.nodes.push_back(node);
    }
    if (node != nullptr) candidates.push_back(std::move(candidate));
  }
  return candidates;
}

bool RectanglePick::IsPickable(const RenderId& path) {
  // What the view's picks choose from: nodes under a category node, three
  // levels below the root, whose category is switched on.
  if (path.Length() < 4) return false;
  const RenderingOptions* options = host.Scene().GetDisplayOptions();
  switch (path[3]) {
    case RenderingOptions::PointsCategoryId:
      return options == nullptr || options->pickPoints;
    case RenderingOptions::CurvesCategoryId:
      return options == nullptr || options->pickCurves;
    case RenderingOptions::SurfacesCategoryId:
      return options == nullptr || options->pickSurfaces;
    default:
      return false;
  }
}

std::vector<bool> RectanglePick::ShowingCandidates(const Region& region, const std::vector<Candidate>& candidates) {
  std::vector<bool> showing(candidates.size(), false);
  if (candidates.empty()) return showing;
  LoadMatrices(region, false);
  glEnable(GL_SCISSOR_TEST);
  glScissor(region.left, height - 1 - region.bottom, region.right - region.left + 1, region.bottom - region.top + 1);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glEnable(GL_DEPTH_TEST);
  // Only depth counts: no lighting, blending or texturing to spend time on.
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);

  // The nearest depth of the candidates alone, at each pixel of the region.
  glDepthMask(GL_TRUE);
  glDepthFunc(GL_LESS);
  glClear(GL_DEPTH_BUFFER_BIT);
  for (const Candidate& candidate : candidates) Draw(candidate);

  // Drawn again the same way, a candidate reaches that depth where it shows.
  glDepthMask(GL_FALSE);
  glDepthFunc(GL_LEQUAL);
  std::vector<GLuint> queries(candidates.size());
  glGenQueries(static_cast<GLsizei>(queries.size()), queries.data());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    glBeginQuery(GL_SAMPLES_PASSED, queries[i]);
    Draw(candidates[i]);
    glEndQuery(GL_SAMPLES_PASSED);
  }
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    GLuint samples = 0;
    glGetQueryObjectuiv(queries[i], GL_QUERY_RESULT, &samples);
    showing[i] = samples > 0;
  }
  glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
  return showing;
}

void RectanglePick::LoadMatrices(const Region& region, bool picking) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (picking) {
    GLint viewport[4] = {0, 0, width, height};
    const double columns = region.right - region.left + 1;
    const double rows = region.bottom - region.top + 1;
    gluPickMatrix(region.left + columns / 2.0, height - (region.top + rows / 2.0), columns, rows, viewport);
  }
  const ACamera& camera = *host.View().GetCamera();
  float eye[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera.GetLookAt(eye, target, up);
  // The view's projection, in its own float steps: the depth range holds the
  // scene's bounding sphere, its near end no nearer than a 500th of the
  // radius in perspective; an orthographic box spans the field of view at the
  // eye's distance from the target.
  float center[3] = {0.0f, 0.0f, 0.0f};
  float radius = 0.0f;
  static_cast<IView3D&>(host.View()).GetSceneBounds(center, radius);
  const float eyeDistance = Distance(eye, target);
  const float reach = Distance(center, target) + radius;
  float nearPlane = eyeDistance - reach;
  const float farPlane = (eyeDistance + reach) * 10.0f;
  if (nearPlane > 1.0f) nearPlane = nearPlane / 10.0f;
  const float aspect = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
  if (camera.IsOrthographic()) {
    const float h = std::tan(camera.GetFieldOfView() * 0.5f) * eyeDistance;
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    if (radius / 500.0f > nearPlane) nearPlane = radius / 500.0f;
    gluPerspective(camera.GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
}

void RectanglePick::Draw(const Candidate& candidate) {
  glPushMatrix();
  // The ancestors' transforms; the view applies the node's own.
  for (std::size_t i = 0; i + 1 < candidate.nodes.size(); ++i) {
    const auto* transform =
        static_cast<const AttributeTransform*>(candidate.nodes[i]->GetAttribute(Attribute::TransformType));
    if (transform != nullptr && !transform->IsIdentity()) glMultMatrixd(transform->GetTransform());
  }
  host.View().RenderNode(candidate.nodes.back(), false, false);
  glPopMatrix();
}

}  // namespace nimboview
