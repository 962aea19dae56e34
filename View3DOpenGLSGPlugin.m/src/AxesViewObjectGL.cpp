#include "AxesViewObjectGL.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "KivVizCore/RGBAColor.h"
#include "KivVizCore/VectorMath.h"
#include "KivVizOpenGL/GeometryItemAxisGL.h"
#include "NimboCore/ACamera.h"
#include "NimboCore/ViewObjectManager.h"
#include "OverlaySubtree.h"
#include "View3dOpenGlSG.h"

namespace NimboView3dOpenGLSG {
namespace {

constexpr GLsizei kCornerSize = 100;
constexpr float kEyeDistance = 50.0f;

struct AxisLayout {
  std::uint64_t number;
  const wchar_t* label;
  RGBAColor color;
  // The arrow points along +Z; the rotation turns it onto its axis.
  bool rotated;
  double rotationAxis[3];
  double degrees;
};

const AxisLayout kAxes[] = {
    {1, L"X", RGBAColor(255, 0, 0, 200), true, {0.0, 1.0, 0.0}, 90.0},
    {2, L"Y", RGBAColor(0, 255, 0, 200), true, {1.0, 0.0, 0.0}, -90.0},
    {3, L"Z", RGBAColor(0, 0, 255, 200), false, {0.0, 0.0, 0.0}, 0.0},
};

}  // namespace

AxesViewObjectGL::AxesViewObjectGL(View3dOpenGlSG* view, const std::string& name)
    : AViewObject(name), view(view), xAxisItem(nullptr), yAxisItem(nullptr), zAxisItem(nullptr) {
  if (ViewObjectManager* manager = view->GetViewObjectManager()) parentNode = manager->GetNode();
}

AxesViewObjectGL::~AxesViewObjectGL() {
  OverlaySubtree::DeleteOwnNode(parentNode, id);
  xAxisItem = nullptr;
  yAxisItem = nullptr;
  zAxisItem = nullptr;
}

void AxesViewObjectGL::createGeometry() {
  // Without a manager's node there is nowhere to hang the triad.
  if (parentNode == nullptr) return;
  OverlaySubtree::Build("AxesViewObjectGL", [&] {
    node = OverlaySubtree::OpenOwnNode(*view, *parentNode, id, std::wstring(name.begin(), name.end()));

    GeometryItemAxisGL** items[] = {&xAxisItem, &yAxisItem, &zAxisItem};
    for (std::size_t i = 0; i < 3; ++i) {
      const AxisLayout& axis = kAxes[i];
      if (!view->OpenNode(axis.number)) view->CreateNode(axis.number, axis.label);
      double matrix[16];
      if (axis.rotated) {
        CreateRotationMatrixDegrees(axis.rotationAxis, axis.degrees, matrix);
      } else {
        AttributeTransform::SetIdentity(matrix);
      }
      view->SetNodeAttribute(new AttributeTransform(matrix));

      // Held here until a node takes it, so that a failure on the way frees it.
      auto item = std::make_unique<GeometryItemAxisGL>(axis.number, 100, 100, 4.5f, 3.0f, 0.8f, 1.2f, axis.label);
      item->SetColor(axis.color);
      OverlaySubtree::OpenGeometryNode(*view, axis.number);
      GeometryItemAxisGL* added = item.get();
      view->AddGeometry(item.release());
      view->CloseNode();
      *items[i] = added;
      view->CloseNode();
    }

    OverlaySubtree::CloseOwnNode(*view);
    isGeometryCreated = true;
  });
}

void AxesViewObjectGL::deleteGeometry() {
  OverlaySubtree::DeleteOwnNode(parentNode, id);
  // The node went with the subtree; drawing it would touch freed memory.
  node = nullptr;
  xAxisItem = nullptr;
  yAxisItem = nullptr;
  zAxisItem = nullptr;
}

void AxesViewObjectGL::draw() {
  glViewport(0, 0, kCornerSize, kCornerSize);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-10.0, 10.0, -10.0, 10.0, -100.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glClear(GL_DEPTH_BUFFER_BIT);

  // The triad's eye looks at the origin from where the main camera looks at
  // its target, always at the same distance.
  float position[3] = {0.0f, 0.0f, 0.0f};
  float target[3] = {0.0f, 0.0f, 0.0f};
  float up[3] = {0.0f, 1.0f, 0.0f};
  view->GetCamera()->GetLookAt(position, target, up);
  float eye[3];
  Subtract(position, target, eye);
  if (Normalize(eye) == 0.0f) {
    // An eye on its target has no direction; show the triad from the front.
    eye[0] = 0.0f;
    eye[1] = 0.0f;
    eye[2] = 1.0f;
  }
  Multiply(eye, kEyeDistance);
  float center[3];
  ClearVector(center);
  gluLookAt(eye[0], eye[1], eye[2], center[0], center[1], center[2], up[0], up[1], up[2]);

  view->RenderNode(node, false, false);
  glPopMatrix();
}

}  // namespace NimboView3dOpenGLSG
