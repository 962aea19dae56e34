#include "SceneBuilder.h"

#include <stdexcept>
#include <string>

#include "KivVizCore/AGeometryItemFactory.h"
#include "KivVizCore/AView3DAdapter.h"
#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/RenderingOptions.h"

namespace nimboview {
namespace {

// Pixels across a point of a point cloud: one pixel is lost on most screens.
constexpr float kPointSize = 4.0f;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

void SceneBuilder::Add(const std::vector<Model>& models) {
  scene.BeginScene(nullptr);
  try {
    for (const Model& model : models) {
      if (!scene.OpenNode(1) || !scene.CreateNode(model.id, model.name)) {
        throw std::runtime_error("cannot add model " + std::to_string(model.id) + " (" + Narrow(model.name) +
                                 ") to the scene");
      }
      for (const Part& part : model.parts) AddPart(part);
      scene.CloseAllNodes();
    }
  } catch (...) {
    scene.CloseAllNodes();
    scene.EndScene();
    throw;
  }
  scene.EndScene();
}

void SceneBuilder::AddPart(const Part& part) {
  if (!scene.CreateNode(part.id, part.name)) {
    throw std::runtime_error("cannot add part " + std::to_string(part.id) + " (" + Narrow(part.name) +
                             ") to the scene");
  }
  if (part.filterId) scene.SetFilterId(*part.filterId);
  AGeometryItemFactory& factory = *scene.GetGeometryItemFactory();
  // The geometry node owns each item from AddGeometry on.
  if (!part.surfaces.indices.empty() && OpenCategory(RenderingOptions::SurfacesCategoryId, part.color)) {
    scene.AddGeometry(factory.CreateTriangles(1, part.surfaces.vertices, part.surfaces.normals, part.surfaces.indices));
    scene.CloseNode();
    scene.CloseNode();
  }
  if (!part.curves.indices.empty() && OpenCategory(RenderingOptions::CurvesCategoryId, part.color)) {
    scene.AddGeometry(factory.CreateLines(1, part.curves.vertices, part.curves.indices));
    scene.CloseNode();
    scene.CloseNode();
  }
  if (!part.points.vertices.empty() && OpenCategory(RenderingOptions::PointsCategoryId, part.color)) {
    scene.AddGeometry(factory.CreatePoints(1, part.points.vertices, kPointSize));
    scene.CloseNode();
    scene.CloseNode();
  }
  scene.CloseNode();
}

bool SceneBuilder::OpenCategory(std::uint64_t category, const RGBAColor& color) {
  if (!scene.CreateNode(category, L"category")) return false;
  if (!scene.CreateGeoNode(GeometryNodeId, L"geometry")) {
    scene.CloseNode();
    return false;
  }
  // On the geometry node, so that a highlight (which recolours the picked
  // node) and the transparent passes both see it.
  scene.SetNodeAttribute(new AttributeColor(color));
  return true;
}

}  // namespace nimboview
