#include "KivVizOpenGL/TextManagerGL.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "GdiFontSelection.h"

namespace {

// The printable ASCII range gets a display list each; other characters are
// drawn as '?'.
constexpr DWORD kFirstCharacter = 32;
constexpr DWORD kCharacterCount = 96;
constexpr int kFontHeight = -14;
constexpr wchar_t FontFace[] = L"DejaVu Sans";

GLubyte ListOffset(wchar_t character) {
  const auto code = static_cast<std::uint32_t>(character);
  const std::uint32_t shown = code >= kFirstCharacter && code < kFirstCharacter + kCharacterCount ? code : '?';
  return static_cast<GLubyte>(shown - kFirstCharacter);
}

}  // namespace

TextManagerGL::TextManagerGL(HWND window) : window(window) {}

TextManagerGL::~TextManagerGL() {
  // The lists belong to their context: they can only be deleted while it is
  // current, and go with it otherwise.
  if (fontBase != 0 && fontContext != nullptr && wglGetCurrentContext() == fontContext && glIsList(fontBase)) {
    glDeleteLists(fontBase, kCharacterCount);
  }
}

void TextManagerGL::RenderText(const float position[3], const std::wstring& text) {
  if (text.empty() || !EnsureFont()) {
    return;
  }
  std::vector<GLubyte> lists;
  lists.reserve(text.size());
  for (const wchar_t character : text) {
    lists.push_back(ListOffset(character));
  }
  // The raster colour is the current colour only while lighting is off.
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIST_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glRasterPos3fv(position);
  glListBase(fontBase);
  glCallLists(static_cast<GLsizei>(lists.size()), GL_UNSIGNED_BYTE, lists.data());
  glPopAttrib();
}

bool TextManagerGL::IsFontAvailable() const { return EnsureFont(); }

bool TextManagerGL::EnsureFont() const {
  const HGLRC current = wglGetCurrentContext();
  if (current == nullptr) {
    return false;
  }
  // A context handle can be reused by a later context: the lists must still
  // exist too.
  if (current == fontContext && fontBase != 0 && glIsList(fontBase)) {
    return true;
  }
  fontContext = nullptr;
  fontBase = 0;
  const HDC dc = window != nullptr ? GetDC(window) : wglGetCurrentDC();
  // A window's device context goes back once the font is off it again.
  struct WindowDc {
    HWND window;
    HDC dc;
    ~WindowDc() {
      if (window != nullptr) ReleaseDC(window, dc);
    }
  } const windowDc{window, dc};
  const GLuint base = glGenLists(kCharacterCount);
  if (base == 0) {
    return false;
  }
  const KivVizOpenGL::GdiFontSelection font(dc, kFontHeight, FontFace);
  if (!font.IsSelected() || !wglUseFontBitmapsW(dc, kFirstCharacter, kCharacterCount, base)) {
    glDeleteLists(base, kCharacterCount);
    return false;
  }
  fontContext = current;
  fontBase = base;
  return true;
}
