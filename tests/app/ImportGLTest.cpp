// Model import: small OBJ, STL and PLY files become the right parts, with
// their colours and transparency; bad files fail cleanly, naming the file.
#include <gtest/gtest.h>

#include <string>

#include "NimboViewProcess.h"

namespace apptest {
namespace {

class ImportGLTest : public ::testing::Test {
 protected:
  // The output of `render --list-parts`: one line per part.
  std::string Parts(const std::string& model) {
    const Result result = scratch.Run({"render", model, "-o", "out.png", "--size", "200x150", "--azimuth", "0",
                                       "--elevation", "0", "--background", "#000000", "--list-parts"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
  }

  Scratch scratch;
};

TEST_F(ImportGLTest, ObjObjectsBecomePartsWithMaterialColourAndOpacity) {
  scratch.Write("two.mtl", "newmtl red\nKd 1 0 0\nd 1\nnewmtl glass\nKd 0 0 1\nd 0.5\n");
  const std::string parts = Parts(scratch.Write("two.obj",
                                                "mtllib two.mtl\n"
                                                "v -2 -1 0\nv -0.2 -1 0\nv -0.2 1 0\nv -2 1 0\n"
                                                "v 0.2 -1 0\nv 2 -1 0\nv 2 1 0\nv 0.2 1 0\n"
                                                "o left\nusemtl red\nf 1 2 3 4\n"
                                                "o right\nusemtl glass\nf 5 6 7 8\n"));
  EXPECT_NE(parts.find("\"model\":1,\"part\":1,\"name\":\"left\""), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"color\":[255,0,0,255],\"transparent\":false,\"triangles\":2"), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"part\":2,\"name\":\"right\""), std::string::npos) << parts;
  EXPECT_NE(parts.find("\"color\":[0,0,255,128],\"transparent\":true"), std::string::npos) << parts;
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  EXPECT_GT(image.At(60, 75)[0], 150) << "the red part";
  EXPECT_LT(image.At(60, 75)[2], 60);
  const Rgba glass = image.At(140, 75);
  EXPECT_GT(glass[2], 40) << "blue shows";
  EXPECT_LT(glass[2], 200) << "but blended with the black behind it";
}

TEST_F(ImportGLTest, LinesPointsStlFacetsAndPlyVertexColoursBecomeParts) {
  EXPECT_NE(Parts(scratch.Write("wire.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\no wire\nl 1 2 3\np 4\n"))
                .find("\"triangles\":0,\"segments\":2,\"points\":1"),
            std::string::npos);
  const std::string stl = Parts(scratch.Write("square.stl",
                                              "solid square\n"
                                              " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 -1 0\n"
                                              "   vertex 1 1 0\n  endloop\n endfacet\n"
                                              " facet normal 0 0 1\n  outer loop\n   vertex -1 -1 0\n   vertex 1 1 0\n"
                                              "   vertex -1 1 0\n  endloop\n endfacet\n"
                                              "endsolid square\n"));
  EXPECT_NE(stl.find("\"transparent\":false,\"triangles\":2,\"segments\":0"), std::string::npos) << stl;
  const platform::Image image = platform::ReadPng(scratch.Path("out.png"));
  EXPECT_FALSE(Near(image.At(100, 75), image.At(2, 2), 10)) << "the square covers the middle";
  const std::string ply = Parts(scratch.Write("green.ply",
                                              "ply\nformat ascii 1.0\nelement vertex 3\n"
                                              "property float x\nproperty float y\nproperty float z\n"
                                              "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                                              "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
                                              "-1 -1 0 0 255 0\n1 -1 0 0 255 0\n0 1 0 0 255 0\n3 0 1 2\n"));
  EXPECT_NE(ply.find("\"color\":[0,255,0,255],\"transparent\":false,\"triangles\":1"), std::string::npos) << ply;
}

TEST_F(ImportGLTest, BadModelsFailCleanlyNamingTheFile) {
  const struct {
    const char* file;
    const char* content;  // null: the file is not written
  } cases[] = {{"absent.obj", nullptr},
               {"notes.xyz123", "hello\n"},
               {"empty.obj", "# nothing here\n"},
               {"broken.obj", "v 0 0 0\nf 1 2 3\n"},
               {"cut.ply",
                "ply\nformat binary_little_endian 1.0\nelement vertex 100\nproperty float x\n"
                "property float y\nproperty float z\nend_header\n\x01\x02"},
               {"junk.stl", "solid x\n facet normal nonsense\n"}};
  for (const auto& c : cases) {
    if (c.content != nullptr) scratch.Write(c.file, c.content);
    const Result result = scratch.Run({"render", c.file, "-o", "out.png", "--size", "64x48"});
    EXPECT_EQ(result.exitCode, 1) << c.file << ": a clean failure, not a crash";
    EXPECT_NE(result.err.find(std::string("nimbo-view render: ") + c.file + ":"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("out.png"))) << c.file;
  }
}

}  // namespace
}  // namespace apptest
