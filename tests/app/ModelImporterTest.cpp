// What the importer makes of a file's faces: triangles become surfaces with
// unit normals, two-corner faces curves and one-corner faces points.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "ModelImporter.h"

namespace {

TEST(ModelImporterTest, FacesBecomeSurfacesCurvesOrPointsWithUnitNormals) {
  const std::filesystem::path file =
      std::filesystem::path(::testing::TempDir()) / ("nimbo-importer-" + std::to_string(getpid()) + ".obj");
  std::ofstream(file) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 2 3 4\nvn 0 0 3\n"
                         "f 1//1 2//1 3//1\nl 1 4\np 4\n";
  const nimboview::Model model = nimboview::ModelImporter::Import(file.string(), 9);
  std::filesystem::remove(file);

  ASSERT_EQ(model.id, 9u);
  std::vector<std::uint32_t> triangles, segments;
  std::vector<float> points;
  for (const nimboview::Part& part : model.parts) {
    triangles.insert(triangles.end(), part.surfaces.indices.begin(), part.surfaces.indices.end());
    segments.insert(segments.end(), part.curves.indices.begin(), part.curves.indices.end());
    points.insert(points.end(), part.points.vertices.begin(), part.points.vertices.end());
    for (const std::uint32_t corner : part.surfaces.indices) {
      const float* n = &part.surfaces.normals.at(3 * corner);
      EXPECT_FLOAT_EQ(std::hypot(n[0], n[1], n[2]), 1.0f) << "vertex " << corner << " of part " << part.id;
    }
  }
  EXPECT_EQ(triangles.size(), 3u);
  EXPECT_EQ(segments.size(), 2u);
  EXPECT_EQ(points, (std::vector<float>{2, 3, 4}));
}

}  // namespace
