// The primary interface of a 3D view, as the host sees it. The order of the
// virtual operations is part of the host's binary contract. Besides the
// operations, the interface keeps the back-faces-visible flag and the scene
// bounds (centre and radius) that the projection is fitted to.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZCORE_IVIEW3D_H
#define NIMBO_INCLUDE_HOST_KIVVIZCORE_IVIEW3D_H

#include <windows.h>

#include <string>

#include "KivVizCore/Export.h"
#include "KivVizCore/KivVizCore.h"
#include "KivVizCore/RGBAColor.h"

class KIVVIZCORE_EXPORT IView3D {
 public:
  IView3D() = default;
  IView3D(const IView3D&) = delete;
  IView3D& operator=(const IView3D&) = delete;

  /*  0 */ virtual ~IView3D() = default;
  /*  1 */ virtual void Initialize(HWND window) = 0;
  /*  2 */ virtual HWND GetHandle() const = 0;
  /*  3 */ virtual void Uninitialize() = 0;
  /*  4 */ virtual bool IsInitialized() const = 0;
  /*  5 */ virtual void SetWindowSize(int width, int height) = 0;
  /*  6 */ virtual void GetWindowSize(float& width, float& height) const = 0;
  /*  7 */ virtual bool IsAvailable() const = 0;
  /*  8 */ virtual void ClearAll() = 0;
  // A plane a * x + b * y + c * z + d = 0 (equation a, b, c, d) in world
  // space; the side where the value is negative is cut away.
  /*  9 */ virtual void SetClipPlane(const double equation[4]) = 0;
  /* 10 */ virtual void UnSetClipPlane() = 0;
  /* 11 */ virtual AView3DAdapter* GetView3DAdapter() = 0;
  /* 12 */ virtual void ReservedOperation1() = 0;
  /* 13 */ virtual void ReservedOperation2() = 0;
  /* 14 */ virtual std::string GetStatistics() = 0;
  /* 15 */ virtual bool IsBusy() const = 0;
  /* 16 */ virtual void ApplyRenderingOptions(const RenderingOptions& options) = 0;
  /* 17 */ virtual void SetBackgroundColor1(const RGBAColor& color) = 0;
  /* 18 */ virtual void SetBackgroundColor2(const RGBAColor& color) = 0;
  /* 19 */ virtual RGBAColor GetBackgroundColor1() const = 0;
  /* 20 */ virtual RGBAColor GetBackgroundColor2() const = 0;
  /* 21 */ virtual bool IsBackFacesVisible() const;
  /* 22 */ virtual void SetBackFacesVisible(bool visible);
  /* 23 */ virtual void GetPointAtPixel(int x, int y, float& px, float& py, float& pz) = 0;
  /* 24 */ virtual void SetView3DAdapterImpl(AView3DAdapter* adapter) = 0;
  /* 25 */ virtual void Render() = 0;
  /* 26 */ virtual void Highlight(const EntityId& entity) = 0;
  /* 27 */ virtual void UnHighlight(const EntityId& entity) = 0;
  /* 28 */ virtual void RenderNode(GeoNode* node, bool pushNames, bool inTransparent) = 0;
  /* 29 */ virtual std::string GetGraphStructure() = 0;
  /* 30 */ virtual void Select(const EntityId& entity) = 0;
  /* 31 */ virtual void UnSelect(const EntityId& entity) = 0;

  void SetSceneBounds(const float center[3], float radius);
  void GetSceneBounds(float center[3], float& radius) const;

 protected:
  bool backFacesVisible = false;
  float sceneCenter[3] = {0.0f, 0.0f, 0.0f};
  float sceneRadius = 1.0f;
};

#endif
