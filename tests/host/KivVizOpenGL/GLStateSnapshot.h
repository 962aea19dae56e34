// The GL state a geometry item may touch while drawing, read back from the
// context, so that a test can tell that an item left everything as it found
// it.
#ifndef NIMBO_TESTS_KIVVIZOPENGL_GLSTATESNAPSHOT_H
#define NIMBO_TESTS_KIVVIZOPENGL_GLSTATESNAPSHOT_H

#include <array>
#include <iosfwd>

namespace NimboTest {

struct GLStateSnapshot {
  static GLStateSnapshot Capture();

  bool lighting = false;
  bool lineStipple = false;
  bool cullFace = false;
  bool texture2D = false;
  int cullFaceMode = 0;
  int matrixMode = 0;
  int lineStipplePattern = 0;
  int lineStippleRepeat = 0;
  int listBase = 0;
  float lineWidth = 0.0f;
  float pointSize = 0.0f;
  std::array<float, 4> color{};
  std::array<float, 3> normal{};
  std::array<float, 4> rasterPosition{};
  std::array<double, 16> modelview{};
  std::array<double, 16> projection{};
  int modelviewDepth = 0;
  int attributeDepth = 0;
  int clientAttributeDepth = 0;
  bool vertexArray = false;
  bool normalArray = false;
  bool colorArray = false;
  bool textureCoordArray = false;
  const void* vertexPointer = nullptr;
  const void* colorPointer = nullptr;

  bool operator==(const GLStateSnapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const GLStateSnapshot& state);

}  // namespace NimboTest

#endif
