#include "BareGl.h"

#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace bench {

namespace {

constexpr double kAspect = static_cast<double>(kWidth) / kHeight;
constexpr double kNear = 1.0;
constexpr double kFar = 100.0;

// The six planes of a clip matrix, for testing boxes in world space.
struct Planes {
  std::array<std::array<double, 4>, 6> plane{};

  explicit Planes(const std::array<double, 16>& m) {
    for (int axis = 0; axis < 3; ++axis) {
      for (int k = 0; k < 4; ++k) {
        plane[2 * axis][k] = m[4 * k + 3] + m[4 * k + axis];
        plane[2 * axis + 1][k] = m[4 * k + 3] - m[4 * k + axis];
      }
    }
  }

  bool Intersects(const float low[3], const float high[3]) const {
    for (const auto& p : plane) {
      const double x = p[0] >= 0 ? high[0] : low[0];
      const double y = p[1] >= 0 ? high[1] : low[1];
      const double z = p[2] >= 0 ? high[2] : low[2];
      if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0) return false;
    }
    return true;
  }
};

void MeshBox(const Mesh& mesh, float low[3], float high[3]) {
  std::fill(low, low + 3, std::numeric_limits<float>::max());
  std::fill(high, high + 3, std::numeric_limits<float>::lowest());
  for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
    low[i % 3] = std::min(low[i % 3], mesh.vertices[i]);
    high[i % 3] = std::max(high[i % 3], mesh.vertices[i]);
  }
}

}  // namespace

BareGl::BareGl(const Scene& scene) : scene(scene), meshes(scene.nodes.size(), scene.mesh) {
  // The view's lighting: three positional, attenuated lights with specular
  // highlights, and its material; per-vertex lighting is most of a frame.
  glViewport(0, 0, kWidth, kHeight);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  const GLfloat specular[4] = {0.4f, 0.4f, 0.4f, 1.0f};
  const GLfloat diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
  const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLenum lights[3] = {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3};
  const GLfloat attenuation[3] = {1.5f, 3.0f, 2.0f};
  for (int i = 0; i < 3; ++i) {
    glLightfv(lights[i], GL_SPECULAR, specular);
    glLightfv(lights[i], GL_DIFFUSE, diffuse);
    glLightfv(lights[i], GL_AMBIENT, ambient);
    glLightf(lights[i], GL_CONSTANT_ATTENUATION, attenuation[i]);
    glEnable(lights[i]);
  }
  glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
  const GLfloat materialAmbient[4] = {0.234375f, 0.234375f, 0.234375f, 1.0f};
  const GLfloat materialSpecular[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, materialAmbient);
  glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
  glMaterialf(GL_FRONT, GL_SHININESS, 44.8f);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_RESCALE_NORMAL);
  glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
}

BareGl::~BareGl() {
  if (!buffers.empty()) glDeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
}

void BareGl::LoadCamera() const {
  gluPerspective(kFieldOfViewDegrees, kAspect, kNear, kFar);
  gluLookAt(0.0, 0.0, kEyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void BareGl::BeginFrame() const {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // What every frame of the view does besides the scene: blending on, and a
  // two-colour background over the whole window.
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  glColor3f(0.2f, 0.2f, 0.3f);
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glColor3f(0.7f, 0.7f, 0.8f);
  glVertex2f(1.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  LoadCamera();
  glMatrixMode(GL_MODELVIEW);
  PlaceLights();
}

void BareGl::PlaceLights() {
  // Far out around the eye, in eye coordinates, as the view places them.
  const GLfloat positions[3][4] = {
      {-2000.0f, 9000.0f, 3600.0f, 1.0f}, {8600.0f, -5000.0f, 0.0f, 1.0f}, {-8100.0f, -3400.0f, 4700.0f, 1.0f}};
  const GLenum lights[3] = {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3};
  for (int i = 0; i < 3; ++i) glLightfv(lights[i], GL_POSITION, positions[i]);
}

void BareGl::DrawClientArrays() const {
  BeginFrame();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  const auto count = static_cast<GLsizei>(scene.mesh.indices.size());
  for (std::size_t index = 0; index < scene.nodes.size(); ++index) {
    const NodePlacement& node = scene.nodes[index];
    const Mesh& mesh = meshes[index];
    glColor4ub(node.colour[0], node.colour[1], node.colour[2], node.colour[3]);
    glPushMatrix();
    glTranslated(node.x, node.y, 0.0);
    // Each node points GL at its own arrays, as separate items would.
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh.indices.data());
    glPopMatrix();
  }
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glFinish();
}

void BareGl::DrawClientArraysWithNodeCalls(bool itemCalls) const {
  BeginFrame();
  if (itemCalls) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  } else {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
  }
  const auto count = static_cast<GLsizei>(scene.mesh.indices.size());
  for (std::size_t index = 0; index < scene.nodes.size(); ++index) {
    const NodePlacement& node = scene.nodes[index];
    const Mesh& mesh = meshes[index];
    const double shift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, node.x, node.y, 0, 1};
    glPushAttrib(GL_CURRENT_BIT);
    glColor4ub(node.colour[0], node.colour[1], node.colour[2], node.colour[3]);
    glPushMatrix();
    glMultMatrixd(shift);
    if (itemCalls) {
      // What a scene item does within the view's traversal, whose first item
      // saved the client arrays for all: ask the render mode, re-sync colour
      // tracking, switch its arrays on and every other one off.
      GLint mode = GL_RENDER;
      glGetIntegerv(GL_RENDER_MODE, &mode);
      if (mode == GL_RENDER && glIsEnabled(GL_COLOR_MATERIAL) == GL_TRUE) {
        glDisable(GL_COLOR_MATERIAL);
        glEnable(GL_COLOR_MATERIAL);
      }
      for (GLenum array : {GL_COLOR_ARRAY, GL_INDEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_EDGE_FLAG_ARRAY}) {
        glDisableClientState(array);
      }
      glEnableClientState(GL_VERTEX_ARRAY);
      glEnableClientState(GL_NORMAL_ARRAY);
    }
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh.indices.data());
    glPopMatrix();
    glPopAttrib();
  }
  if (itemCalls) {
    glPopClientAttrib();
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  glFinish();
}

void BareGl::UploadBuffers() {
  const Mesh& mesh = scene.mesh;
  buffers.resize(2 * scene.nodes.size());
  glGenBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
  const auto vertexBytes = static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(float));
  const auto indexBytes = static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint32_t));
  for (std::size_t node = 0; node < scene.nodes.size(); ++node) {
    glBindBuffer(GL_ARRAY_BUFFER, buffers[2 * node]);
    glBufferData(GL_ARRAY_BUFFER, 2 * vertexBytes, nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, vertexBytes, mesh.vertices.data());
    glBufferSubData(GL_ARRAY_BUFFER, vertexBytes, vertexBytes, mesh.normals.data());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[2 * node + 1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, mesh.indices.data(), GL_STATIC_DRAW);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void BareGl::DrawBufferObjects() {
  if (buffers.empty()) UploadBuffers();
  BeginFrame();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  const Mesh& mesh = scene.mesh;
  const auto count = static_cast<GLsizei>(mesh.indices.size());
  const auto normalsAt = reinterpret_cast<const void*>(mesh.vertices.size() * sizeof(float));
  for (std::size_t index = 0; index < scene.nodes.size(); ++index) {
    const NodePlacement& node = scene.nodes[index];
    glColor4ub(node.colour[0], node.colour[1], node.colour[2], node.colour[3]);
    glPushMatrix();
    glTranslated(node.x, node.y, 0.0);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[2 * index]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[2 * index + 1]);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glNormalPointer(GL_FLOAT, 0, normalsAt);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
    glPopMatrix();
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glFinish();
}

int BareGl::Select(int x, int y, bool boxTest) const {
  return RunSelection(x, y, boxTest ? PerNode::BoxTest : PerNode::Draw);
}

int BareGl::SelectWithNodeCalls(int x, int y) const { return RunSelection(x, y, PerNode::BoxTestInsideNodeCalls); }

int BareGl::RunSelection(int x, int y, PerNode perNode) const {
  GLuint buffer[1000];
  GLint viewport[4] = {0, 0, kWidth, kHeight};
  glSelectBuffer(1000, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(x, kHeight - y, 4.0, 4.0, viewport);
  LoadCamera();
  // The pick volume, read once per pass; nodes only translate.
  std::array<double, 16> clip{};
  glGetDoublev(GL_PROJECTION_MATRIX, clip.data());
  const Planes volume(clip);
  float low[3];
  float high[3];
  MeshBox(scene.mesh, low, high);

  glEnableClientState(GL_VERTEX_ARRAY);
  const auto count = static_cast<GLsizei>(scene.mesh.indices.size());
  for (std::size_t index = 0; index < scene.nodes.size(); ++index) {
    const NodePlacement& node = scene.nodes[index];
    const Mesh& mesh = meshes[index];
    const float nodeLow[3] = {low[0] + static_cast<float>(node.x), low[1] + static_cast<float>(node.y), low[2]};
    const float nodeHigh[3] = {high[0] + static_cast<float>(node.x), high[1] + static_cast<float>(node.y), high[2]};
    if (perNode == PerNode::BoxTestInsideNodeCalls) {
      const double shift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, node.x, node.y, 0, 1};
      glPushAttrib(GL_CURRENT_BIT);
      glColor4ub(node.colour[0], node.colour[1], node.colour[2], node.colour[3]);
      glPushMatrix();
      glMultMatrixd(shift);
      glPushName(static_cast<GLuint>(node.id));
      if (volume.Intersects(nodeLow, nodeHigh)) {
        glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh.indices.data());
      }
      glPopName();
      glPopMatrix();
      glPopAttrib();
      continue;
    }
    if (perNode == PerNode::BoxTest && !volume.Intersects(nodeLow, nodeHigh)) continue;
    glLoadName(static_cast<GLuint>(node.id));
    glPushMatrix();
    glTranslated(node.x, node.y, 0.0);
    glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, mesh.indices.data());
    glPopMatrix();
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  return glRenderMode(GL_RENDER);
}

}  // namespace bench
