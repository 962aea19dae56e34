#include "NimboCore/MarkupViewObject.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>
#include <stdexcept>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AView3D.h"
#include "NimboCore/Debug.h"

namespace {

constexpr std::uint64_t kItemId = 1;
constexpr float kMarkerSize = 8.0f;
constexpr float kLineWidth = 2.0f;

Node* OverlayNodeOf(AView3D* view) {
  Node* root = view != nullptr ? view->GetRootNode() : nullptr;
  GeoNode* overlay = root != nullptr ? root->GetChild(AView3DAdapter::OverlayNodeId) : nullptr;
  return overlay != nullptr && overlay->IsGroup() ? static_cast<Node*>(overlay) : nullptr;
}

}  // namespace

MarkupViewObject::MarkupViewObject(AView3D* view, const std::string& name, const std::vector<double>& coordinates,
                                   const RGBAColor& color)
    : AMarkupViewObject(name), view(view), coordinates(coordinates), color(color) {
  if (view == nullptr) {
    throw std::invalid_argument("MarkupViewObject::MarkupViewObject: the view is null");
  }
  if (coordinates.size() < 3 || coordinates.size() % 3 != 0) {
    throw std::invalid_argument("MarkupViewObject::MarkupViewObject: the coordinates are not whole points");
  }
  parentNode = OverlayNodeOf(view);
}

MarkupViewObject::~MarkupViewObject() { MarkupViewObject::deleteGeometry(); }

void MarkupViewObject::createGeometry() {
  deleteGeometry();
  isGeometryCreated = true;
  if (parentNode == nullptr) {
    return;
  }
  const auto ownId = static_cast<std::uint64_t>(static_cast<std::int64_t>(id));
  GeoNode* own = parentNode->CreateChildGeoNode(ownId);
  if (own == nullptr) {
    NimboCore::dbg << "MarkupViewObject::createGeometry: node " << ownId << " of the view objects is taken"
                   << std::endl;
    return;
  }
  own->SetName(std::wstring(name.begin(), name.end()));
  own->SetAttribute(new AttributeColor(color));
  node = own;

  AGeometryItemFactory* factory = view->GetGeometryItemFactory();
  if (factory == nullptr) {
    return;
  }
  const std::vector<float> vertices(coordinates.begin(), coordinates.end());
  const std::size_t pointCount = vertices.size() / 3;
  if (pointCount == 1) {
    own->AddGeometry(factory->CreatePoints(kItemId, vertices, kMarkerSize));
    return;
  }
  std::vector<std::uint32_t> segments;
  segments.reserve(2 * (pointCount - 1));
  for (std::uint32_t i = 0; i + 1 < pointCount; ++i) {
    segments.push_back(i);
    segments.push_back(i + 1);
  }
  own->AddGeometry(factory->CreateLines(kItemId, vertices, segments));
}

void MarkupViewObject::deleteGeometry() {
  if (parentNode != nullptr && node != nullptr && parentNode->GetChild(node->GetId()) == node) {
    parentNode->DeleteChildById(node->GetId());
  }
  node = nullptr;
}

void MarkupViewObject::draw() {
  if (node == nullptr || wglGetCurrentContext() == nullptr) {
    return;
  }
  // Drawn in the scene's space with the frame's projection (markups draw
  // before any overlay changes it); the camera's view goes on top of an
  // identity model-view.
  glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT);
  glDisable(GL_LIGHTING);
  glLineWidth(kLineWidth);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  if (ACamera* camera = view->GetCamera()) {
    float eye[3];
    float target[3];
    float up[3];
    camera->GetLookAt(eye, target, up);
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
  }
  view->RenderNode(node, false, false);
  glPopMatrix();
  glPopAttrib();
}

AMarkupViewObject* MarkupViewObject::CreateMarkup(IViewObjectProvider* /*provider*/,
                                                  const std::vector<double>& /*coordinates*/) {
  return nullptr;
}
