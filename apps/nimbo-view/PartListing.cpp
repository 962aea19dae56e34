#include "PartListing.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
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

std::string PartListing::Quote(const std::string& bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 32) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string PartListing::Json(const Model& model, const Part& part) {
  std::ostringstream out;
  out << "{\"model\":" << model.id << ",\"part\":" << part.id << ",\"name\":" << Quoted(part.name) << ",\"color\":["
      << int{part.color.red} << ',' << int{part.color.green} << ',' << int{part.color.blue} << ','
      << int{part.color.alpha} << "],\"transparent\":" << (part.color.IsOpaque() ? "false" : "true")
      << ",\"triangles\":" << part.surfaces.indices.size() / 3 << ",\"segments\":" << part.curves.indices.size() / 2
      << ",\"points\":" << part.points.vertices.size() / 3;
  if (part.hidden) out << ",\"hidden\":true";
  out << '}';
  return out.str();
}

std::string PartListing::Summary(const Model& model, const std::string& file) {
  std::size_t triangles = 0;
  std::size_t segments = 0;
  std::size_t points = 0;
  std::array<float, 3> low;
  std::array<float, 3> high;
  low.fill(std::numeric_limits<float>::max());
  high.fill(std::numeric_limits<float>::lowest());
  const auto extend = [&](const std::vector<float>& vertices) {
    for (std::size_t i = 0; i + 2 < vertices.size(); i += 3) {
      for (std::size_t k = 0; k < 3; ++k) {
        low[k] = std::min(low[k], vertices[i + k]);
        high[k] = std::max(high[k], vertices[i + k]);
      }
    }
  };
  for (const Part& part : model.parts) {
    triangles += part.surfaces.indices.size() / 3;
    segments += part.curves.indices.size() / 2;
    points += part.points.vertices.size() / 3;
    extend(part.surfaces.vertices);
    extend(part.curves.vertices);
    extend(part.points.vertices);
  }
  std::ostringstream out;
  out << "{\"model\":" << model.id << ",\"file\":" << Quote(file) << ",\"parts\":" << model.parts.size()
      << ",\"triangles\":" << triangles << ",\"segments\":" << segments << ",\"points\":" << points;
  if (low[0] <= high[0]) {
    out << ",\"min\":[" << low[0] << ',' << low[1] << ',' << low[2] << "],\"max\":[" << high[0] << ',' << high[1] << ','
        << high[2] << ']';
  }
  out << '}';
  return out.str();
}

}  // namespace nimboview
