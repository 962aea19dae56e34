#include "ViewHost.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "NimboCore/ACamera.h"
#include "NimboCore/AViewObject.h"
#include "NimboCore/IViewObjectProvider.h"
#include "NimboCore/MainThread.h"
#include "NimboCore/MarkupFactory.h"
#include "NimboCore/ViewObjectManager.h"

namespace nimboview {

ViewHost::ViewHost(const std::string& pluginPath, platform::Window ownWindow)
    : loader(pluginPath, "View3D"), window(std::move(ownWindow)) {
  view = loader.CreateView();
  if (view == nullptr) throw std::runtime_error(pluginPath + ": the plug-in made no view");
  try {
    Nimbo_mainThreadId = GetCurrentThreadId();
    view->Initialize(window->Handle());
    view->SetWindowSize(window->Width(), window->Height());
    for (const char* name : {"Aperture", "Rubberband"}) {
      if (AViewObject* overlay = Overlay(name)) overlay->SetIsVisible(true);
    }
    if (auto* provider = dynamic_cast<IViewObjectProvider*>(view)) {
      provider->GetViewObjectManager()->Add(MarkupFactory::FactoryName, new MarkupFactory());
    }
  } catch (...) {
    view->Uninitialize();
    delete view;
    throw;
  }
}

ViewHost::~ViewHost() {
  view->Uninitialize();
  delete view;
  window.reset();
}

std::string ViewHost::DefaultPluginPath() {
  if (const char* path = std::getenv("NIMBO_VIEW_PLUGIN"); path != nullptr && *path != '\0') {
    return path;
  }
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "View3dOpenGlSG.so";
  const std::filesystem::path exe(std::string(self, static_cast<std::size_t>(length)));
  return (exe.parent_path() / NIMBO_VIEW_PLUGIN_FROM_BIN).lexically_normal().string();
}

AViewObject* ViewHost::Overlay(const std::string& name) {
  auto* provider = dynamic_cast<IViewObjectProvider*>(view);
  if (provider == nullptr || provider->GetViewObjectManager() == nullptr) return nullptr;
  return provider->GetViewObjectManager()->Get(name);
}

void ViewHost::Resize(int width, int height) {
  window->Resize(width, height);
  view->SetWindowSize(width, height);
}

void ViewHost::Fit() {
  view->UpdateSceneBounds();
  float center[3];
  float radius = 1.0f;
  view->GetSceneBounds(center, radius);
  view->GetCamera()->FitToSphere(center, radius);
}

void ViewHost::Aim(float azimuthDegrees, float elevationDegrees, std::optional<float> distance) {
  constexpr float kRadiansPerDegree = 3.14159265f / 180.0f;
  // Straight above or below, the up vector would be the view direction.
  const float elevation = std::clamp(elevationDegrees, -89.0f, 89.0f) * kRadiansPerDegree;
  const float azimuth = azimuthDegrees * kRadiansPerDegree;
  std::array<float, 3> front{0.0f, 0.0f, 1.0f};
  if (up[2] != 0.0f) front = {0.0f, -up[2], 0.0f};
  const std::array<float, 3> right{up[1] * front[2] - up[2] * front[1], up[2] * front[0] - up[0] * front[2],
                                   up[0] * front[1] - up[1] * front[0]};
  float direction[3];
  for (int i = 0; i < 3; ++i) {
    direction[i] = std::cos(elevation) * (std::sin(azimuth) * right[i] + std::cos(azimuth) * front[i]) +
                   std::sin(elevation) * up[i];
  }
  view->UpdateSceneBounds();
  float center[3];
  float radius = 1.0f;
  view->GetSceneBounds(center, radius);
  float eye[3];
  for (int i = 0; i < 3; ++i) eye[i] = center[i] + direction[i] * radius * 3.0f;
  ACamera& camera = *view->GetCamera();
  camera.SetLookAt(eye, center, up.data());
  camera.FitToSphere(center, radius);
  if (distance) {
    for (int i = 0; i < 3; ++i) eye[i] = center[i] + direction[i] * *distance;
    camera.SetLookAt(eye, center, up.data());
  }
}

void ViewHost::Render() {
  // A frame with a node open builds the overlays' nodes under it, where
  // deleting that node would leave them dangling: hosts close nodes first.
  if (view->GetCurrentOpenNode() != nullptr) view->CloseAllNodes();
  view->Render();
  rendered = true;
}

void ViewHost::EnsureRendered() {
  if (!rendered) Render();
}

}  // namespace nimboview
