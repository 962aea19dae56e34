// How a view's controller reaches the view it steers (to move its camera).
#ifndef NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEW3DCONTROLLERADAPTER_H
#define NIMBO_INCLUDE_HOST_NIMBOCORE_AVIEW3DCONTROLLERADAPTER_H

#include "NimboCore/Export.h"
#include "NimboCore/NimboCore.h"

class NIMBOCORE_EXPORT AView3DControllerAdapter {
 public:
  AView3DControllerAdapter(const AView3DControllerAdapter&) = delete;
  AView3DControllerAdapter& operator=(const AView3DControllerAdapter&) = delete;

  virtual ~AView3DControllerAdapter();
  // The view the controller steers; not owned.
  virtual void SetView3D(AView3D* view);
  // The view given to SetView3D, as the provider of its controller.
  virtual IControllerProvider* GetControllerProvider();

  AView3D* GetControlledView() const { return controlledView; }

 protected:
  AView3DControllerAdapter() = default;

 private:
  AView3D* controlledView = nullptr;
};

#endif
