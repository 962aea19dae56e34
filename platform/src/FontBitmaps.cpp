#include "FontBitmaps.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <vector>

namespace platform::detail {
namespace {

struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

struct ConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
using ConfigPtr = std::unique_ptr<FcConfig, ConfigDeleter>;

// Our own fontconfig configuration, loaded once and released at exit, so
// that nothing of fontconfig's outlives the process unaccounted for.
FcConfig* FontConfiguration() {
  static ConfigPtr config(FcInitLoadConfigAndFonts());
  return config.get();
}

struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
using LibraryPtr = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;

struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<FT_FaceRec_, FaceDeleter>;

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  for (wchar_t wc : text) {
    const auto c = static_cast<std::uint32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Sets the face's size from a logical font height: negative is the
// character (em) height, positive the cell height, zero a default.
bool SetPixelHeight(FT_Face face, int logicalHeight) {
  FT_UInt pixels = 16;
  if (logicalHeight < 0) {
    pixels = static_cast<FT_UInt>(-logicalHeight);
  } else if (logicalHeight > 0) {
    const long cell = face->ascender - face->descender;
    pixels = cell > 0 ? static_cast<FT_UInt>(static_cast<long>(logicalHeight) * face->units_per_EM / cell)
                      : static_cast<FT_UInt>(logicalHeight);
  }
  return FT_Set_Pixel_Sizes(face, 0, pixels > 0 ? pixels : 1) == 0;
}

// One glyph as glBitmap wants it: rows bottom to top, byte aligned.
void CompileGlyph(FT_Face face, FT_ULong character, GLuint list) {
  std::vector<GLubyte> rows;
  GLsizei width = 0;
  GLsizei height = 0;
  GLfloat xOrigin = 0.0f;
  GLfloat yOrigin = 0.0f;
  GLfloat advance = 0.0f;
  if (FT_Load_Char(face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
    const FT_GlyphSlot glyph = face->glyph;
    const FT_Bitmap& bitmap = glyph->bitmap;
    width = static_cast<GLsizei>(bitmap.width);
    height = static_cast<GLsizei>(bitmap.rows);
    xOrigin = static_cast<GLfloat>(-glyph->bitmap_left);
    yOrigin = static_cast<GLfloat>(height - glyph->bitmap_top);
    advance = static_cast<GLfloat>(glyph->advance.x) / 64.0f;
    const int rowBytes = (width + 7) / 8;
    rows.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      const unsigned char* source = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
      std::copy(source, source + rowBytes, rows.begin() + static_cast<long>(height - 1 - y) * rowBytes);
    }
  }
  glNewList(list, GL_COMPILE);
  glBitmap(width, height, xOrigin, yOrigin, advance, 0.0f, rows.empty() ? nullptr : rows.data());
  glEndList();
}

}  // namespace

std::string FontBitmaps::MatchFile(const HFONT__& font, int& faceIndex) {
  FcConfig* config = FontConfiguration();
  if (config == nullptr) return {};
  PatternPtr pattern(FcPatternCreate());
  const std::string family = ToUtf8(font.faceName);
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (font.weight > 0) FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(font.weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  // fontconfig answers with its closest face, so an unknown name still
  // yields the default face.
  PatternPtr match(FcFontMatch(config, pattern.get(), &result));
  if (!match) return {};
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return {};
  faceIndex = 0;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &faceIndex);
  return reinterpret_cast<const char*>(file);
}

bool FontBitmaps::Build(const HFONT__& font, DWORD first, DWORD count, DWORD listBase) {
  int faceIndex = 0;
  const std::string file = MatchFile(font, faceIndex);
  if (file.empty()) return false;

  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return false;
  LibraryPtr library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), file.c_str(), faceIndex, &rawFace) != 0) return false;
  // The face must go before its library: declared after it, destroyed first.
  FacePtr face(rawFace);
  if (!SetPixelHeight(face.get(), font.height)) return false;

  // glBitmap copies the image at compile time with the current unpack
  // state; use tightly packed rows and leave the caller's state as it was.
  GLint unpackBuffer = 0;
  glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
  if (unpackBuffer != 0) glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
  for (DWORD i = 0; i < count; ++i) CompileGlyph(face.get(), first + i, listBase + i);
  glPopClientAttrib();
  if (unpackBuffer != 0) glBindBuffer(GL_PIXEL_UNPACK_BUFFER, static_cast<GLuint>(unpackBuffer));
  return true;
}

}  // namespace platform::detail
