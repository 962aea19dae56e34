#include "NimboCore/AView3DControllerAdapter.h"

#include "NimboCore/AView3D.h"

AView3DControllerAdapter::~AView3DControllerAdapter() = default;

void AView3DControllerAdapter::SetView3D(AView3D* view) { controlledView = view; }

IControllerProvider* AView3DControllerAdapter::GetControllerProvider() { return controlledView; }
