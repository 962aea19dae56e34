#include "GLStateSnapshot.h"

#include <windows.h>

#include <GL/gl.h>

#include <ostream>

namespace NimboTest {

namespace {

int Integer(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

bool Enabled(GLenum capability) { return glIsEnabled(capability) == GL_TRUE; }

template <typename T, std::size_t N>
std::ostream& operator<<(std::ostream& out, const std::array<T, N>& values) {
  for (const T& value : values) out << value << ',';
  return out;
}

}  // namespace

GLStateSnapshot GLStateSnapshot::Capture() {
  GLStateSnapshot s;
  s.lighting = Enabled(GL_LIGHTING);
  s.lineStipple = Enabled(GL_LINE_STIPPLE);
  s.cullFace = Enabled(GL_CULL_FACE);
  s.texture2D = Enabled(GL_TEXTURE_2D);
  s.cullFaceMode = Integer(GL_CULL_FACE_MODE);
  s.matrixMode = Integer(GL_MATRIX_MODE);
  s.lineStipplePattern = Integer(GL_LINE_STIPPLE_PATTERN);
  s.lineStippleRepeat = Integer(GL_LINE_STIPPLE_REPEAT);
  s.listBase = Integer(GL_LIST_BASE);
  glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
  glGetFloatv(GL_POINT_SIZE, &s.pointSize);
  glGetFloatv(GL_CURRENT_COLOR, s.color.data());
  glGetFloatv(GL_CURRENT_NORMAL, s.normal.data());
  glGetFloatv(GL_CURRENT_RASTER_POSITION, s.rasterPosition.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview.data());
  glGetDoublev(GL_PROJECTION_MATRIX, s.projection.data());
  s.modelviewDepth = Integer(GL_MODELVIEW_STACK_DEPTH);
  s.attributeDepth = Integer(GL_ATTRIB_STACK_DEPTH);
  s.clientAttributeDepth = Integer(GL_CLIENT_ATTRIB_STACK_DEPTH);
  s.vertexArray = Enabled(GL_VERTEX_ARRAY);
  s.normalArray = Enabled(GL_NORMAL_ARRAY);
  s.colorArray = Enabled(GL_COLOR_ARRAY);
  s.textureCoordArray = Enabled(GL_TEXTURE_COORD_ARRAY);
  GLvoid* pointer = nullptr;
  glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
  s.vertexPointer = pointer;
  glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
  s.colorPointer = pointer;
  return s;
}

std::ostream& operator<<(std::ostream& out, const GLStateSnapshot& s) {
  return out << "lighting=" << s.lighting << " stipple=" << s.lineStipple << '/' << s.lineStipplePattern << '/'
             << s.lineStippleRepeat << " cull=" << s.cullFace << '/' << s.cullFaceMode << " texture2D=" << s.texture2D
             << " matrixMode=" << s.matrixMode << " listBase=" << s.listBase << " lineWidth=" << s.lineWidth
             << " pointSize=" << s.pointSize << " color=" << s.color << " normal=" << s.normal
             << " raster=" << s.rasterPosition << " modelview=" << s.modelview << " projection=" << s.projection
             << " stacks=" << s.modelviewDepth << '/' << s.attributeDepth << '/' << s.clientAttributeDepth
             << " arrays=" << s.vertexArray << s.normalArray << s.colorArray << s.textureCoordArray
             << " pointers=" << s.vertexPointer << '/' << s.colorPointer;
}

}  // namespace NimboTest
