// Draws text with bitmap-font display lists made in the current GL context
// (made on first use, again for each new context).
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_TEXTMANAGERGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_TEXTMANAGERGL_H

#include <windows.h>

#include <string>

#include "KivVizCore/ATextManager.h"
#include "KivVizOpenGL/Export.h"

class KIVVIZOPENGL_EXPORT TextManagerGL : public ATextManager {
 public:
  // A null window uses the device context of whatever context is current.
  explicit TextManagerGL(HWND window);
  ~TextManagerGL() override;
  TextManagerGL(const TextManagerGL&) = delete;
  TextManagerGL& operator=(const TextManagerGL&) = delete;

  void RenderText(const float position[3], const std::wstring& text) override;
  bool IsFontAvailable() const override;

 private:
  bool EnsureFont() const;

  HWND window;
  // The context the lists were made in, and their first name.
  mutable HGLRC fontContext = nullptr;
  mutable unsigned int fontBase = 0;
};

#endif
