// Conversions between the scene's wide names and narrow text, whatever the
// width of wchar_t (UTF-16 with surrogate pairs, or UTF-32).
#ifndef NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_WIDETEXT_H
#define NIMBO_HOST_KIVVIZCORE_IMPLEMENTATION_WIDETEXT_H

#include <string>

namespace KivVizCore::Implementation {

// Invalid code units (lone surrogates, values past U+10FFFF) become U+FFFD.
std::string ToUtf8(const std::wstring& text);
// Each byte becomes one wide character: for ASCII names.
std::wstring WidenBytes(const std::string& text);

}  // namespace KivVizCore::Implementation

#endif
