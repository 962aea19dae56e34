// The closest-format choice on hand-made format lists, without EGL.

#include "PixelFormat.h"
#include "Win32Expect.h"

namespace {

using platform::detail::PixelFormat;

constexpr DWORD kWindowGL = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;

PIXELFORMATDESCRIPTOR Format(BYTE colour, BYTE alpha, BYTE depth, BYTE stencil,
                             DWORD flags = kWindowGL | PFD_DOUBLEBUFFER, BYTE type = PFD_TYPE_RGBA) {
  PIXELFORMATDESCRIPTOR pfd = RgbaRequest(colour, depth);
  pfd.dwFlags = flags;
  pfd.iPixelType = type;
  pfd.cAlphaBits = alpha;
  pfd.cStencilBits = stencil;
  return pfd;
}

TEST(PixelFormatChoiceTest, PicksTheClosestOfferedFormatOrNone) {
  const std::vector<PIXELFORMATDESCRIPTOR> offered = {
      Format(16, 0, 16, 0), Format(24, 0, 24, 8), Format(24, 8, 24, 8),
      Format(24, 0, 0, 0),  Format(24, 0, 32, 0), Format(24, 0, 24, 0, kWindowGL) /* single buffered */};
  const struct {
    const char* name;
    PIXELFORMATDESCRIPTOR request;
    int expected;
  } cases[] = {{"ExactMatch", Format(24, 8, 24, 8), 3},
               {"DeepestDepthWhenAskedForMore", Format(24, 0, 48, 0), 5},
               {"NoDepthPrefersNone", Format(24, 0, 0, 0), 4},
               {"StencilRequested", Format(24, 0, 24, 8), 2},
               {"DoubleBufferedPreferred", Format(24, 0, 24, 0), 2},
               {"ColourIndexFitsNothing", Format(8, 0, 16, 0, kWindowGL | PFD_DOUBLEBUFFER, PFD_TYPE_COLORINDEX), 0},
               {"BitmapDrawingFitsNothing", Format(24, 0, 24, 0, PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL), 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(PixelFormat::ChooseClosest(offered, c.request), c.expected) << c.name;
  }
  EXPECT_EQ(PixelFormat::ChooseClosest({}, Format(24, 0, 24, 0)), 0) << "an empty list";
}

}  // namespace
