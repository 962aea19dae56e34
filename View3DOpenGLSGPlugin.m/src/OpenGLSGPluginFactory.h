// The plug-in's factory: names and describes the plug-in and creates its one
// product, a ready-wired OpenGL scene-graph view.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_OPENGLSGPLUGINFACTORY_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_OPENGLSGPLUGINFACTORY_H

#include "NimboCore/APluginFactory.h"

namespace NimboView3dOpenGLSG {

class OpenGLSGPluginFactory : public APluginFactory {
 public:
  OpenGLSGPluginFactory();
  ~OpenGLSGPluginFactory() override;

  AView3D* createInstance() override;
  void* createOptional() override;
  void doLoad() override;
};

}  // namespace NimboView3dOpenGLSG

#endif
