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

float Float(GLenum name) {
  GLfloat value = 0.0f;
  glGetFloatv(name, &value);
  return value;
}

const void* Pointer(GLenum name) {
  GLvoid* value = nullptr;
  glGetPointerv(name, &value);
  return value;
}

template <std::size_t N>
std::ostream& Print(std::ostream& out, const char* name, const std::array<float, N>& values) {
  out << ' ' << name << '=';
  for (float value : values) {
    out << value << ',';
  }
  return out;
}

}  // namespace

GLStateSnapshot GLStateSnapshot::Capture() {
  GLStateSnapshot state;
  state.lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
  state.lineStipple = glIsEnabled(GL_LINE_STIPPLE) == GL_TRUE;
  state.cullFace = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
  state.texture2D = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
  state.cullFaceMode = Integer(GL_CULL_FACE_MODE);
  state.matrixMode = Integer(GL_MATRIX_MODE);
  state.lineStipplePattern = Integer(GL_LINE_STIPPLE_PATTERN);
  state.lineStippleRepeat = Integer(GL_LINE_STIPPLE_REPEAT);
  state.listBase = Integer(GL_LIST_BASE);
  state.lineWidth = Float(GL_LINE_WIDTH);
  state.pointSize = Float(GL_POINT_SIZE);
  glGetFloatv(GL_CURRENT_COLOR, state.color.data());
  glGetFloatv(GL_CURRENT_NORMAL, state.normal.data());
  glGetFloatv(GL_CURRENT_RASTER_POSITION, state.rasterPosition.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, state.modelview.data());
  glGetDoublev(GL_PROJECTION_MATRIX, state.projection.data());
  state.modelviewDepth = Integer(GL_MODELVIEW_STACK_DEPTH);
  state.attributeDepth = Integer(GL_ATTRIB_STACK_DEPTH);
  state.clientAttributeDepth = Integer(GL_CLIENT_ATTRIB_STACK_DEPTH);
  state.vertexArray = glIsEnabled(GL_VERTEX_ARRAY) == GL_TRUE;
  state.normalArray = glIsEnabled(GL_NORMAL_ARRAY) == GL_TRUE;
  state.colorArray = glIsEnabled(GL_COLOR_ARRAY) == GL_TRUE;
  state.textureCoordArray = glIsEnabled(GL_TEXTURE_COORD_ARRAY) == GL_TRUE;
  state.vertexPointer = Pointer(GL_VERTEX_ARRAY_POINTER);
  state.colorPointer = Pointer(GL_COLOR_ARRAY_POINTER);
  return state;
}

std::ostream& operator<<(std::ostream& out, const GLStateSnapshot& state) {
  out << "lighting=" << state.lighting << " stipple=" << state.lineStipple << '/' << state.lineStipplePattern << '/'
      << state.lineStippleRepeat << " cull=" << state.cullFace << '/' << state.cullFaceMode
      << " texture2D=" << state.texture2D << " matrixMode=" << state.matrixMode << " listBase=" << state.listBase
      << " lineWidth=" << state.lineWidth << " pointSize=" << state.pointSize;
  Print(out, "color", state.color);
  Print(out, "normal", state.normal);
  Print(out, "raster", state.rasterPosition);
  out << " modelview[12..14]=" << state.modelview[12] << ',' << state.modelview[13] << ',' << state.modelview[14]
      << " projection[0]=" << state.projection[0] << " stacks=" << state.modelviewDepth << '/'
      << state.attributeDepth << '/' << state.clientAttributeDepth << " arrays=" << state.vertexArray
      << state.normalArray << state.colorArray << state.textureCoordArray << " pointers=" << state.vertexPointer
      << '/' << state.colorPointer;
  return out;
}

}  // namespace NimboTest
