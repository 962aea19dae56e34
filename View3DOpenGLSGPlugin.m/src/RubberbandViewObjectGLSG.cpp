#include "RubberbandViewObjectGLSG.h"

#include <windows.h>
#include <GL/gl.h>

#include <stdexcept>

#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RGBAColor.h"
#include "KivVizOpenGL/GeometryItemPolylineGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/IViewOp.h"
#include "OverlaySubtree.h"
#include "View3dOpenGlSG.h"

namespace NimboView3dOpenGLSG {
namespace {

constexpr std::uint64_t kGeometryId = 1;
constexpr int kOutlineFloats = 15;

}  // namespace

RubberbandViewObjectGLSG::RubberbandViewObjectGLSG(View3dOpenGlSG* view, const std::string& name, Node* parent)
    : AViewObject(name), view(view), polylineItem(nullptr), startX(0), startY(0), endX(0), endY(0), isActive(false) {
  parentNode = parent;
  isVisible = false;
  isGeometryCreated = false;
}

RubberbandViewObjectGLSG::~RubberbandViewObjectGLSG() {
  OverlaySubtree::DeleteOwnNode(parentNode, id);
  polylineItem = nullptr;
  isGeometryCreated = false;
}

void RubberbandViewObjectGLSG::SetIsVisible(const bool& visible) {
  if (visible == isVisible) return;
  AViewObject::SetIsVisible(visible);
}

void RubberbandViewObjectGLSG::createGeometry() {
  // Without a parent node there is nowhere to hang the rectangle.
  if (isGeometryCreated || parentNode == nullptr) return;
  OverlaySubtree::Build("RubberbandViewObjectGLSG", [&] {
    node = OverlaySubtree::OpenOwnNode(*view, *parentNode, id, L"rubberband");

    OverlaySubtree::OpenGeometryNode(*view, kGeometryId);
    float outline[kOutlineFloats];
    ComputeOutline(outline);
    auto* item = new GeometryItemPolylineGL(OverlaySubtree::ItemId(id), outline, kOutlineFloats);
    item->SetColor(RGBAColor(220, 0, 0, 255));
    item->lineWidth = 2.0f;
    item->stipplePattern = 0xF0F0;
    OverlaySubtree::AddItemAndClose(*view, item);
    polylineItem = item;
  });
  // Set after a failure too: no retry until deleteGeometry.
  isGeometryCreated = true;
}

void RubberbandViewObjectGLSG::deleteGeometry() {
  OverlaySubtree::DeleteOwnNode(parentNode, id);
  // The node went with the subtree; drawing it would touch freed memory.
  node = nullptr;
  polylineItem = nullptr;
  isGeometryCreated = false;
}

void RubberbandViewObjectGLSG::ControllerNotify(IViewOp* op) {
  if (!isVisible || op == nullptr) return;
  const int type = op->GetType();
  if (type < IViewOp::Idle || type > IViewOp::RubberBand) {
    throw std::invalid_argument("Invalid argument in RubberbandViewObjectGLSG::ControllerNotify");
  }
  if (type != IViewOp::RubberBand) {
    // Any other operation ends the drag; the corners wait for the next one.
    isActive = false;
    return;
  }
  if (op->phase == 1) {
    startX = op->first;
    startY = op->second;
  }
  endX = op->first;
  endY = op->second;
  isActive = true;
}

void RubberbandViewObjectGLSG::draw() {
  if (!isVisible || !isGeometryCreated || !isActive || polylineItem == nullptr) return;
  float width = 0.0f;
  float height = 0.0f;
  view->GetWindowSize(width, height);
  glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  float outline[kOutlineFloats];
  ComputeOutline(outline);
  polylineItem->Update(outline, kOutlineFloats);
  view->RenderNode(node, false, false);
  glPopMatrix();
}

void RubberbandViewObjectGLSG::ComputeOutline(float outline[15]) {
  const std::int32_t corners[5][2] = {{startX, startY}, {endX, startY}, {endX, endY}, {startX, endY}, {startX, startY}};
  float position[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  view->GetCamera()->GetLookAt(position, target, up);
  for (int i = 0; i < 5; ++i) {
    float px = 0.0f;
    float py = 0.0f;
    float pz = 0.0f;
    view->GetPointAtPixel(corners[i][0], corners[i][1], px, py, pz);
    // Whatever depth lies under the corner, the rectangle stays in one plane.
    outline[3 * i] = px;
    outline[3 * i + 1] = py;
    outline[3 * i + 2] = target[2];
  }
}

}  // namespace NimboView3dOpenGLSG
