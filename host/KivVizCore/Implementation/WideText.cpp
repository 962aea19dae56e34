#include "WideText.h"

namespace KivVizCore::Implementation {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// One code unit as an unsigned value: wchar_t may be 16 or 32 bits, and
// signed.
char32_t CodeUnit(wchar_t unit) {
  if constexpr (sizeof(wchar_t) == 2) {
    return static_cast<char16_t>(unit);
  } else {
    return static_cast<char32_t>(unit);
  }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = CodeUnit(text[i]);
    if (IsHighSurrogate(unit) && i + 1 < text.size()) {
      const char32_t next = CodeUnit(text[i + 1]);
      if (IsLowSurrogate(next)) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      }
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || unit > 0x10FFFF) {
      unit = kReplacementCharacter;
    }
    AppendUtf8(out, unit);
  }
  return out;
}

std::wstring WidenBytes(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (const char byte : text) {
    out += static_cast<wchar_t>(static_cast<unsigned char>(byte));
  }
  return out;
}

}  // namespace KivVizCore::Implementation
