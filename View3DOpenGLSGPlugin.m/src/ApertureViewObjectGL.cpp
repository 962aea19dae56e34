#include "ApertureViewObjectGL.h"

#include <windows.h>
#include <GL/gl.h>

#include <cmath>
#include <stdexcept>

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RGBAColor.h"
#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/GeometryItemCircle2DGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/IViewOp.h"
#include "NimboCore/ViewOpRayPick.h"
#include "OverlaySubtree.h"
#include "View3dOpenGlSG.h"

namespace NimboView3dOpenGLSG {
namespace {

constexpr std::uint64_t kGeometryId = 1;

}  // namespace

ApertureViewObjectGL::ApertureViewObjectGL(View3dOpenGlSG* view, const std::string& name, Node* parent)
    : AViewObject(name), view(view), circleItem(nullptr), cursorX(0), cursorY(0), isActive(false) {
  parentNode = parent;
  isVisible = false;
}

ApertureViewObjectGL::~ApertureViewObjectGL() {
  if (isGeometryCreated) Clear();
}

void ApertureViewObjectGL::createGeometry() {
  // Without a parent node there is nowhere to hang the circle.
  if (parentNode == nullptr) return;
  OverlaySubtree::Build("ApertureViewObjectGL", [&] {
    node = OverlaySubtree::OpenOwnNode(*view, *parentNode, id, L"aperture");

    const RGBAColor black(0, 0, 0, 255);
    OverlaySubtree::OpenGeometryNode(*view, kGeometryId);
    auto* item = new GeometryItemCircle2DGL(OverlaySubtree::ItemId(id));
    item->SetColor(black);
    OverlaySubtree::AddItemAndClose(*view, item);
    circleItem = item;
  });
  // Set after a failure too: the manager does not retry every frame.
  isGeometryCreated = true;
}

void ApertureViewObjectGL::deleteGeometry() {
  OverlaySubtree::DeleteOwnNode(parentNode, id);
  // The node went with the subtree; drawing it would touch freed memory.
  node = nullptr;
  circleItem = nullptr;
}

void ApertureViewObjectGL::ControllerNotify(IViewOp* op) {
  if (!isVisible || op == nullptr) return;
  switch (op->GetType()) {
    case IViewOp::Idle:
    case IViewOp::Leave:
    case IViewOp::Orbit:
      isActive = false;
      break;
    case IViewOp::Hover:
    case IViewOp::RayPick:
    case IViewOp::Pan:
    case IViewOp::RubberBand:
      cursorX = op->first;
      cursorY = op->second;
      isActive = true;
      break;
    case IViewOp::WheelZoom:
    case IViewOp::Key:
      // Their first field is the wheel steps or the key code.
      cursorX = op->second;
      cursorY = op->third;
      isActive = true;
      break;
    default:
      // Names AView3D::Notify, not this class: deliberate, hosts match the
      // text they have always been given.
      throw std::invalid_argument("Invalid argument in AView3D::Notify");
  }
}

void ApertureViewObjectGL::draw() {
  // No circle before geometry exists.
  if (!isActive || circleItem == nullptr) return;
  float width = 0.0f;
  float height = 0.0f;
  view->GetWindowSize(width, height);
  glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();

  ACamera* camera = view->GetCamera();
  float position[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera->GetLookAt(position, target, up);
  float offset[3];
  Subtract(position, target, offset);
  const float distance = Length(offset);

  // The circle lies in the target's plane, where a pixel spans this many
  // units under the frame's perspective projection.
  const float aspect = height > 0.0f ? width / height : 1.0f;
  const float halfAngleTangent = std::tan(camera->GetFieldOfView() * 0.5f);
  const float visibleHeight = halfAngleTangent * distance * 2.0f;
  const float visibleWidth = visibleHeight * aspect;
  const float unitsPerPixel = visibleHeight / height;

  glLoadIdentity();
  glClear(GL_DEPTH_BUFFER_BIT);
  // A window without rows has no pixel size to scale the circle by.
  if (height == 0.0f) {
    glPopMatrix();
    return;
  }
  const double x = static_cast<double>(cursorX) * unitsPerPixel - visibleWidth * 0.5;
  const double y = visibleHeight * 0.5 - static_cast<double>(cursorY) * unitsPerPixel;
  glTranslatef(static_cast<float>(x), static_cast<float>(y), -distance);
  circleItem->radius = static_cast<float>(ViewOpRayPick::APERTURE * static_cast<double>(unitsPerPixel));

  view->RenderNode(node, false, false);
  glPopMatrix();
}

}  // namespace NimboView3dOpenGLSG
