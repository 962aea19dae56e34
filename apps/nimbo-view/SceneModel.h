// A scene as plain data, ready for the view: models made of parts, each part
// with its colour, an optional filter and up to three categories of geometry
// (points, curves, surfaces) in world coordinates.
#ifndef NIMBO_APPS_NIMBO_VIEW_SCENEMODEL_H
#define NIMBO_APPS_NIMBO_VIEW_SCENEMODEL_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "KivVizCore/RGBAColor.h"

namespace nimboview {

struct Surfaces {
  std::vector<float> vertices;         // x, y, z per vertex
  std::vector<float> normals;          // one per vertex
  std::vector<std::uint32_t> indices;  // three per triangle
};

struct Curves {
  std::vector<float> vertices;
  std::vector<std::uint32_t> indices;  // two per segment
};

struct Points {
  std::vector<float> vertices;
};

struct Part {
  std::uint64_t id = 0;
  std::wstring name;
  RGBAColor color{200, 200, 200, 255};
  std::optional<int> filterId;
  bool hidden = false;  // its filter is switched off in the view
  Surfaces surfaces;
  Curves curves;
  Points points;
};

struct Model {
  std::uint64_t id = 0;
  std::wstring name;
  std::vector<Part> parts;
};

}  // namespace nimboview

#endif
