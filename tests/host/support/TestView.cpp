#include "TestView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/Attribute.h"
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
