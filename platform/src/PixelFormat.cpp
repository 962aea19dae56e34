#include "PixelFormat.h"

#include <cstdlib>
#include <limits>

namespace platform::detail {
namespace {

EGLint Attribute(EGLDisplay display, EGLConfig config, EGLint name) {
  EGLint value = 0;
  eglGetConfigAttrib(display, config, name, &value);
  return value;
}

BYTE Bits(EGLint value) { return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value); }

// Distance between a requested and an offered bit count: having fewer bits
// than asked is worse than having more; asking for none prefers none.
long BitPenalty(int requested, int offered) {
  if (requested == 0) return offered;
  if (offered == 0) return 1000;
  if (offered < requested) return 100 + (requested - offered);
  return offered - requested;
}

}  // namespace

PIXELFORMATDESCRIPTOR PixelFormat::Describe(EGLDisplay display, EGLConfig config) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  // Every window can present through SwapBuffers, so every format is
  // double buffered from the caller's point of view.
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_SWAP_COPY;
  pfd.iPixelType = PFD_TYPE_RGBA;
  const EGLint red = Attribute(display, config, EGL_RED_SIZE);
  const EGLint green = Attribute(display, config, EGL_GREEN_SIZE);
  const EGLint blue = Attribute(display, config, EGL_BLUE_SIZE);
  const EGLint alpha = Attribute(display, config, EGL_ALPHA_SIZE);
  // Win32 counts colour bits without the alpha planes.
  pfd.cColorBits = Bits(red + green + blue);
  pfd.cRedBits = Bits(red);
  pfd.cGreenBits = Bits(green);
  pfd.cBlueBits = Bits(blue);
  pfd.cAlphaBits = Bits(alpha);
  pfd.cBlueShift = 0;
  pfd.cGreenShift = Bits(blue);
  pfd.cRedShift = Bits(blue + green);
  pfd.cAlphaShift = alpha > 0 ? Bits(red + green + blue) : 0;
  pfd.cDepthBits = Bits(Attribute(display, config, EGL_DEPTH_SIZE));
  pfd.cStencilBits = Bits(Attribute(display, config, EGL_STENCIL_SIZE));
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

int PixelFormat::ChooseClosest(const std::vector<PIXELFORMATDESCRIPTOR>& formats,
                               const PIXELFORMATDESCRIPTOR& request) {
  const DWORD required =
      request.dwFlags & (PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL);
  const bool wantsDepth = (request.dwFlags & PFD_DEPTH_DONTCARE) == 0;
  const bool wantsDouble =
      (request.dwFlags & PFD_DOUBLEBUFFER_DONTCARE) == 0 && (request.dwFlags & PFD_DOUBLEBUFFER) != 0;
  const bool wantsStereo = (request.dwFlags & PFD_STEREO_DONTCARE) == 0 && (request.dwFlags & PFD_STEREO) != 0;

  int best = 0;
  long bestPenalty = std::numeric_limits<long>::max();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const PIXELFORMATDESCRIPTOR& offer = formats[i];
    if (offer.iPixelType != request.iPixelType) continue;
    if ((offer.dwFlags & required) != required) continue;
    long penalty = 0;
    if (wantsDouble && (offer.dwFlags & PFD_DOUBLEBUFFER) == 0) penalty += 10000000;
    if (wantsStereo && (offer.dwFlags & PFD_STEREO) == 0) penalty += 10000000;
    // Colour matters most, then depth, then the rest, as a request lists them.
    penalty += 10000 * BitPenalty(request.cColorBits, offer.cColorBits);
    penalty += 100 * BitPenalty(request.cAlphaBits, offer.cAlphaBits);
    if (wantsDepth) penalty += 100 * BitPenalty(request.cDepthBits, offer.cDepthBits);
    penalty += 10 * BitPenalty(request.cStencilBits, offer.cStencilBits);
    penalty += BitPenalty(request.cAccumBits, offer.cAccumBits);
    penalty += BitPenalty(request.cAuxBuffers, offer.cAuxBuffers);
    if (penalty < bestPenalty) {
      bestPenalty = penalty;
      best = static_cast<int>(i) + 1;
    }
  }
  return best;
}

}  // namespace platform::detail
