#include "RecordingItem.h"

#include <GL/gl.h>

namespace plugintest {

void RecordingItem::Display(AView3DAdapter*) {
  DrawRecord record;
  record.item = ID();
  record.cullEnabled = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
  glGetIntegerv(GL_CULL_FACE_MODE, &record.cullMode);
  glGetFloatv(GL_CURRENT_COLOR, record.color);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &record.attribDepth);
  glGetIntegerv(GL_NAME_STACK_DEPTH, &record.nameDepth);
  double modelView[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  for (int i = 0; i < 3; ++i) record.translation[i] = modelView[12 + i];
  log.push_back(record);
}

}  // namespace plugintest
