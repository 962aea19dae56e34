#include "View3dOpenGlSG.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <utility>

#include "KivVizCore/AFilterManager.h"
#include "KivVizCore/AGeometryItem.h"
#include "KivVizCore/AHighlightStrategy.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/AttributeVisibility.h"
#include "KivVizCore/EntityId.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/Ray.h"
#include "KivVizCore/RenderId.h"
#include "KivVizCore/RenderingOptions.h"
#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/FilterManagerGL.h"
#include "KivVizOpenGL/GeometryItemFactoryGL.h"
#include "KivVizOpenGL/HighlightStrategyGL.h"
#include "KivVizOpenGL/TextManagerGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/AMarkupViewObject.h"
#include "NimboCore/Assert.h"
#include "NimboCore/Debug.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/Settings.h"
#include "NimboCore/ViewObjectManager.h"
#include "PickWinner.h"

namespace NimboView3dOpenGLSG {
namespace {

// One set of bitmap font lists for the whole process, shared by every view.
bool fontListsCreated = false;
GLuint fontListBase = 0;

constexpr GLsizei kFontListCount = 96;
constexpr int kSelectionBufferSize = 1000;
constexpr double kPickBoxSize = 4.0;
constexpr const char* kMarkupFactoryName = "MarkupFactory";
// The root's id while no node is open, and the root's child that holds the
// overlay objects' nodes, which scene passes leave out and ClearAll keeps.
constexpr std::uint64_t kRootNodeId = 1;
constexpr std::uint64_t kOverlayNodeId = 60000;

const GLfloat kLightSpecular[] = {0.4f, 0.4f, 0.4f, 1.0f};
const GLfloat kLightDiffuse[] = {0.6f, 0.6f, 0.6f, 1.0f};
const GLfloat kLightAmbient[] = {0.2f, 0.2f, 0.2f, 1.0f};
const GLfloat kMaterialAmbient[] = {0.234375f, 0.234375f, 0.234375f, 1.0f};
const GLfloat kMaterialSpecular[] = {0.8f, 0.8f, 0.8f, 1.0f};
const GLfloat kMaterialDiffuse[] = {0.673937f, 0.45734f, 0.436528f, 1.0f};
const GLfloat kMaterialShininess[] = {44.8f};

// A plain std::exception that carries a message: hosts catch std::exception
// and show what(), and expect no more specific type.
class ViewError : public std::exception {
 public:
  explicit ViewError(std::string message) : message(std::move(message)) {}
  const char* what() const noexcept override { return message.c_str(); }

 private:
  std::string message;
};

// Runs a highlight or selection body; exceptions from outside the standard
// family become a standard exception carrying the operation's text.
template <typename Body>
auto Guarded(const char* unrecognized, Body&& body) -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception&) {
    throw;
  } catch (...) {
    throw ViewError(unrecognized);
  }
}

// T + dist * (a * dir + b * right + c * up): the combination in double,
// narrowed to float; scaling and the sum with T in float.
void PlaceLight(GLenum light, const float target[3], float dist, const float dir[3], const float right[3],
                const float up[3], double a, double b, double c) {
  GLfloat position[4];
  for (int i = 0; i < 3; ++i) {
    const auto combination = static_cast<float>(a * dir[i] + b * right[i] + c * up[i]);
    position[i] = target[i] + dist * combination;
  }
  position[3] = 1.0f;
  glLightfv(light, GL_POSITION, position);
}

// The children as they are before a teardown walk: releasing a shared child
// unlinks it from the map being walked.
std::vector<std::pair<std::uint64_t, GeoNode*>> SnapshotChildren(const Node* group) {
  return {group->Children().begin(), group->Children().end()};
}

}  // namespace

View3dOpenGlSG::View3dOpenGlSG() : sceneReady(false), transparencyFound(false), renderPass(0) {
  rootNode = Node::CreateRoot();
  highlightStrategy = new HighlightStrategyGL(static_cast<AView3DAdapter*>(this));
  viewObjectManager = new ViewObjectManager(rootNode);
  geometryItemFactory = new GeometryItemFactoryGL();
  textManager = new TextManagerGL(nullptr);
  AView3DControllerAdapter::SetView3D(this);
  filterManager = new FilterManagerGL();
  if (displayOptions) displayOptions->AddListener(static_cast<IRenderingOptionsListener*>(this));
}

View3dOpenGlSG::~View3dOpenGlSG() {
  windowHandle = nullptr;
  delete highlightStrategy;
  highlightStrategy = nullptr;
  delete geometryItemFactory;
  geometryItemFactory = nullptr;
  delete viewObjectManager;
  viewObjectManager = nullptr;
  delete rootNode;
  rootNode = nullptr;
  delete textManager;
  textManager = nullptr;
  delete filterManager;
  filterManager = nullptr;
}

// ---------------------------------------------------------------- window

void View3dOpenGlSG::Initialize(HWND window) {
  if (windowHandle != nullptr) DeleteFontLists();
  AView3D::Initialize(window);
  // Deliberately before any context exists (Render makes the first): on a
  // new process the lists then fail and the failure goes to the debugger
  // output. Hosts know this order and its message; keep it.
  CreateFontLists(window);
  SetUpPixelFormat(window);
  isInitialized = true;
}

void View3dOpenGlSG::CreateFontLists(HWND window) {
  if (fontListsCreated) return;
  if (window == nullptr) throw std::invalid_argument("Invalid HWND");
  fontListBase = glGenLists(kFontListCount);
  HFONT font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, L"Tarvo ISO 1");
  HDC dc = GetDC(window);
  HGDIOBJ previous = SelectObject(dc, font);
  if (!wglUseFontBitmapsW(dc, 32, kFontListCount, fontListBase)) {
    char message[64];
    std::snprintf(message, sizeof message, "Error creating font: %d\n", static_cast<int>(GetLastError()));
    OutputDebugStringA(message);
  }
  SelectObject(dc, previous);
  DeleteObject(font);
  fontListsCreated = true;
}

void View3dOpenGlSG::DeleteFontLists() {
  if (!fontListsCreated) return;
  glDeleteLists(fontListBase, kFontListCount);
  fontListsCreated = false;
}

void View3dOpenGlSG::SetUpPixelFormat(HWND window) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 32;
  pfd.iLayerType = PFD_MAIN_PLANE;
  HDC dc = GetDC(window);
  int format = ChoosePixelFormat(dc, &pfd);
  if (format == 0) {
    pfd.cColorBits = 16;
    format = ChoosePixelFormat(dc, &pfd);
    if (format == 0) return;
  }
  SetPixelFormat(dc, format, &pfd);
}

void View3dOpenGlSG::Uninitialize() {
  isInitialized = false;
  HGLRC context = wglGetCurrentContext();
  wglMakeCurrent(nullptr, nullptr);
  if (context != nullptr) wglDeleteContext(context);
}

void View3dOpenGlSG::SetWindowSize(int width, int height) {
  AView3D::SetWindowSize(width, height);
  glViewport(0, 0, width, height);
}

bool View3dOpenGlSG::IsAvailable() const { return true; }

bool View3dOpenGlSG::IsBusy() const { return false; }

void View3dOpenGlSG::SetBackFacesVisible(bool visible) {
  IView3D::SetBackFacesVisible(visible);
  if (IsBackFacesVisible()) {
    glDisable(GL_CULL_FACE);
  } else {
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
  }
}

std::string View3dOpenGlSG::GetStatistics() { return "Not implemented"; }

void View3dOpenGlSG::ReservedOperation1() {}

void View3dOpenGlSG::ReservedOperation2() {}

// ---------------------------------------------------------------- frames

void View3dOpenGlSG::Render() {
  // The host's main thread owns the context; the message names this file and
  // line as the host's diagnostics have always shown them.
  if (!(GetCurrentThreadId() == Nimbo_mainThreadId))
    NimboCore::AssertionFailed("GetCurrentThreadId() == Nimbo_mainThreadId", "View3dOpenGlSG", 420);

  if (wglGetCurrentContext() == nullptr) {
    HDC dc = GetDC(windowHandle);
    HGLRC context = wglCreateContext(dc);
    wglMakeCurrent(dc, context);
    SetUpGLState();
  }
  glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
  glViewport(0, 0, static_cast<GLsizei>(windowWidth), static_cast<GLsizei>(windowHeight));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  SetUpProjection();
  glMatrixMode(GL_MODELVIEW);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  DrawBackground();
  DrawScene();
  DrawViewObjects();
  glFinish();
  SwapBuffers(wglGetCurrentDC());
}

void View3dOpenGlSG::SetUpGLState() {
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  SetUpLights();
  glMaterialfv(GL_FRONT, GL_AMBIENT, kMaterialAmbient);
  glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, kMaterialDiffuse);
  glMaterialfv(GL_FRONT, GL_SHININESS, kMaterialShininess);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_RESCALE_NORMAL);
  glShadeModel(GL_SMOOTH);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 1.0f);
}

void View3dOpenGlSG::SetUpLights() {
  glEnable(GL_LIGHTING);
  glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
  glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
  const struct {
    GLenum light;
    GLfloat attenuation;
  } lights[] = {{GL_LIGHT1, 1.5f}, {GL_LIGHT2, 3.0f}, {GL_LIGHT3, 2.0f}};
  for (const auto& entry : lights) {
    glLightfv(entry.light, GL_SPECULAR, kLightSpecular);
    glLightfv(entry.light, GL_DIFFUSE, kLightDiffuse);
    glLightfv(entry.light, GL_AMBIENT, kLightAmbient);
    glLightf(entry.light, GL_CONSTANT_ATTENUATION, entry.attenuation);
    glEnable(entry.light);
  }
  glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
}

void View3dOpenGlSG::SetUpProjection() {
  if (!camera) return;
  float eye[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera->GetLookAt(eye, target, up);
  float v[3];
  float w[3];
  Subtract(eye, target, v);
  Subtract(sceneCenter, target, w);
  const float radius = sceneRadius;
  const float reach = Length(w) + radius;
  float nearPlane = Length(v) - reach;
  const float farPlane = (Length(v) + reach) * 10.0f;
  if (nearPlane > 1.0f) nearPlane = nearPlane / 10.0f;
  float aspect = 1.0f;
  if (windowHeight > 0.0f) aspect = windowWidth / windowHeight;
  if (camera->IsOrthographic()) {
    const float h = std::tan(camera->GetFieldOfView() * 0.5f) * Length(v);
    glOrtho(-h * aspect, h * aspect, -h, h, nearPlane, farPlane);
  } else {
    if (radius / 500.0f > nearPlane) nearPlane = radius / 500.0f;
    gluPerspective(camera->GetFieldOfViewDegrees(), aspect, nearPlane, farPlane);
  }
}

void View3dOpenGlSG::SetUpCamera() {
  float eye[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera->GetLookAt(eye, target, up);
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);

  GLfloat headLight[4];
  for (int i = 0; i < 3; ++i) headLight[i] = eye[i] + (eye[i] - target[i]) * 1000.0f;
  headLight[3] = 0.0f;
  glLightfv(GL_LIGHT0, GL_POSITION, headLight);

  float dir[3];
  Subtract(eye, target, dir);
  const float len = Length(dir);
  for (float& component : dir) component = component / len;
  const float dist = len * 1000.0f;
  float right[3];
  CrossProduct(up, dir, right);
  PlaceLight(GL_LIGHT1, target, dist, dir, right, up, 0.36599815077, -0.21130913087, 0.90630778704);
  PlaceLight(GL_LIGHT2, target, dist, dir, right, up, 0.0, 0.86602540378, -0.5);
  PlaceLight(GL_LIGHT3, target, dist, dir, right, up, 0.46984631039, -0.81379768135, -0.34202014333);
}

void View3dOpenGlSG::DrawBackground() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  const RGBAColor& bottom = Settings::Current().GetBackgroundColor1();
  const RGBAColor& top = Settings::Current().GetBackgroundColor2();
  auto channel = [](std::uint8_t value) { return static_cast<GLfloat>(value / 255.0); };
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  glColor3f(channel(bottom.red), channel(bottom.green), channel(bottom.blue));
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glColor3f(channel(top.red), channel(top.green), channel(top.blue));
  glVertex2f(1.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}

void View3dOpenGlSG::DrawScene() {
  if (!sceneReady) return;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  SetUpCamera();

  transparencyFound = false;
  renderPass = 1;
  glCullFace(GL_BACK);
  DrawRootChildren(false);
  if (transparencyFound) {
    // Transparent subtrees: their back faces first, then their front faces.
    renderPass = 2;
    glCullFace(GL_FRONT);
    DrawRootChildren(false);
    renderPass = 3;
    glCullFace(GL_BACK);
    DrawRootChildren(false);
  }
  SetBackFacesVisible(IsBackFacesVisible());
  transparencyFound = false;
  renderPass = 1;
  glPopMatrix();
}

void View3dOpenGlSG::DrawRootChildren(bool pushNames) {
  if (pushNames) glPushName(static_cast<GLuint>(kRootNodeId));
  if (rootNode != nullptr) {
    for (const auto& [id, child] : rootNode->Children()) {
      if (child != nullptr && id != kOverlayNodeId) RenderNode(child, pushNames, false);
    }
  }
  if (pushNames) glPopName();
}

void View3dOpenGlSG::RenderNode(GeoNode* node, bool pushNames, bool inTransparent) {
  if (node == nullptr) return;
  const int filterId = node->GetFilterId();
  if (filterId > 0 && filterManager != nullptr && !filterManager->IsEnabled(filterId)) return;
  const auto* visibility = static_cast<const AttributeVisibility*>(node->GetAttribute(Attribute::VisibilityType));
  if (visibility != nullptr && !visibility->IsVisible()) return;

  const auto* color = static_cast<const AttributeColor*>(node->GetAttribute(Attribute::ColorType));
  if (renderPass == 1) {
    if (color != nullptr && !color->IsOpaque()) {
      transparencyFound = true;
      return;
    }
  } else if (!inTransparent && color != nullptr && !color->IsOpaque()) {
    inTransparent = true;
  }

  if (color != nullptr) {
    glPushAttrib(GL_CURRENT_BIT);
    const RGBAColor& rgba = color->GetColor();
    glColor4ub(rgba.red, rgba.green, rgba.blue, rgba.alpha);
  }
  const bool matrixPushed = ApplyNodeTransform(node);
  if (pushNames) glPushName(static_cast<GLuint>(node->GetId()));

  if (node->IsGroup()) {
    for (const auto& [id, child] : static_cast<Node*>(node)->Children()) {
      if (child != nullptr) RenderNode(child, pushNames, inTransparent);
    }
  } else if (renderPass == 1 || inTransparent) {
    for (AGeometryItem* item : node->Geometry()) {
      if (item != nullptr) item->Display(static_cast<AView3DAdapter*>(this));
    }
  }

  if (pushNames) glPopName();
  if (matrixPushed) glPopMatrix();
  if (color != nullptr) glPopAttrib();
}

bool View3dOpenGlSG::ApplyNodeTransform(GeoNode* node) {
  const auto* transform = static_cast<const AttributeTransform*>(node->GetAttribute(Attribute::TransformType));
  if (transform == nullptr || transform->IsIdentity()) return false;
  glPushMatrix();
  glMultMatrixd(transform->GetTransform());
  return true;
}

void View3dOpenGlSG::DrawViewObjects() {
  glEnable(GL_LIGHT0);
  glDisable(GL_LIGHT1);
  glDisable(GL_LIGHT2);
  glDisable(GL_LIGHT3);
  viewObjectManager->Display();
  glDisable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
  glEnable(GL_LIGHT2);
  glEnable(GL_LIGHT3);
}

// ---------------------------------------------------------------- scene building

void View3dOpenGlSG::BeginScene(GeoNode* node) {
  sceneReady = false;
  if (node != nullptr) {
    openNodeStack.push_back(node);
    return;
  }
  if (rootNode == nullptr) rootNode = Node::CreateRoot();
}

void View3dOpenGlSG::EndScene() {
  if (!openNodeStack.empty()) openNodeStack.pop_back();
  sceneReady = true;
}

bool View3dOpenGlSG::OpenNode(const std::uint64_t& id) {
  if (id == kRootNodeId && openNodeStack.empty()) {
    if (rootNode == nullptr) return false;
    openNodeStack.push_back(rootNode);
    return true;
  }
  GeoNode* parent = openNodeStack.empty() ? rootNode : openNodeStack.back();
  if (parent == nullptr || !parent->IsGroup()) return false;
  GeoNode* child = static_cast<Node*>(parent)->GetChild(id);
  if (child == nullptr) return false;
  openNodeStack.push_back(child);
  return true;
}

void View3dOpenGlSG::CloseNode() {
  if (!openNodeStack.empty()) openNodeStack.pop_back();
}

void View3dOpenGlSG::CloseAllNodes() {
  while (!openNodeStack.empty()) CloseNode();
}

bool View3dOpenGlSG::CreateNode(const std::uint64_t& id, const std::wstring& name) {
  if (id == kRootNodeId && openNodeStack.empty()) {
    if (rootNode == nullptr) return false;
    rootNode->SetName(name);
    openNodeStack.push_back(rootNode);
    return true;
  }
  if (openNodeStack.empty() || openNodeStack.back() == nullptr) {
    NimboCore::dbg << "Cannot create child node for GeoNode." << std::endl;
    throw ViewError("Cannot create node");
  }
  GeoNode* child = openNodeStack.back()->CreateChildNode(id);
  if (child == nullptr) return false;
  child->SetName(name);
  openNodeStack.push_back(child);
  return true;
}

bool View3dOpenGlSG::CreateGeoNode(const std::uint64_t& id, const std::wstring& name) {
  if (openNodeStack.empty() || openNodeStack.back() == nullptr) {
    NimboCore::dbg << "Cannot create child node for GeoNode." << std::endl;
    throw ViewError("Cannot create node");
  }
  GeoNode* child = openNodeStack.back()->CreateChildGeoNode(id);
  if (child == nullptr) return false;
  child->SetName(name);
  openNodeStack.push_back(child);
  return true;
}

Node* View3dOpenGlSG::GetRootNode() { return rootNode; }

void View3dOpenGlSG::SetNodeAttribute(Attribute* attribute) {
  GeoNode* open = GetCurrentOpenNode();
  if (open != nullptr) open->SetAttribute(attribute);
}

AGeometryItemFactory* View3dOpenGlSG::GetGeometryItemFactory() { return geometryItemFactory; }

void View3dOpenGlSG::AddGeometry(AGeometryItem* item) {
  GeoNode* open = GetCurrentOpenNode();
  if (open != nullptr) open->AddGeometry(item);
}

bool View3dOpenGlSG::ApplyNodeAction(const RenderId& path) {
  // OpenNodes opens nothing for an empty path, so the action never falls on
  // a node that is merely open.
  if (!OpenNodes(path)) return false;
  bool result = false;
  GeoNode* node = GetCurrentOpenNode();
  if (node != nullptr) {
    node->NodeAction();
    result = true;
  }
  for (std::size_t i = 0; i < path.Length(); ++i) CloseNode();
  return result;
}

void View3dOpenGlSG::ClearAll() {
  RemoveMarkups();
  sceneReady = false;
  viewObjectManager->Clear();
  if (rootNode != nullptr) {
    std::vector<GeoNode*> keep;
    for (const auto& [id, child] : SnapshotChildren(rootNode)) {
      if (child == nullptr) continue;
      if (id == kOverlayNodeId) {
        keep.push_back(child);
      } else {
        DetachSubtree(rootNode, child);
      }
    }
    rootNode->ClearChildren();
    for (GeoNode* node : keep) rootNode->AddChild(node);
  }
  AView3D::ClearAll();
}

void View3dOpenGlSG::DetachSubtree(Node* parent, GeoNode* node) {
  if (node == nullptr) return;
  if (!node->IsGroup()) {
    ReleaseNode(parent, node);
    return;
  }
  auto* group = static_cast<Node*>(node);
  for (const auto& [id, child] : SnapshotChildren(group)) {
    if (child != nullptr) DetachSubtree(group, child);
  }
  group->ClearChildren();
  ReleaseNode(parent, node);
}

void View3dOpenGlSG::ReleaseNode(Node* parent, GeoNode* node) {
  if (parent == nullptr || node == nullptr) return;
  const std::size_t parents = node->Parents().size();
  if (parents == 1) {
    delete node;
  } else if (parents >= 2) {
    node->RemoveFromParents(parent);
  }
}

// ---------------------------------------------------------------- picking

int View3dOpenGlSG::RunSelectionPass(int x, int y, std::uint32_t* buffer) {
  if (!sceneReady) return 0;
  float eye[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 0.0f, 0.0f};
  camera->GetLookAt(eye, target, up);
  const GLint width = static_cast<GLint>(windowWidth);
  const GLint height = static_cast<GLint>(windowHeight);
  GLint viewport[4] = {0, 0, width, height};

  glSelectBuffer(kSelectionBufferSize, buffer);
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // In double, exactly the int difference wherever that exists, and no
  // overflow for a y near the int limits.
  gluPickMatrix(x, static_cast<GLdouble>(height) - y, kPickBoxSize, kPickBoxSize, viewport);
  SetUpProjection();
  gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], up[0], up[1], up[2]);
  DrawRootChildren(true);
  glPopMatrix();
  glPopName();
  glFlush();
  return glRenderMode(GL_RENDER);
}

void View3dOpenGlSG::ParseHits(int count, const std::uint32_t* buffer, std::vector<Pick>& picks) const {
  picks.clear();
  std::size_t word = 0;
  for (int record = 0; record < count; ++record) {
    const std::uint32_t names = buffer[word];
    if (names >= 2) {
      // Depth words scale [0, 1] to the full unsigned range.
      const float zmin = static_cast<float>(buffer[word + 1]) * 2.3283064e-10f;
      const float zmax = static_cast<float>(buffer[word + 2]) * 2.3283064e-10f;
      const auto bottom = static_cast<int>(buffer[word + 3]);
      std::vector<std::uint64_t> ids;
      for (std::uint32_t i = 4; i < 3 + names; ++i) ids.push_back(buffer[word + i]);
      Pick pick(bottom, zmin, zmax);
      pick.renderId = RenderId(ids, RenderId::SceneOrigin);
      picks.push_back(pick);
    }
    word += 3 + names;
  }
}

int View3dOpenGlSG::ChooseWinner(const std::vector<Pick>& picks) const {
  const RenderingOptions* options = displayOptions.get();
  return PickWinner::Choose(picks, options->pickSurfaces, options->pickCurves, options->pickPoints);
}

bool View3dOpenGlSG::PickWinnerAt(int x, int y, RenderId& path) {
  std::uint32_t buffer[kSelectionBufferSize];
  const int count = RunSelectionPass(x, y, buffer);
  if (count <= 0) return false;
  std::vector<Pick> picks;
  ParseHits(count, buffer, picks);
  const int winner = ChooseWinner(picks);
  if (winner < 0) return false;
  path = picks[static_cast<std::size_t>(winner)].renderId;
  return true;
}

bool View3dOpenGlSG::PickVisualAt(const int& x, const int& y, RenderId& picked) {
  RenderId path;
  if (!PickWinnerAt(x, y, path) || path == picked) return false;
  picked = path;
  return true;
}

bool View3dOpenGlSG::PickPoint(int x, int y, float& px, float& py, float& pz) {
  RenderId path;
  if (!PickWinnerAt(x, y, path)) return false;
  if (OpenNodes(path)) {
    const Ray ray = camera->Make3DRay(x, y, 1);
    GeoNode* node = GetCurrentOpenNode();
    if (node != nullptr) {
      float hit[3] = {0.0f, 0.0f, 0.0f};
      float parameter = 0.0f;
      for (AGeometryItem* item : node->Geometry()) {
        if (item == nullptr) continue;
        if (item->RayHit(ray.origin, ray.direction, static_cast<float>(ray.scalar), hit, parameter)) {
          px = hit[0];
          py = hit[1];
          pz = hit[2];
          break;
        }
      }
    }
    for (std::size_t i = 0; i < path.Length(); ++i) CloseNode();
  }
  // True even when no item was hit or the path did not open: deliberate,
  // hosts read true as "a node was picked" and keep their own point then.
  return true;
}

void View3dOpenGlSG::GetPointAtPixel(int x, int y, float& px, float& py, float& pz) {
  // Zeroed so that a call without a context reads defined values.
  GLdouble modelView[16] = {};
  GLdouble projection[16] = {};
  GLint viewport[4] = {};
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const float windowY = static_cast<float>(viewport[3]) - static_cast<float>(y);
  GLfloat depth = 0.0f;
  // Pixels outside the framebuffer read nothing, wherever they lie: clamped
  // to just outside it and to 2^24, beyond any GL framebuffer, the row always
  // converts to a GLint, and GL's own clipping never adds up past INT_MAX
  // (which made it read far outside the buffer).
  constexpr GLint kBeyondAnyFramebuffer = 1 << 24;
  const GLint column = std::clamp(x, -1, kBeyondAnyFramebuffer);
  const GLint row = static_cast<GLint>(std::clamp(windowY, -1.0f, static_cast<float>(kBeyondAnyFramebuffer)));
  glReadPixels(column, row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  GLdouble wx = 0.0;
  GLdouble wy = 0.0;
  GLdouble wz = 0.0;
  gluUnProject(x, windowY, depth, modelView, projection, viewport, &wx, &wy, &wz);
  px = static_cast<float>(wx);
  py = static_cast<float>(wy);
  pz = static_cast<float>(wz);
}

// ---------------------------------------------------------------- highlight and selection

void View3dOpenGlSG::Highlight(const std::vector<RenderId>& paths) {
  Guarded("Unrecognized Exception thrown from View3dOpenGlSG::Highlight()", [&] {
    highlightStrategy->SetStickySelection(true);
    for (const RenderId& path : paths) highlightStrategy->Do(path);
  });
}

bool View3dOpenGlSG::Highlight(const RenderId& path) {
  return Guarded("Unrecognized Exception thrown from View3dOpenGlSG::Highlight()", [&] {
    highlightStrategy->SetStickySelection(false);
    return highlightStrategy->Do(path);
  });
}

void View3dOpenGlSG::UnHighlight() {
  Guarded("Unrecognized Exception thrown from View3dOpenGlSG::UnHighlight()", [&] { highlightStrategy->Undo(); });
}

bool View3dOpenGlSG::UnHighlight(const RenderId& path) {
  return Guarded("Unrecognized Exception thrown from View3dOpenGlSG::UnHighlight( const RenderId& )",
                 [&] { return highlightStrategy->Undo(path); });
}

void View3dOpenGlSG::Select(const RenderId& path) {
  Guarded("Unrecognized Exception thrown from View3dOpenGlSG::Select()", [&] {
    const bool sticky = highlightStrategy->stickySelection;
    highlightStrategy->SetStickySelection(true);
    highlightStrategy->Do(path);
    highlightStrategy->SetStickySelection(sticky);
  });
}

void View3dOpenGlSG::UnSelect() {
  Guarded("Unrecognized Exception thrown from View3dOpenGlSG::UnSelect()", [&] { highlightStrategy->Undo(); });
}

bool View3dOpenGlSG::UnSelect(const RenderId& path) {
  // The text names EntityId although the argument is a path: hosts match
  // this exact text, so it stays.
  return Guarded("Unrecognized Exception thrown from View3dOpenGlSG::UnSelect( const EntityId& pick)",
                 [&] { return highlightStrategy->Undo(path); });
}

void View3dOpenGlSG::Highlight(const EntityId& entity) {
  ForwardEntity(entity, [this](const RenderId& path) { Highlight(path); });
}

void View3dOpenGlSG::UnHighlight(const EntityId& entity) {
  ForwardEntity(entity, [this](const RenderId& path) { UnHighlight(path); });
}

void View3dOpenGlSG::Select(const EntityId& entity) {
  ForwardEntity(entity, [this](const RenderId& path) { Select(path); });
}

void View3dOpenGlSG::UnSelect(const EntityId& entity) {
  ForwardEntity(entity, [this](const RenderId& path) { UnSelect(path); });
}

template <typename Forward>
void View3dOpenGlSG::ForwardEntity(const EntityId& entity, Forward&& forward) {
  RenderId path;
  buildRenderId(entity, path);
  forward(path);
}

// ---------------------------------------------------------------- view objects

ViewObjectManager* View3dOpenGlSG::GetViewObjectManager() { return viewObjectManager; }

void View3dOpenGlSG::AddMarkups(const std::vector<std::vector<double>>& coordinateLists) {
  if (viewObjectManager == nullptr) return;
  auto* factory = dynamic_cast<AMarkupViewObject*>(viewObjectManager->Get(kMarkupFactoryName));
  if (factory == nullptr) return;
  for (const std::vector<double>& coordinates : coordinateLists) {
    if (coordinates.size() % 3 != 0 || coordinates.size() < 3)
      throw ViewError("Cannot add markup object, incorrect size of coordinates");
    AMarkupViewObject* markup = factory->CreateMarkup(static_cast<IViewObjectProvider*>(this), coordinates);
    if (markup == nullptr) continue;
    if (!viewObjectManager->Add(markup->Name(), markup)) {
      // The manager refused it (its name is taken): nobody else would free it.
      delete markup;
      continue;
    }
    markup->SetIsVisible(true);
  }
}

void View3dOpenGlSG::RemoveMarkups() {
  if (viewObjectManager == nullptr) return;
  const std::size_t count = viewObjectManager->Count();
  std::vector<AViewObject*> removals;
  for (std::size_t i = 0; i < count; ++i) {
    AViewObject* object = (*viewObjectManager)[i];
    if (object == nullptr || dynamic_cast<AMarkupViewObject*>(object) == nullptr) continue;
    if (object->Name() == kMarkupFactoryName) continue;
    removals.push_back(object);
  }
  for (AViewObject* object : removals) {
    object->Clear();
    viewObjectManager->Remove(object);
    delete object;
  }
}

void View3dOpenGlSG::DrawArrow(const std::vector<double>&, const std::vector<double>&) {
  throw ViewError("View3dOpenGlSG::DrawArrow not implemented yet!");
}

ATextManager* View3dOpenGlSG::GetTextManager() { return textManager; }

void View3dOpenGlSG::RenderingOptionsNotify(IRenderingOptions* options) {
  auto* renderingOptions = dynamic_cast<RenderingOptions*>(options);
  if (renderingOptions == nullptr) return;
  if (filterManager != nullptr) filterManager->Synchronize(*renderingOptions);
}

}  // namespace NimboView3dOpenGLSG
