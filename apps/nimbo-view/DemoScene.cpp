#include "DemoScene.h"

#include <cmath>

#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/RenderingOptions.h"
#include "NimboCore/IViewObjectProvider.h"
#include "SceneBuilder.h"
#include "ViewHost.h"

namespace nimboview {
namespace {

constexpr std::uint64_t kMarkedPart = 4;

// An axis-aligned box with flat-shaded faces.
Surfaces Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  Surfaces box;
  const float corners[2][3] = {{x0, y0, z0}, {x1, y1, z1}};
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const int u = (axis + 1) % 3;
      const int v = (axis + 2) % 3;
      const auto base = static_cast<std::uint32_t>(box.vertices.size() / 3);
      // Corners in an order that faces outwards on either side.
      const int order[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (int k = 0; k < 4; ++k) {
        const int a = side == 1 ? order[k][0] : order[k][1];
        const int b = side == 1 ? order[k][1] : order[k][0];
        float p[3];
        p[axis] = corners[side][axis];
        p[u] = corners[a][u];
        p[v] = corners[b][v];
        float n[3] = {0.0f, 0.0f, 0.0f};
        n[axis] = side == 1 ? 1.0f : -1.0f;
        box.vertices.insert(box.vertices.end(), p, p + 3);
        box.normals.insert(box.normals.end(), n, n + 3);
      }
      box.indices.insert(box.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
  }
  return box;
}

Part BoxPart(std::uint64_t id, const wchar_t* name, RGBAColor color, const float min[3], const float max[3]) {
  Part part;
  part.id = id;
  part.name = name;
  part.color = color;
  part.surfaces = Box(min[0], min[1], min[2], max[0], max[1], max[2]);
  return part;
}

Part Helix() {
  Part part;
  part.id = 6;
  part.name = L"helix";
  part.color = RGBAColor{255, 220, 40, 255};
  constexpr int kSegments = 120;
  constexpr float kRadius = 2.7f;
  for (int i = 0; i <= kSegments; ++i) {
    const float t = static_cast<float>(i) / kSegments;
    const float angle = t * 4.0f * 3.14159265f;
    part.curves.vertices.insert(part.curves.vertices.end(),
                                {kRadius * std::cos(angle), -0.4f + 2.0f * t, kRadius * std::sin(angle)});
    if (i > 0) {
      part.curves.indices.insert(part.curves.indices.end(),
                                 {static_cast<std::uint32_t>(i - 1), static_cast<std::uint32_t>(i)});
    }
  }
  return part;
}

Part PointGrid() {
  Part part;
  part.id = 7;
  part.name = L"points";
  part.color = RGBAColor{40, 230, 230, 255};
  for (int i = 0; i < 9; ++i) {
    for (int k = 0; k < 5; ++k) {
      part.points.vertices.insert(part.points.vertices.end(),
                                  {-2.4f + 0.6f * static_cast<float>(i), -0.45f, -1.6f + 0.8f * static_cast<float>(k)});
    }
  }
  return part;
}

}  // namespace

Model DemoScene::Build() {
  Model model;
  model.id = ModelId;
  model.name = L"demo";
  const float plateMin[3] = {-3.0f, -0.7f, -2.0f}, plateMax[3] = {3.0f, -0.5f, 2.0f};
  const float violetMin[3] = {-2.2f, -0.5f, -0.6f}, violetMax[3] = {-1.0f, 0.7f, 0.6f};
  const float glassMin[3] = {-0.6f, -0.5f, -0.6f}, glassMax[3] = {0.6f, 1.1f, 0.6f};
  const float markedMin[3] = {1.0f, -0.5f, -1.4f}, markedMax[3] = {2.0f, 0.5f, -0.4f};
  const float filteredMin[3] = {1.0f, -0.5f, 0.4f}, filteredMax[3] = {2.0f, 1.5f, 1.4f};
  model.parts.push_back(BoxPart(1, L"plate", RGBAColor{110, 120, 140, 255}, plateMin, plateMax));
  model.parts.push_back(BoxPart(2, L"violet block", RGBAColor{140, 70, 200, 255}, violetMin, violetMax));
  model.parts.push_back(BoxPart(3, L"glass", RGBAColor{60, 120, 255, 110}, glassMin, glassMax));
  model.parts.push_back(BoxPart(kMarkedPart, L"marked block", RGBAColor{40, 170, 60, 255}, markedMin, markedMax));
  Part filtered = BoxPart(5, L"filtered tower", RGBAColor{230, 230, 230, 255}, filteredMin, filteredMax);
  filtered.filterId = HiddenFilterId;
  filtered.hidden = true;
  model.parts.push_back(std::move(filtered));
  model.parts.push_back(Helix());
  model.parts.push_back(PointGrid());
  return model;
}

void DemoScene::AddTo(ViewHost& host) {
  SceneBuilder(host.Scene()).Add({Build()});
  RenderingOptions options;
  options.SetFilterVisible(HiddenFilterId, false);
  host.View().ApplyRenderingOptions(options);
  if (auto* provider = dynamic_cast<IViewObjectProvider*>(&host.View())) {
    provider->AddMarkups({{-1.6, 0.7, 0.0, -1.6, 1.8, 0.0, 0.0, 2.1, 0.0}, {1.5, 0.5, -0.9}});
  }
  // A list highlight is a lasting mark: hovering elsewhere leaves it.
  host.Scene().Highlight(std::vector<RenderId>{MarkedPath()});
}

RenderId DemoScene::MarkedPath() {
  return RenderId({1, ModelId, kMarkedPart, RenderingOptions::SurfacesCategoryId, SceneBuilder::GeometryNodeId},
                  RenderId::SceneOrigin);
}

}  // namespace nimboview
