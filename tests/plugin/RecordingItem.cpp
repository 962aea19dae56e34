#include "RecordingItem.h"

#include <GL/gl.h>

namespace plugintest {

RecordingItem::~RecordingItem() {
  if (deletions_ != nullptr) ++*deletions_;
}

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
  record.translation[0] = modelView[12];
  record.translation[1] = modelView[13];
  record.translation[2] = modelView[14];
  log_.push_back(record);
}

}  // namespace plugintest
