#include "KivVizOpenGL/GeometryItemAxisGL.h"

#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "ArrowMesh.h"
#include "ColorMaterial.h"
#include "KivVizCore/ATextManager.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizCore/IView3D.h"

namespace {

// The view that supplies text is the adapter's complete object (or the view
// the adapter was given).
ATextManager* TextManagerOf(AView3DAdapter* adapter) {
  if (adapter == nullptr) {
    return nullptr;
  }
  auto* provider = dynamic_cast<ITextManagerProvider*>(adapter);
  if (provider == nullptr) {
    provider = dynamic_cast<ITextManagerProvider*>(adapter->GetView3D());
  }
  return provider == nullptr ? nullptr : provider->GetTextManager();
}

}  // namespace

GeometryItemAxisGL::GeometryItemAxisGL(std::uint64_t id, int slices, int stacks, float length, float shaftLength,
                                       float shaftRadius, float coneRadius, const std::wstring& label)
    : AGeometryItem(id),
      slices(slices),
      stacks(stacks),
      length(length),
      shaftLength(shaftLength),
      shaftRadius(shaftRadius),
      coneRadius(coneRadius),
      label(label) {}

GeometryItemAxisGL::~GeometryItemAxisGL() = default;

void GeometryItemAxisGL::Display(AView3DAdapter* adapter) {
  if (!mesh) {
    mesh = std::make_unique<KivVizOpenGL::ArrowMesh>(slices, stacks, length, shaftLength, shaftRadius, coneRadius);
  }
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnable(GL_LIGHTING);
  if (HasColor()) {
    glColor4ub(GetColor().red, GetColor().green, GetColor().blue, GetColor().alpha);
  }
  KivVizOpenGL::SyncColorMaterial();
  mesh->Draw();
  glPopClientAttrib();
  if (ATextManager* text = TextManagerOf(adapter); text != nullptr && !label.empty()) {
    // Just beyond the tip, so that the label does not sit on the cone.
    const float tip[3] = {0.0f, 0.0f, length + 0.1f * std::max(length - shaftLength, 0.0f)};
    text->RenderText(tip, label);
  }
  glPopAttrib();
  // The colour popped back is not the one colour tracking last copied.
  KivVizOpenGL::SyncColorMaterial();
}

bool GeometryItemAxisGL::GetBoundingBox(float minimum[3], float maximum[3]) const {
  const float radius = std::max(std::abs(shaftRadius), std::abs(coneRadius));
  minimum[0] = minimum[1] = -radius;
  maximum[0] = maximum[1] = radius;
  minimum[2] = std::min(0.0f, length);
  maximum[2] = std::max(0.0f, length);
  return true;
}
