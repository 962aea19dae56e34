// The host's base of a 3D view. It joins the view's interfaces (IView3D
// first, sharing the object's start; then the scene-building interface, the
// controller adapter and the camera, controller and listener interfaces) and
// implements the operations every view shares: the window handle, size and
// initialised flag, background colours, clip plane, display options, camera
// and controller, entity lookup and the common part of ClearAll.
//
// The constructor creates and owns the camera (perspective, 45 degrees,
// looking down -Z at the origin), the controller (on this view as its
// controller adapter) and the display options (every pick category on,
// every filter shown). Operations left pure are the view's own.
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEW3D_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEW3D_H

#include <windows.h>

#include <memory>
#include <string>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/IView3D.h"
#include "KivVizCore/RGBAColor.h"
#include "NimboCore/AView3DControllerAdapter.h"
#include "NimboCore/Export.h"
#include "NimboCore/ICameraProvider.h"
#include "NimboCore/IControllerListener.h"
#include "NimboCore/IControllerProvider.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT AView3D : public IView3D,
                                 public AView3DAdapter,
                                 public AView3DControllerAdapter,
                                 public ICameraProvider,
                                 public IControllerProvider,
                                 public IControllerListener {
 public:
  ~AView3D() override;

  // IView3D
  // Stores the handle.
  void Initialize(HWND window) override;
  HWND GetHandle() const override;
  // Clears the initialised flag.
  void Uninitialize() override;
  bool IsInitialized() const override;
  // Stores the size (as floats) and keeps the camera's viewport in step.
  void SetWindowSize(int width, int height) override;
  void GetWindowSize(float& width, float& height) const override;
  // Empties the open-node stack (its entries may point at nodes the view
  // just deleted), drops the libraries and resets the scene bounds.
  void ClearAll() override;
  void SetClipPlane(const double equation[4]) override;
  void UnSetClipPlane() override;
  // The adapter given to SetView3DAdapterImpl, else this view's own.
  AView3DAdapter* GetView3DAdapter() override;
  // Takes over the options' settings; the display options' listeners hear
  // of it.
  void ApplyRenderingOptions(const RenderingOptions& options) override;
  void SetBackgroundColor1(const RGBAColor& color) override;
  void SetBackgroundColor2(const RGBAColor& color) override;
  RGBAColor GetBackgroundColor1() const override;
  RGBAColor GetBackgroundColor2() const override;
  void SetView3DAdapterImpl(AView3DAdapter* adapter) override;
  // The scene structure text with details.
  std::string GetGraphStructure() override;

  // AView3DAdapter
  // This view.
  IView3D* GetView3D() override;
  std::string GetName() const override;
  RenderingOptions* GetDisplayOptions() override;
  // The entity whose node path this is (root, model, part, category,
  // element); an invalid entity when the path does not start at the root.
  void Convert(const RenderId& path, EntityId& entity) override;

  // ICameraProvider, IControllerProvider
  ACamera* GetCamera() override;
  Controller* GetController() override;

  // IControllerListener: the view is not one of its controller's listeners;
  // a host that registers it anyway gets nothing done.
  void ControllerNotify(IViewOp* op) override;

  // The node path of an entity: root id, then the entity's ids down to its
  // level, origin 1. Throws std::invalid_argument for an invalid entity.
  void buildRenderId(const EntityId& entity, RenderId& path) const;

  // Sets the scene bounds from the bounding boxes of the items under the
  // root (transforms applied, overlay subtree left out); a scene without
  // items gets the unit sphere at the origin.
  void UpdateSceneBounds();

  bool IsClipPlaneSet() const { return clipPlaneSet; }
  const double* GetClipPlane() const { return clipPlane; }

 protected:
  explicit AView3D(const std::string& name = "View3D");

  HWND windowHandle = nullptr;
  bool isInitialized = false;
  float windowWidth = 0.0f;
  float windowHeight = 0.0f;
  std::unique_ptr<ACamera> camera;
  std::unique_ptr<Controller> controller;
  std::unique_ptr<RenderingOptions> displayOptions;

 private:
  std::string viewName;
  RGBAColor backgroundColor1;
  RGBAColor backgroundColor2;
  double clipPlane[4] = {0.0, 0.0, 0.0, 0.0};
  bool clipPlaneSet = false;
  AView3DAdapter* adapterImpl = nullptr;
};

#endif
