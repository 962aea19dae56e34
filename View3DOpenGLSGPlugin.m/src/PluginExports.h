// The plug-in's three entry points, exported under undecorated names: all a
// host needs to identify the plug-in and obtain its factory.
#ifndef NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_PLUGINEXPORTS_H
#define NIMBO_VIEW3DOPENGLSGPLUGIN_M_SRC_PLUGINEXPORTS_H

#if defined(_WIN32)
#define NIMBO_PLUGIN_EXPORT __declspec(dllexport)
#else
#define NIMBO_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

class APluginFactory;

extern "C" {
// A new factory, owned by the caller (deleted through its virtual destructor).
NIMBO_PLUGIN_EXPORT APluginFactory* CreatePlugin();
// "View3dOpenGlSG"; the same static text on every call.
NIMBO_PLUGIN_EXPORT const char* GetPluginName();
// "View3D"; the same static text on every call.
NIMBO_PLUGIN_EXPORT const char* GetPluginType();
}

#endif
