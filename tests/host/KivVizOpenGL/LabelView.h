// A TestView that also hands out a text manager, as a real view does, so
// that an axis item finds the font for its label.
#ifndef NIMBO_TESTS_KIVVIZOPENGL_LABELVIEW_H
#define NIMBO_TESTS_KIVVIZOPENGL_LABELVIEW_H

#include "KivVizCore/ITextManagerProvider.h"
#include "KivVizOpenGL/TextManagerGL.h"
#include "TestView.h"

namespace NimboTest {

class LabelView : public TestView, public ITextManagerProvider {
 public:
  ATextManager* GetTextManager() override { return &text; }

 private:
  TextManagerGL text{nullptr};
};

}  // namespace NimboTest

#endif
