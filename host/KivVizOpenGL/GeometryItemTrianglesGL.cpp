#include "KivVizOpenGL/GeometryItemTrianglesGL.h"

#include <windows.h>
#include <GL/gl.h>

#include <array>
#include <optional>

#include "ColorMaterial.h"
#include "ItemArrays.h"
#include "ItemCulling.h"
#include "ItemStateScope.h"
#include "PrimitiveChunks.h"
#include "detail/ChunkedTriangleBvh.h"
#include "detail/TriangleBvh.h"

using KivVizOpenGL::detail::Float3;

namespace {

// Diagonal stripes, 2 pixels on and 6 off: a 32 x 32 polygon stipple, rows
// bottom up, most significant bit leftmost.
const GLubyte* HatchPattern() {
  static const auto pattern = [] {
    std::array<GLubyte, 128> bits{};
    for (int row = 0; row < 32; ++row) {
      for (int column = 0; column < 32; ++column) {
        if ((row + column) % 8 < 2) bits[row * 4 + column / 8] |= static_cast<GLubyte>(0x80u >> (column % 8));
      }
    }
    return bits;
  }();
  return pattern.data();
}

}  // namespace

GeometryItemTrianglesGL::GeometryItemTrianglesGL(std::uint64_t id, std::vector<float> vertices,
                                                 std::vector<float> normals, std::vector<std::uint32_t> indices)
    : AGeometryItem(id), vertices(std::move(vertices)), normals(std::move(normals)), indices(std::move(indices)) {
  KivVizOpenGL::CheckArrays("GeometryItemTrianglesGL::GeometryItemTrianglesGL", this->vertices, this->normals,
                            this->indices, 3);
  KivVizOpenGL::StoreCorners(KivVizOpenGL::BoundsOf(this->vertices, this->indices), boxMinimum, boxMaximum);
}

GeometryItemTrianglesGL::~GeometryItemTrianglesGL() = default;

void GeometryItemTrianglesGL::Display(AView3DAdapter*) {
  if (indices.empty()) {
    return;
  }
  const auto volume = KivVizOpenGL::CurrentViewVolume();
  if (!volume.Intersects(KivVizOpenGL::ToAabb(boxMinimum, boxMaximum))) {
    return;
  }
  const KivVizOpenGL::ItemStateScope state(HasColor() ? GL_CURRENT_BIT : 0);
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  if (!KivVizOpenGL::IsSelecting()) {
    KivVizOpenGL::SyncColorMaterial();
  }
  KivVizOpenGL::DrawItemArrays(GL_TRIANGLES, vertices, normals, indices, volume,
                               KivVizOpenGL::ToAabb(boxMinimum, boxMaximum), chunks, runs);
  if (hatch && !KivVizOpenGL::IsSelecting()) {
    // The same triangles again through the stipple, pulled a little towards
    // the eye: drivers need not give the second pass the very same depths.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT | GL_POLYGON_STIPPLE_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_POLYGON_STIPPLE);
    glPolygonStipple(HatchPattern());
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -2.0f);
    glDepthFunc(GL_LEQUAL);
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    glColor4ub(hatch->red, hatch->green, hatch->blue, static_cast<GLubyte>(current[3] * 255.0f + 0.5f));
    KivVizOpenGL::SyncColorMaterial();
    KivVizOpenGL::DrawItemArrays(GL_TRIANGLES, vertices, normals, indices, volume,
                                 KivVizOpenGL::ToAabb(boxMinimum, boxMaximum), chunks, runs);
    glPopAttrib();
    KivVizOpenGL::SyncColorMaterial();
  }
}

bool GeometryItemTrianglesGL::RayHit(const float origin[3], const float direction[3], float scalar, float hitPoint[3],
                                     float& parameter) const {
  if (!(scalar >= 0.0f)) {
    return false;
  }
  const Float3 from{origin[0], origin[1], origin[2]};
  const Float3 along{direction[0], direction[1], direction[2]};
  std::optional<KivVizOpenGL::detail::TriangleHit> hit;
  if (IsBig()) {
    // A pick has usually built the spatial chunks already; a hierarchy over
    // them is far quicker to build than one over every triangle.
    if (!chunkedBvh) {
      chunkedBvh = std::make_unique<KivVizOpenGL::detail::ChunkedTriangleBvh>(
          KivVizOpenGL::SpatialChunksOf(GL_TRIANGLES, vertices, normals, indices, chunks).Mesh());
    }
    hit = chunkedBvh->Intersect(from, along, scalar);
  } else {
    if (!bvh) {
      bvh = std::make_unique<KivVizOpenGL::detail::TriangleBvh>(vertices, indices);
    }
    hit = bvh->Intersect(from, along, scalar);
  }
  if (!hit) {
    return false;
  }
  const Float3 point = from + along * hit->t;
  hitPoint[0] = point.x;
  hitPoint[1] = point.y;
  hitPoint[2] = point.z;
  parameter = hit->t;
  return true;
}

bool GeometryItemTrianglesGL::IsBig() const { return KivVizOpenGL::PrimitiveChunks::IsBig(indices.size() / 3); }

bool GeometryItemTrianglesGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  return KivVizOpenGL::CopyBounds(KivVizOpenGL::ToAabb(boxMinimum, boxMaximum), minimum, maximum);
}
