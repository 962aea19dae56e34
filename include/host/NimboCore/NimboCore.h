// Forward declarations of the host core, for headers that only pass pointers
// and references around.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_NIMBOCORE_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_NIMBOCORE_H

class ACamera;
class AMarkupViewObject;
class APluginFactory;
class AView3D;
class AView3DControllerAdapter;
class AViewObject;
class Controller;
class ICameraProvider;
class IControllerListener;
class IControllerProvider;
class IViewObjectProvider;
class IViewOp;
class MarkupFactory;
class MarkupViewObject;
class PluginLoader;
class Settings;
class ViewObjectManager;
class ViewOp;
class ViewOpRayPick;

#endif
