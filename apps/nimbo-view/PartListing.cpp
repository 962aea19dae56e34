#include "PartListing.h"

#include <cstdio>
#include <sstream>

namespace nimboview {
namespace {

std::string Quoted(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 32 && c < 127) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c) & 0xffffu);
      out += escaped;
    }
  }
  return out + '"';
}

}  // namespace

std::string PartListing::Json(const Model& model, const Part& part) {
  std::ostringstream out;
  out << "{\"model\":" << model.id << ",\"part\":" << part.id << ",\"name\":" << Quoted(part.name)
      << ",\"color\":[" << int{part.color.red} << ',' << int{part.color.green} << ','
      << int{part.color.blue} << ',' << int{part.color.alpha}
      << "],\"transparent\":" << (part.color.IsOpaque() ? "false" : "true")
      << ",\"triangles\":" << part.surfaces.indices.size() / 3
      << ",\"segments\":" << part.curves.indices.size() / 2
      << ",\"points\":" << part.points.vertices.size() / 3 << '}';
  return out.str();
}

}  // namespace nimboview
