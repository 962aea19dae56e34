// The closest-format choice on hand-made format lists, without EGL.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "PixelFormat.h"

namespace {

using platform::detail::PixelFormat;

PIXELFORMATDESCRIPTOR Format(BYTE colour, BYTE alpha, BYTE depth, BYTE stencil,
                             DWORD flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                                           PFD_DOUBLEBUFFER) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colour;
  pfd.cAlphaBits = alpha;
  pfd.cDepthBits = depth;
  pfd.cStencilBits = stencil;
  return pfd;
}

const std::vector<PIXELFORMATDESCRIPTOR> kOffered = {
    Format(16, 0, 16, 0),                                   // 1
    Format(24, 0, 24, 8),                                   // 2
    Format(24, 8, 24, 8),                                   // 3
    Format(24, 0, 0, 0),                                    // 4
    Format(24, 0, 32, 0),                                   // 5
    Format(24, 0, 24, 0, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL),  // 6: single buffered
};

struct Choice {
  std::string name;
  PIXELFORMATDESCRIPTOR request;
  int expected;
};

void PrintTo(const Choice& choice, std::ostream* out) { *out << choice.name; }

class PixelFormatChoiceTest : public ::testing::TestWithParam<Choice> {};

TEST_P(PixelFormatChoiceTest, PicksTheClosestFormat) {
  EXPECT_EQ(PixelFormat::ChooseClosest(kOffered, GetParam().request), GetParam().expected);
}

PIXELFORMATDESCRIPTOR WithFlags(PIXELFORMATDESCRIPTOR pfd, DWORD flags) {
  pfd.dwFlags = flags;
  return pfd;
}

PIXELFORMATDESCRIPTOR ColourIndex() {
  PIXELFORMATDESCRIPTOR pfd = Format(8, 0, 16, 0);
  pfd.iPixelType = PFD_TYPE_COLORINDEX;
  return pfd;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PixelFormatChoiceTest,
    ::testing::Values(
        Choice{"ExactMatch", Format(24, 8, 24, 8), 3},
        Choice{"DeepestDepthWhenAskedForMore", Format(24, 0, 48, 0), 5},
        Choice{"ThirtyTwoBitDepth", Format(24, 0, 32, 0), 5},
        Choice{"SixteenBitColour", Format(16, 0, 32, 0), 1},
        Choice{"NoDepthPrefersNone", Format(24, 0, 0, 0), 4},
        Choice{"StencilRequested", Format(24, 0, 24, 8), 2},
        Choice{"AlphaRequested", Format(24, 8, 16, 0), 3},
        Choice{"DoubleBufferedPreferred",
               WithFlags(Format(24, 0, 24, 0), PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                                                   PFD_DOUBLEBUFFER),
               2},
        Choice{"ColourIndexFitsNothing", ColourIndex(), 0},
        Choice{"BitmapDrawingFitsNothing",
               WithFlags(Format(24, 0, 24, 0), PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL), 0}),
    [](const ::testing::TestParamInfo<Choice>& info) { return info.param.name; });

TEST(PixelFormatChoice, EmptyListChoosesNothing) {
  EXPECT_EQ(PixelFormat::ChooseClosest({}, Format(24, 0, 24, 0)), 0);
}

}  // namespace
