#include "PluginExports.h"

#include "OpenGLSGPluginFactory.h"

extern "C" {

APluginFactory* CreatePlugin() { return new NimboView3dOpenGLSG::OpenGLSGPluginFactory(); }

const char* GetPluginName() {
  static const char name[] = "View3dOpenGlSG";
  return name;
}

const char* GetPluginType() {
  static const char type[] = "View3D";
  return type;
}
}
