#include "TestView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/Attribute.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
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
  windowHandle = nullptr;
  ownedHighlightStrategy.reset();
  highlightStrategy = nullptr;
  // View objects remove their nodes from the root's subtree: before the root.
  viewObjects.reset();
  openNodeStack.clear();
  delete rootNode;
  rootNode = nullptr;
  itemFactory.reset();
  ownedFilterManager.reset();
  filterManager = nullptr;
}

void TestView::SetHighlightStrategy(std::unique_ptr<AHighlightStrategy> strategy) {
  ownedHighlightStrategy = std::move(strategy);
  highlightStrategy = ownedHighlightStrategy.get();
}

void TestView::SetFilterManager(std::unique_ptr<AFilterManager> manager) {
  ownedFilterManager = std::move(manager);
  filterManager = ownedFilterManager.get();
}

void TestView::SetGeometryItemFactory(std::unique_ptr<AGeometryItemFactory> factory) {
  itemFactory = std::move(factory);
}

void TestView::SetUpProjection() {
  float eye[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera->GetLookAt(eye, target, up);
  float v[3];
  float w[3];
  Subtract(eye, target, v);
  Subtract(sceneCenter, target, w);
  const float reach = Length(w) + sceneRadius;
  float nearPlane = Length(v) - reach;
  const float farPlane = (Length(v) + reach) * 10.0f;
  if (nearPlane > 1.0f) {
    nearPlane /= 10.0f;
  }
  const float aspect = windowHeight > 0.0f ? windowWidth / windowHeight : 1.0f;
  if (camera->IsOrthographic()) {
    const float h = std::tan(camera->GetFieldOfView() * 0.5f) * Length(v);
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    if (sceneRadius / 500.0f > nearPlane) {
      nearPlane = sceneRadius / 500.0f;
    }
    gluPerspective(camera->GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
}

void TestView::SetUpCamera() {
  float eye[3];
  float target[3];
  float up[3];
  camera->GetLookAt(eye, target, up);
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
}

bool TestView::IsAvailable() const { return true; }

void TestView::ReservedOperation1() {}

void TestView::ReservedOperation2() {}

std::string TestView::GetStatistics() { return "Not implemented"; }

bool TestView::IsBusy() const { return false; }

void TestView::GetPointAtPixel(int x, int y, float& px, float& py, float& pz) {
  double modelView[16];
  double projection[16];
  int viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const float windowY = static_cast<float>(viewport[3]) - static_cast<float>(y);
  float depth = 1.0f;
  glReadPixels(x, static_cast<int>(windowY), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  double wx = 0.0;
  double wy = 0.0;
  double wz = 0.0;
  gluUnProject(x, windowY, depth, modelView, projection, viewport, &wx, &wy, &wz);
  px = static_cast<float>(wx);
  py = static_cast<float>(wy);
  pz = static_cast<float>(wz);
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
  if (sceneReady && rootNode != nullptr) {
    glPushMatrix();
    SetUpCamera();
    for (const auto& [id, child] : rootNode->Children()) {
      if (child != nullptr && id != OverlayNodeId) {
        RenderNode(child, false, false);
      }
    }
    glPopMatrix();
  }
  viewObjects->Display();
  glFinish();
}

void TestView::Highlight(const EntityId& entity) {
  RenderId path;
  buildRenderId(entity, path);
  Highlight(path);
}

void TestView::UnHighlight(const EntityId& entity) {
  RenderId path;
  buildRenderId(entity, path);
  UnHighlight(path);
}

void TestView::RenderNode(GeoNode* node, bool pushNames, bool inTransparent) {
  if (node == nullptr) {
    return;
  }
  if (node->GetFilterId() > 0 && filterManager != nullptr && !filterManager->IsEnabled(node->GetFilterId())) {
    return;
  }
  if (!node->IsVisible()) {
    return;
  }
  ++renderedNodes;
  const auto* color = dynamic_cast<const AttributeColor*>(node->GetAttribute(Attribute::ColorType));
  if (color != nullptr) {
    glPushAttrib(GL_CURRENT_BIT);
    const RGBAColor& c = color->GetColor();
    glColor4ub(c.red, c.green, c.blue, c.alpha);
  }
  const auto* transform = dynamic_cast<const AttributeTransform*>(node->GetAttribute(Attribute::TransformType));
  const bool matrixPushed = transform != nullptr && !transform->IsIdentity();
  if (matrixPushed) {
    glPushMatrix();
    glMultMatrixd(transform->GetTransform());
  }
  if (pushNames) {
    glPushName(static_cast<GLuint>(node->GetId()));
  }
  if (node->IsGroup()) {
    for (const auto& entry : static_cast<Node*>(node)->Children()) {
      if (entry.second != nullptr) {
        RenderNode(entry.second, pushNames, inTransparent);
      }
    }
  } else {
    for (AGeometryItem* item : node->Geometry()) {
      if (item != nullptr) {
        item->Display(this);
      }
    }
  }
  if (pushNames) {
    glPopName();
  }
  if (matrixPushed) {
    glPopMatrix();
  }
  if (color != nullptr) {
    glPopAttrib();
  }
}

void TestView::Select(const EntityId& entity) {
  RenderId path;
  buildRenderId(entity, path);
  Select(path);
}

void TestView::UnSelect(const EntityId& entity) {
  RenderId path;
  buildRenderId(entity, path);
  UnSelect(path);
}

void TestView::BeginScene(GeoNode* node) {
  sceneReady = false;
  if (node != nullptr) {
    openNodeStack.push_back(node);
  } else if (rootNode == nullptr) {
    rootNode = Node::CreateRoot();
  }
}

void TestView::EndScene() {
  if (!openNodeStack.empty()) {
    openNodeStack.pop_back();
  }
  sceneReady = true;
}

bool TestView::OpenNode(const std::uint64_t& id) {
  if (id == Node::RootId && openNodeStack.empty()) {
    if (rootNode == nullptr) {
      return false;
    }
    openNodeStack.push_back(rootNode);
    return true;
  }
  GeoNode* searched = openNodeStack.empty() ? rootNode : openNodeStack.back();
  if (searched == nullptr || !searched->IsGroup()) {
    return false;
  }
  GeoNode* child = static_cast<Node*>(searched)->GetChild(id);
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

void TestView::CloseAllNodes() {
  while (!openNodeStack.empty()) {
    CloseNode();
  }
}

bool TestView::CreateChild(const std::uint64_t& id, const std::wstring& name, bool group) {
  GeoNode* parent = openNodeStack.empty() ? nullptr : openNodeStack.back();
  if (parent == nullptr) {
    throw std::runtime_error("Cannot create node");
  }
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
    if (rootNode == nullptr) {
      return false;
    }
    rootNode->SetName(name);
    openNodeStack.push_back(rootNode);
    return true;
  }
  return CreateChild(id, name, true);
}

bool TestView::CreateGeoNode(const std::uint64_t& id, const std::wstring& name) {
  return CreateChild(id, name, false);
}

Node* TestView::GetRootNode() { return rootNode; }

void TestView::SetNodeAttribute(Attribute* attribute) {
  GeoNode* open = GetCurrentOpenNode();
  if (open == nullptr || !open->SetAttribute(attribute)) {
    delete attribute;
  }
}

AGeometryItemFactory* TestView::GetGeometryItemFactory() { return itemFactory.get(); }

void TestView::AddGeometry(AGeometryItem* item) {
  GeoNode* open = GetCurrentOpenNode();
  if (open == nullptr) {
    delete item;
    return;
  }
  open->AddGeometry(item);
}

bool TestView::ApplyNodeAction(const RenderId& path) {
  const std::size_t length = path.Length();
  for (std::size_t i = 0; i < length; ++i) {
    if (!OpenNode(path[i])) {
      for (std::size_t j = 0; j < i; ++j) {
        CloseNode();
      }
      return false;
    }
  }
  bool done = false;
  if (length > 0 && GetCurrentOpenNode() != nullptr) {
    GetCurrentOpenNode()->NodeAction();
    done = true;
  }
  for (std::size_t i = 0; i < length; ++i) {
    CloseNode();
  }
  return done;
}

void TestView::ClearAll() {
  RemoveMarkups();
  sceneReady = false;
  viewObjects->Clear();
  if (rootNode != nullptr) {
    std::vector<std::uint64_t> doomed;
    for (const auto& entry : rootNode->Children()) {
      if (entry.first != OverlayNodeId) {
        doomed.push_back(entry.first);
      }
    }
    for (std::uint64_t id : doomed) {
      rootNode->DeleteChildById(id);
    }
  }
  AView3D::ClearAll();
}

bool TestView::PickPoint(int x, int y, float& px, float& py, float& pz) {
  RenderId picked;
  const Ray ray = GetCamera()->Make3DRay(x, y, 1);
  if (!sceneReady || !PickVisual(ray, picked)) {
    return false;
  }
  GeoNode* node = GetNode(picked);
  if (node == nullptr) {
    return false;
  }
  // The node's own items, as seen from its place in the scene: the ray is
  // taken into the node's frame through the transforms along the path.
  double toNode[16];
  AttributeTransform::SetIdentity(toNode);
  RenderId prefix(std::vector<std::uint64_t>{}, picked.GetOrigin());
  for (std::size_t i = 0; i < picked.Length(); ++i) {
    prefix.Append(picked[i]);
    const GeoNode* onPath = GetNode(prefix);
    const auto* transform =
        onPath ? dynamic_cast<const AttributeTransform*>(onPath->GetAttribute(Attribute::TransformType)) : nullptr;
    if (transform != nullptr) {
      double product[16];
      MultiplyMatrices(toNode, transform->GetTransform(), product);
      std::copy(product, product + 16, toNode);
    }
  }
  double fromWorld[16];
  if (!InvertMatrix(toNode, fromWorld)) {
    return false;
  }
  float origin[3];
  float direction[3];
  TransformPoint(fromWorld, ray.origin, origin);
  TransformDirection(fromWorld, ray.direction, direction);
  for (const AGeometryItem* item : node->Geometry()) {
    float hit[3] = {0.0f, 0.0f, 0.0f};
    float t = 0.0f;
    if (item != nullptr && item->RayHit(origin, direction, static_cast<float>(ray.scalar), hit, t)) {
      float world[3];
      TransformPoint(toNode, hit, world);
      px = world[0];
      py = world[1];
      pz = world[2];
      break;
    }
  }
  return true;
}

bool TestView::PickVisualAt(const int& x, const int& y, RenderId& picked) {
  RenderId found;
  if (!sceneReady || !PickVisual(GetCamera()->Make3DRay(x, y, 1), found) || found == picked) {
    return false;
  }
  picked = found;
  return true;
}

void TestView::Highlight(const std::vector<RenderId>& paths) {
  for (const RenderId& path : paths) {
    Highlight(path);
  }
}

bool TestView::Highlight(const RenderId& path) {
  if (highlightStrategy == nullptr) {
    return false;
  }
  highlightStrategy->SetStickySelection(false);
  return highlightStrategy->Do(path);
}

void TestView::UnHighlight() {
  if (highlightStrategy != nullptr) {
    highlightStrategy->Undo();
  }
}

bool TestView::UnHighlight(const RenderId& path) {
  return highlightStrategy != nullptr && highlightStrategy->Undo(path);
}

void TestView::Select(const RenderId& path) {
  if (highlightStrategy != nullptr) {
    highlightStrategy->SetStickySelection(true);
    highlightStrategy->Do(path);
  }
}

void TestView::UnSelect() {
  if (highlightStrategy != nullptr) {
    highlightStrategy->Undo();
  }
}

bool TestView::UnSelect(const RenderId& path) {
  return highlightStrategy != nullptr && highlightStrategy->Undo(path);
}

ViewObjectManager* TestView::GetViewObjectManager() { return viewObjects.get(); }

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
    if (markup == nullptr) {
      continue;
    }
    const std::string name = markup->Name();
    if (!viewObjects->Add(name, markup)) {
      delete markup;
      continue;
    }
    markup->SetIsVisible(true);
  }
}

void TestView::RemoveMarkups() {
  std::vector<AViewObject*> doomed;
  const std::size_t count = viewObjects->Count();
  for (std::size_t i = 0; i < count; ++i) {
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

void TestView::DrawArrow(const std::vector<double>& /*start*/, const std::vector<double>& /*direction*/) {
  throw std::logic_error("TestView::DrawArrow is not supported");
}

}  // namespace NimboTest
