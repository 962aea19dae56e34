#include "TestView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/VectorMath.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/MarkupFactory.h"
#include "TestGeometryItem.h"

namespace NimboTest {

TestView::TestView() : AView3D("TestView") {
  rootNode = Node::CreateRoot();
  viewObjects = std::make_unique<ViewObjectManager>(rootNode);
  itemFactory = std::make_unique<TestGeometryItemFactory>();
  AView3DControllerAdapter::SetView3D(this);
  AView3DAdapter::SetView3D(this);
}

TestView::~TestView() {
  highlightStrategy = nullptr;
  // View objects remove their nodes from the root's subtree: before the root.
  viewObjects.reset();
  openNodeStack.clear();
  delete rootNode;
  rootNode = nullptr;
}

void TestView::SetHighlightStrategy(std::unique_ptr<AHighlightStrategy> strategy) {
  ownedHighlightStrategy = std::move(strategy);
  highlightStrategy = ownedHighlightStrategy.get();
}

// Near and far as the camera works them out from the scene bounds.
void TestView::SetUpProjection() {
  float nearPlane = 0.0f;
  float farPlane = 0.0f;
  camera->GetNearFar(nearPlane, farPlane);
  float eye[3], target[3], up[3], v[3];
  camera->GetLookAt(eye, target, up);
  Subtract(eye, target, v);
  const float aspect = windowHeight > 0.0f ? windowWidth / windowHeight : 1.0f;
  if (camera->IsOrthographic()) {
    const float h = std::tan(camera->GetFieldOfView() * 0.5f) * Length(v);
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    gluPerspective(camera->GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
}

void TestView::SetUpCamera() {
  float eye[3], target[3], up[3];
  camera->GetLookAt(eye, target, up);
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
}

void TestView::Render() {
  if (wglGetCurrentContext() == nullptr) {
    return;
  }
  glViewport(0, 0, static_cast<int>(windowWidth), static_cast<int>(windowHeight));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  SetUpProjection();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const RGBAColor background = GetBackgroundColor1();
  glClearColor(background.red / 255.0f, background.green / 255.0f, background.blue / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  if (sceneReady) {
    glPushMatrix();
    SetUpCamera();
    for (const auto& [id, child] : rootNode->Children()) {
      if (id != OverlayNodeId) {
        RenderNode(child, false, false);
      }
    }
    glPopMatrix();
  }
  viewObjects->Display();
  glFinish();
}

void TestView::RenderNode(GeoNode* node, bool pushNames, bool inTransparent) {
  if (node == nullptr || !node->IsVisible()) {
    return;
  }
  const auto* color = dynamic_cast<const AttributeColor*>(node->GetAttribute(Attribute::ColorType));
  if (color != nullptr) {
    glPushAttrib(GL_CURRENT_BIT);
    const RGBAColor& c = color->GetColor();
    glColor4ub(c.red, c.green, c.blue, c.alpha);
  }
  const auto* transform = dynamic_cast<const AttributeTransform*>(node->GetAttribute(Attribute::TransformType));
  if (transform != nullptr) {
    glPushMatrix();
    glMultMatrixd(transform->GetTransform());
  }
  if (node->IsGroup()) {
    for (const auto& entry : static_cast<Node*>(node)->Children()) {
      RenderNode(entry.second, pushNames, inTransparent);
    }
  } else {
    for (AGeometryItem* item : node->Geometry()) {
      item->Display(this);
    }
  }
  if (transform != nullptr) {
    glPopMatrix();
  }
  if (color != nullptr) {
    glPopAttrib();
  }
}

void TestView::BeginScene(GeoNode* node) {
  sceneReady = false;
  if (node != nullptr) {
    openNodeStack.push_back(node);
  }
}

void TestView::EndScene() {
  CloseNode();
  sceneReady = true;
}

bool TestView::OpenNode(const std::uint64_t& id) {
  if (id == Node::RootId && openNodeStack.empty()) {
    openNodeStack.push_back(rootNode);
    return true;
  }
  GeoNode* searched = openNodeStack.empty() ? rootNode : openNodeStack.back();
  GeoNode* child = searched->IsGroup() ? static_cast<Node*>(searched)->GetChild(id) : nullptr;
  if (child == nullptr) {
    return false;
  }
  openNodeStack.push_back(child);
  return true;
}

void TestView::CloseNode() {
  if (!openNodeStack.empty()) {
    openNodeStack.pop_back();
  }
}

void TestView::CloseAllNodes() { openNodeStack.clear(); }

bool TestView::CreateChild(const std::uint64_t& id, const std::wstring& name, bool group) {
  if (openNodeStack.empty()) {
    throw std::runtime_error("Cannot create node");
  }
  GeoNode* parent = openNodeStack.back();
  GeoNode* child = group ? parent->CreateChildNode(id) : parent->CreateChildGeoNode(id);
  if (child == nullptr) {
    return false;
  }
  child->SetName(name);
  openNodeStack.push_back(child);
  return true;
}

bool TestView::CreateNode(const std::uint64_t& id, const std::wstring& name) {
  if (id == Node::RootId && openNodeStack.empty()) {
    rootNode->SetName(name);
    openNodeStack.push_back(rootNode);
    return true;
  }
  return CreateChild(id, name, true);
}

bool TestView::CreateGeoNode(const std::uint64_t& id, const std::wstring& name) {
  return CreateChild(id, name, false);
}

void TestView::SetNodeAttribute(Attribute* attribute) {
  GeoNode* open = GetCurrentOpenNode();
  if (open == nullptr || !open->SetAttribute(attribute)) {
    delete attribute;
  }
}

void TestView::AddGeometry(AGeometryItem* item) {
  if (GeoNode* open = GetCurrentOpenNode()) {
    open->AddGeometry(item);
  } else {
    delete item;
  }
}

// The view objects' geometry and the scene go; the overlay node stays.
void TestView::ClearAll() {
  RemoveMarkups();
  sceneReady = false;
  viewObjects->Clear();
  std::vector<std::uint64_t> doomed;
  for (const auto& entry : rootNode->Children()) {
    if (entry.first != OverlayNodeId) {
      doomed.push_back(entry.first);
    }
  }
  for (std::uint64_t id : doomed) {
    rootNode->DeleteChildById(id);
  }
  AView3D::ClearAll();
}

bool TestView::Mark(const RenderId& path, bool sticky) {
  if (highlightStrategy == nullptr) {
    return false;
  }
  highlightStrategy->SetStickySelection(sticky);
  return highlightStrategy->Do(path);
}

void TestView::AddMarkups(const std::vector<std::vector<double>>& coordinateLists) {
  auto* factory = dynamic_cast<AMarkupViewObject*>(viewObjects->Get(MarkupFactory::FactoryName));
  if (factory == nullptr) {
    return;
  }
  for (const std::vector<double>& coordinates : coordinateLists) {
    if (coordinates.size() < 3 || coordinates.size() % 3 != 0) {
      throw std::invalid_argument("Cannot add markup object, incorrect size of coordinates");
    }
    AMarkupViewObject* markup = factory->CreateMarkup(this, coordinates);
    if (markup != nullptr && viewObjects->Add(markup->Name(), markup)) {
      markup->SetIsVisible(true);
    } else {
      delete markup;
    }
  }
}

void TestView::RemoveMarkups() {
  std::vector<AViewObject*> doomed;
  for (std::size_t i = 0; i < viewObjects->Count(); ++i) {
    AViewObject* object = (*viewObjects)[i];
    if (dynamic_cast<AMarkupViewObject*>(object) != nullptr && object->Name() != MarkupFactory::FactoryName) {
      doomed.push_back(object);
    }
  }
  for (AViewObject* object : doomed) {
    object->Clear();
    viewObjects->Remove(object);
    delete object;
  }
}

}  // namespace NimboTest
