#include "NimboCore/AView3D.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "KivVizCore/VectorMath.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/Controller.h"
#include "NimboCore/Settings.h"

namespace {

constexpr float kDefaultCenter[3] = {0.0f, 0.0f, 0.0f};
constexpr float kDefaultRadius = 1.0f;

// Axis-aligned box in world space, grown item by item.
struct Bounds {
  float minimum[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                      std::numeric_limits<float>::max()};
  float maximum[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                      std::numeric_limits<float>::lowest()};
  bool empty = true;

  void Add(const float point[3]) {
    for (int k = 0; k < 3; ++k) {
      minimum[k] = std::min(minimum[k], point[k]);
      maximum[k] = std::max(maximum[k], point[k]);
    }
    empty = false;
  }
};

// Adds the world boxes of the items under node; toWorld is the product of
// the transforms above it (column order, as glMultMatrixd takes them).
void CollectBounds(const GeoNode* node, const double toWorld[16], Bounds& bounds) {
  double local[16];
  std::copy(toWorld, toWorld + 16, local);
  const auto* transform = dynamic_cast<const AttributeTransform*>(node->GetAttribute(Attribute::TransformType));
  if (transform != nullptr && !transform->IsIdentity()) {
    MultiplyMatrices(toWorld, transform->GetTransform(), local);
  }
  if (node->IsGroup()) {
    for (const auto& entry : static_cast<const Node*>(node)->Children()) {
      if (entry.second != nullptr) {
        CollectBounds(entry.second, local, bounds);
      }
    }
    return;
  }
  for (const AGeometryItem* item : node->Geometry()) {
    float low[3];
    float high[3];
    if (item == nullptr || !item->GetBoundingBox(low, high)) {
      continue;
    }
    for (int corner = 0; corner < 8; ++corner) {
      const float point[3] = {(corner & 1) ? high[0] : low[0], (corner & 2) ? high[1] : low[1],
                              (corner & 4) ? high[2] : low[2]};
      float world[3];
      TransformPoint(local, point, world);
      bounds.Add(world);
    }
  }
}

}  // namespace

AView3D::AView3D(const std::string& name)
    : camera(std::make_unique<ACamera>()),
      controller(std::make_unique<Controller>(this)),
      displayOptions(std::make_unique<RenderingOptions>()),
      viewName(name),
      backgroundColor1(Settings::Current().GetBackgroundColor1()),
      backgroundColor2(Settings::Current().GetBackgroundColor2()) {}

AView3D::~AView3D() = default;

void AView3D::Initialize(HWND window) { windowHandle = window; }

HWND AView3D::GetHandle() const { return windowHandle; }

void AView3D::Uninitialize() { isInitialized = false; }

bool AView3D::IsInitialized() const { return isInitialized; }

void AView3D::SetWindowSize(int width, int height) {
  windowWidth = static_cast<float>(width);
  windowHeight = static_cast<float>(height);
  if (camera != nullptr) {
    camera->SetViewportSize(width, height);
  }
}

void AView3D::GetWindowSize(float& width, float& height) const {
  width = windowWidth;
  height = windowHeight;
}

void AView3D::ClearAll() {
  openNodeStack.clear();
  ClearLibraries();
  SetSceneBounds(kDefaultCenter, kDefaultRadius);
  if (camera != nullptr) {
    camera->SetSceneBounds(kDefaultCenter, kDefaultRadius);
  }
}

void AView3D::SetClipPlane(const double equation[4]) {
  std::copy(equation, equation + 4, clipPlane);
  clipPlaneSet = true;
  if (wglGetCurrentContext() == nullptr) {
    return;
  }
  // GL keeps the plane in eye space, taken through the model-view matrix
  // current at the call: give it the camera's view so that the plane is the
  // world plane as the camera stands now.
  GLint matrixMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  if (camera != nullptr) {
    float eye[3];
    float target[3];
    float up[3];
    camera->GetLookAt(eye, target, up);
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
  }
  glClipPlane(GL_CLIP_PLANE0, clipPlane);
  glEnable(GL_CLIP_PLANE0);
  glPopMatrix();
  glMatrixMode(static_cast<GLenum>(matrixMode));
}

void AView3D::UnSetClipPlane() {
  clipPlaneSet = false;
  if (wglGetCurrentContext() != nullptr) {
    glDisable(GL_CLIP_PLANE0);
  }
}

AView3DAdapter* AView3D::GetView3DAdapter() { return adapterImpl != nullptr ? adapterImpl : this; }

void AView3D::ApplyRenderingOptions(const RenderingOptions& options) {
  if (&options == displayOptions.get()) {
    displayOptions->Notify();
    return;
  }
  displayOptions->CopySettingsFrom(options);
}

void AView3D::SetBackgroundColor1(const RGBAColor& color) { backgroundColor1 = color; }

void AView3D::SetBackgroundColor2(const RGBAColor& color) { backgroundColor2 = color; }

RGBAColor AView3D::GetBackgroundColor1() const { return backgroundColor1; }

RGBAColor AView3D::GetBackgroundColor2() const { return backgroundColor2; }

void AView3D::SetView3DAdapterImpl(AView3DAdapter* adapter) { adapterImpl = adapter; }

std::string AView3D::GetGraphStructure() {
  std::string text;
  GetView3DAdapter()->GetSceneStructure(text, true);
  return text;
}

IView3D* AView3D::GetView3D() { return this; }

std::string AView3D::GetName() const { return viewName; }

RenderingOptions* AView3D::GetDisplayOptions() { return displayOptions.get(); }

void AView3D::Convert(const RenderId& path, EntityId& entity) {
  entity = EntityId();
  const std::size_t length = path.Length();
  // Root, then one to four entity levels; the overlay subtree is no entity.
  if (length < 2 || length > 5 || path[0] != Node::RootId || path[1] == OverlayNodeId) {
    return;
  }
  switch (length) {
    case 2:
      entity = EntityId(path[1]);
      break;
    case 3:
      entity = EntityId(path[1], path[2]);
      break;
    case 4:
      entity = EntityId(path[1], path[2], path[3]);
      break;
    default:
      entity = EntityId(path[1], path[2], path[3], path[4]);
      break;
  }
}

ACamera* AView3D::GetCamera() {
  // The camera fits its rays to the scene bounds the projection uses; they
  // live in IView3D, so hand them over whenever the camera is handed out.
  if (camera != nullptr) {
    camera->SetSceneBounds(sceneCenter, sceneRadius);
  }
  return camera.get();
}

Controller* AView3D::GetController() { return controller.get(); }

void AView3D::ControllerNotify(IViewOp* /*op*/) {}

void AView3D::buildRenderId(const EntityId& entity, RenderId& path) const {
  if (!entity.IsValid()) {
    throw std::invalid_argument("AView3D::buildRenderId: the entity is invalid");
  }
  const std::uint64_t ids[] = {entity.GetModel(), entity.GetPart(), entity.GetCategory(), entity.GetElement()};
  std::vector<std::uint64_t> sequence{Node::RootId};
  sequence.insert(sequence.end(), ids, ids + static_cast<int>(entity.GetLevel()));
  path = RenderId(sequence, RenderId::SceneOrigin);
}

void AView3D::UpdateSceneBounds() {
  Bounds bounds;
  if (rootNode != nullptr) {
    double identity[16];
    AttributeTransform::SetIdentity(identity);
    for (const auto& [id, child] : rootNode->Children()) {
      if (child != nullptr && id != OverlayNodeId) {
        CollectBounds(child, identity, bounds);
      }
    }
  }
  if (bounds.empty) {
    SetSceneBounds(kDefaultCenter, kDefaultRadius);
  } else {
    float center[3];
    float halfDiagonal[3];
    for (int k = 0; k < 3; ++k) {
      center[k] = 0.5f * (bounds.minimum[k] + bounds.maximum[k]);
      halfDiagonal[k] = 0.5f * (bounds.maximum[k] - bounds.minimum[k]);
    }
    SetSceneBounds(center, Length(halfDiagonal));
  }
  if (camera != nullptr) {
    camera->SetSceneBounds(sceneCenter, sceneRadius);
  }
}
