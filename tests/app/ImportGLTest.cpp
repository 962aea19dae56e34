// Model import: small OBJ, STL and PLY files become the right parts, with
// their colours and transparency; bad files fail cleanly, naming the file.
#include <gtest/gtest.h>

#include <string>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

class ImportGLTest : public ::testing::Test {
 protected:
  // The part lines of `render --list-parts`.
  std::vector<std::string> Parts(const std::string& model) {
    const Result result = scratch.Run({"render", model, "-o", "out.png", "--size", "200x150",
                                       "--azimuth", "0", "--elevation", "0", "--list-parts"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(result.out.substr(start, end - start));
    }
    return lines;
  }

  Scratch scratch;
};

bool Has(const std::string& line, const std::string& fragment) {
  return line.find(fragment) != std::string::npos;
}

TEST_F(ImportGLTest, ObjObjectsBecomePartsWithMaterialColourAndOpacity) {
  scratch.Write("two.mtl", "newmtl red\nKd 1 0 0\nd 1\nnewmtl glass\nKd 0 0 1\nd 0.5\n");
  const std::string obj = scratch.Write(
      "two.obj",
      "mtllib two.mtl\n"
      "v -2 -1 0\nv -0.2 -1 0\nv -0.2 1 0\nv -2 1 0\n"
      "v 0.2 -1 0\nv 2 -1 0\nv 2 1 0\nv 0.2 1 0\n"
      "o left\nusemtl red\nf 1 2 3 4\n"
      "o right\nusemtl glass\nf 5 6 7 8\n");
  const std::vector<std::string> parts = Parts(obj);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(Has(parts[0], "\"model\":1,\"part\":1,\"name\":\"left\"")) << parts[0];
  EXPECT_TRUE(Has(parts[0], "\"color\":[255,0,0,255],\"transparent\":false,\"triangles\":2")) << parts[0];
  EXPECT_TRUE(Has(parts[1], "\"part\":2,\"name\":\"right\"")) << parts[1];
  EXPECT_TRUE(Has(parts[1], "\"color\":[0,0,255,128],\"transparent\":true")) << parts[1];

  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  const Rgba left = image.At(60, 75);
  EXPECT_GT(left[0], 150);
  EXPECT_LT(left[2], 60);
}

TEST_F(ImportGLTest, TransparentMaterialLetsTheBackgroundThrough) {
  scratch.Write("glass.mtl", "newmtl glass\nKd 0 0 1\nd 0.5\n");
  const std::string obj = scratch.Write(
      "glass.obj", "mtllib glass.mtl\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nusemtl glass\nf 1 2 3 4\n");
  const Result result = scratch.Run({"render", obj, "-o", "out.png", "--size", "200x150", "--azimuth",
                                     "0", "--elevation", "0", "--background", "#000000"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const Rgba middle = platform::ReadPng(scratch.Path("out.png")).At(100, 75);
  EXPECT_GT(middle[2], 40) << "blue shows";
  EXPECT_LT(middle[2], 200) << "but blended with the black behind it";
  EXPECT_LT(middle[0] + middle[1], 60);
}

TEST_F(ImportGLTest, ObjLinesAndPointsGoToTheCurveAndPointCategories) {
  const std::string obj = scratch.Write(
      "wire.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\no wire\nl 1 2 3\np 4\n");
  const std::vector<std::string> parts = Parts(obj);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Has(parts[0], "\"triangles\":0,\"segments\":2,\"points\":1")) << parts[0];
}

TEST_F(ImportGLTest, StlSolidIsOnePartOfItsFacets) {
  const std::string stl = scratch.Write(
      "square.stl",
      "solid square\n"
      " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 -1 0\n   vertex 1 1 0\n"
      "  endloop\n endfacet\n"
      " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 1 0\n   vertex -1 1 0\n"
      "  endloop\n endfacet\n"
      "endsolid square\n");
  const std::vector<std::string> parts = Parts(stl);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Has(parts[0], "\"transparent\":false,\"triangles\":2,\"segments\":0")) << parts[0];
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  EXPECT_FALSE(Near(image.At(100, 75), image.At(2, 2), 10)) << "the square covers the middle";
}

TEST_F(ImportGLTest, PlyVertexColoursGiveThePartItsColour) {
  const std::string ply = scratch.Write(
      "green.ply",
      "ply\nformat ascii 1.0\nelement vertex 3\n"
      "property float x\nproperty float y\nproperty float z\n"
      "property uchar red\nproperty uchar green\nproperty uchar blue\n"
      "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
      "-1 -1 0 0 255 0\n1 -1 0 0 255 0\n0 1 0 0 255 0\n3 0 1 2\n");
  const std::vector<std::string> parts = Parts(ply);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(Has(parts[0], "\"color\":[0,255,0,255],\"transparent\":false,\"triangles\":1")) << parts[0];
}

struct BadModel {
  const char* name;
  const char* file;
  const char* content;  // null: the file is not written
};

class BadModelTest : public ::testing::TestWithParam<BadModel> {};

TEST_P(BadModelTest, FailsNamingTheFile) {
  Scratch scratch;
  if (GetParam().content != nullptr) scratch.Write(GetParam().file, GetParam().content);
  const Result result = scratch.Run({"render", GetParam().file, "-o", "out.png", "--size", "64x48"});
  EXPECT_EQ(result.exitCode, 1) << "a clean failure, not a crash";
  EXPECT_NE(result.err.find(std::string("nimbo-view render: ") + GetParam().file + ":"), std::string::npos)
      << result.err;
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadModelTest,
    ::testing::Values(
        BadModel{"Missing", "absent.obj", nullptr},
        BadModel{"UnknownFormat", "notes.xyz123", "hello\n"},
        BadModel{"ObjWithoutGeometry", "empty.obj", "# nothing here\n"},
        BadModel{"ObjFaceOutOfRange", "broken.obj", "v 0 0 0\nf 1 2 3\n"},
        BadModel{"TruncatedPly", "cut.ply",
                 "ply\nformat binary_little_endian 1.0\nelement vertex 100\nproperty float x\n"
                 "property float y\nproperty float z\nend_header\n\x01\x02"},
        BadModel{"StlGarbage", "junk.stl", "solid x\n facet normal nonsense\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace apptest
