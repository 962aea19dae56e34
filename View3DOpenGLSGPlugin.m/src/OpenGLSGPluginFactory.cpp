#include "OpenGLSGPluginFactory.h"

#include <memory>

#include "ApertureViewObjectGL.h"
#include "AxesViewObjectGL.h"
#include "NimboCore/Controller.h"
#include "NimboCore/ViewObjectManager.h"
#include "PluginExports.h"
#include "RubberbandViewObjectGLSG.h"
#include "View3dOpenGlSG.h"

namespace NimboView3dOpenGLSG {

OpenGLSGPluginFactory::OpenGLSGPluginFactory() { setName(GetPluginName()); }

OpenGLSGPluginFactory::~OpenGLSGPluginFactory() = default;

AView3D* OpenGLSGPluginFactory::createInstance() {
  // Held until it is handed over, so that a failed allocation below frees it.
  auto view = std::make_unique<View3dOpenGlSG>();

  // The manager owns each object from its Add on.
  auto* axes = new AxesViewObjectGL(view.get(), "AxesViewObject");
  view->GetViewObjectManager()->Add(axes->Name(), axes);

  auto* aperture = new ApertureViewObjectGL(view.get(), "Aperture", view->GetViewObjectManager()->GetNode());
  view->GetViewObjectManager()->Add(aperture->Name(), aperture);
  view->GetController()->AddListener(aperture);

  auto* rubberband = new RubberbandViewObjectGLSG(view.get(), "Rubberband", view->GetViewObjectManager()->GetNode());
  view->GetViewObjectManager()->Add(rubberband->Name(), rubberband);
  view->GetController()->AddListener(rubberband);

  // The axes follow the camera when they draw; they need no notifications.
  return view.release();
}

void* OpenGLSGPluginFactory::createOptional() { return nullptr; }

void OpenGLSGPluginFactory::doLoad() { setDescription(L"OpenGL Sorrel viewer."); }

}  // namespace NimboView3dOpenGLSG
