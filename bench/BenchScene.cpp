#include "BenchScene.h"

#include <map>

namespace bench {

namespace {

constexpr double kExtentX = 16.0;
constexpr double kExtentY = 10.0;
// A node's mesh fills this share of its grid cell, so neighbours never touch.
constexpr double kFill = 0.9;

Mesh Grid(int columns, int rows, double width, double height) {
  Mesh mesh;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      mesh.vertices.push_back(static_cast<float>(width * c / columns - width / 2));
      mesh.vertices.push_back(static_cast<float>(height * r / rows - height / 2));
      mesh.vertices.push_back(0.0f);
      mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, 1.0f});
    }
  }
  const auto at = [columns](int c, int r) { return static_cast<std::uint32_t>(r * (columns + 1) + c); };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      mesh.indices.insert(mesh.indices.end(), {at(c, r), at(c + 1, r), at(c + 1, r + 1)});
      mesh.indices.insert(mesh.indices.end(), {at(c, r), at(c + 1, r + 1), at(c, r + 1)});
    }
  }
  return mesh;
}

// nodeColumns x nodeRows nodes, each a quadColumns x quadRows grid.
Scene NodeGrid(SceneKind kind, int nodeColumns, int nodeRows, int quadColumns, int quadRows) {
  Scene scene;
  scene.kind = kind;
  const double pitchX = kExtentX / nodeColumns;
  const double pitchY = kExtentY / nodeRows;
  scene.mesh = Grid(quadColumns, quadRows, pitchX * kFill, pitchY * kFill);
  scene.nodes.reserve(static_cast<std::size_t>(nodeColumns) * static_cast<std::size_t>(nodeRows));
  for (int row = 0; row < nodeRows; ++row) {
    for (int column = 0; column < nodeColumns; ++column) {
      const auto index = scene.nodes.size();
      scene.nodes.push_back(
          NodePlacement{index + 1,
                        (column + 0.5) * pitchX - kExtentX / 2,
                        (row + 0.5) * pitchY - kExtentY / 2,
                        {static_cast<std::uint8_t>(index * 7), static_cast<std::uint8_t>(index * 13), 200, 255}});
    }
  }
  return scene;
}

Scene MakeScene(SceneKind kind) {
  switch (kind) {
    case SceneKind::OneBigMesh: {
      Scene scene;
      scene.kind = kind;
      scene.mesh = Grid(1000, 500, kExtentX, kExtentY);
      scene.nodes.push_back(NodePlacement{1, 0.0, 0.0, {180, 180, 200, 255}});
      scene.translated = false;
      return scene;
    }
    case SceneKind::TenThousandNodes:
      return NodeGrid(kind, 125, 80, 10, 5);
    case SceneKind::HundredThousandNodes:
      return NodeGrid(kind, 400, 250, 5, 1);
  }
  return {};
}

}  // namespace

const Scene& GetScene(SceneKind kind) {
  static std::map<SceneKind, Scene> made;
  auto found = made.find(kind);
  if (found == made.end()) {
    found = made.emplace(kind, MakeScene(kind)).first;
  }
  return found->second;
}

std::string ShortName(SceneKind kind) {
  switch (kind) {
    case SceneKind::OneBigMesh:
      return "a";
    case SceneKind::TenThousandNodes:
      return "b";
    case SceneKind::HundredThousandNodes:
      return "c";
  }
  return "?";
}

}  // namespace bench
