#include "ModelFileCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace nimboview {
namespace {

constexpr std::string_view kGlbMagic = "glTF";
constexpr std::size_t kGlbHeaderBytes = 12;
constexpr std::size_t kGlbChunkHeaderBytes = 8;
constexpr std::size_t kStlTailBytes = 1024;
// JSON nesting beyond this is no glTF.
constexpr int kMaxJsonNesting = 64;

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Whether one PLY header line has a known keyword and as many words as it
// needs; comments may hold any text but control characters.
bool IsPlyHeaderLine(std::string_view line) {
  bool text = true;
  for (const char character : line) {
    const auto c = static_cast<unsigned char>(character);
    if (c < 0x20 && c != '\t') return false;
    text = text && c < 0x7f;
  }
  std::vector<std::string_view> words;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  if (words.empty()) return true;
  const std::string_view keyword = words[0];
  if (keyword == "comment" || keyword == "obj_info") return true;
  if (!text) return false;
  const auto isType = [](std::string_view word) {
    for (const std::string_view type : {"char", "uchar", "short", "ushort", "int", "uint", "float", "double", "int8",
                                        "uint8", "int16", "uint16", "int32", "uint32", "float32", "float64"}) {
      if (word == type) return true;
    }
    return false;
  };
  if (keyword == "format") {
    return words.size() == 3 &&
           (words[1] == "ascii" || words[1] == "binary_little_endian" || words[1] == "binary_big_endian");
  }
  if (keyword == "element")
    return words.size() == 3 && words[2].find_first_not_of("0123456789") == std::string_view::npos;
  if (keyword == "property" && words.size() == 5 && words[1] == "list") return isType(words[2]) && isType(words[3]);
  return keyword == "property" && words.size() == 3 && isType(words[1]);
}

std::string PlyFault(std::string_view head) {
  // end_header ends the header only as a line of its own.
  std::size_t end = head.find("\nend_header");
  while (end != std::string_view::npos && !head.substr(end + 11).starts_with('\n') &&
         !head.substr(end + 11).starts_with("\r\n")) {
    end = head.find("\nend_header", end + 1);
  }
  if (end == std::string_view::npos) {
    return "the PLY header has no end_header line in its first " +
           std::to_string(ModelFileCheck::MaxPlyHeaderBytes >> 10) + " KiB";
  }
  // The importer library loops for ever on some header lines it cannot read.
  const std::string_view header = head.substr(0, end + 1);
  int number = 1;
  for (std::size_t at = header.find('\n'); at != std::string_view::npos && at + 1 < header.size(); ++number) {
    const std::size_t next = std::min(header.find('\n', at + 1), header.size());
    std::string_view line = header.substr(at + 1, next - at - 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!IsPlyHeaderLine(line)) return "line " + std::to_string(number + 1) + " of the PLY header is malformed";
    at = next;
  }
  return {};
}

// An ASCII STL starts with "solid"; a binary one may too, but then its size
// is exactly that of its triangle count.
bool IsAsciiStl(std::string_view head, std::uintmax_t size) {
  if (!head.starts_with("solid")) return false;
  if (head.size() < 84) return true;
  return 84 + 50 * std::uintmax_t{LittleEndian32(head, 80)} != size;
}

// Where the chunk of JSON lies, or a fault.
std::string GlbFault(std::string_view header, std::uintmax_t size, std::uint64_t& jsonLength) {
  if (header.size() < kGlbHeaderBytes + kGlbChunkHeaderBytes) return "the GLB file is shorter than its header";
  const std::uint64_t claimed = LittleEndian32(header, 8);
  if (claimed > size) {
    return "the GLB header claims " + std::to_string(claimed) + " bytes, the file has " + std::to_string(size);
  }
  jsonLength = LittleEndian32(header, 12);
  if (jsonLength > claimed - std::min<std::uint64_t>(claimed, kGlbHeaderBytes + kGlbChunkHeaderBytes)) {
    return "the GLB's first chunk claims " + std::to_string(jsonLength) + " bytes, more than the file holds";
  }
  return {};
}

// Just enough JSON to follow glTF's "nodes" and their "children": it walks
// every value, keeping the children lists of the top-level "nodes" array.
class GltfNodes {
 public:
  explicit GltfNodes(std::string_view text) : text(text) {}

  // A fault in the JSON itself or in the node hierarchy's depth.
  std::string Fault() {
    if (!Value(0, Role::Top)) return {};  // malformed JSON: the importer names it
    return DepthFault();
  }

 private:
  enum class Role { Top, TopMember, Nodes, Node, Children, Other };

  void Skip() {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r' || text[at] == '\t')) ++at;
  }
  bool Eat(char c) {
    Skip();
    if (at < text.size() && text[at] == c) {
      ++at;
      return true;
    }
    return false;
  }
  bool String(std::string* out) {
    if (!Eat('"')) return false;
    for (; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\')
        ++at;
      else if (out != nullptr)
        out->push_back(text[at]);
    }
    return at++ < text.size();
  }
  bool Scalar(std::uint64_t* number) {
    Skip();
    const std::size_t start = at;
    while (at < text.size() && std::string_view(",]} \n\r\t").find(text[at]) == std::string_view::npos) ++at;
    if (number != nullptr) {
      std::uint64_t value = 0;
      for (std::size_t i = start; i < at; ++i) {
        if (text[i] < '0' || text[i] > '9' || value > (1u << 30)) return at > start;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
      }
      if (at > start) *number = value;
    }
    return at > start;
  }
  bool Value(int nesting, Role role) {
    if (nesting > kMaxJsonNesting) return false;
    Skip();
    if (at >= text.size()) return false;
    if (text[at] == '"') return String(nullptr);
    if (text[at] == '{') {
      ++at;
      if (role == Role::Node) children.emplace_back();
      if (Eat('}')) return true;
      do {
        std::string key;
        if (!String(&key) || !Eat(':')) return false;
        Role inner = Role::Other;
        if (role == Role::Top) inner = key == "nodes" ? Role::Nodes : Role::TopMember;
        if (role == Role::Node && key == "children") inner = Role::Children;
        if (!Value(nesting + 1, inner)) return false;
      } while (Eat(','));
      return Eat('}');
    }
    if (text[at] == '[') {
      ++at;
      if (Eat(']')) return true;
      do {
        const Role inner = role == Role::Nodes ? Role::Node : Role::Other;
        if (role == Role::Children) {
          std::uint64_t child = UINT64_MAX;
          if (!Scalar(&child)) return false;
          if (!children.empty()) children.back().push_back(child);
        } else if (!Value(nesting + 1, inner)) {
          return false;
        }
      } while (Eat(','));
      return Eat(']');
    }
    return Scalar(nullptr);
  }

  // Longest parent-to-child chain, walked without recursion; a cycle is as
  // deep as the importer is willing to go, so it counts as too deep.
  std::string DepthFault() const {
    const std::size_t count = children.size();
    std::vector<std::size_t> depth(count, 0);  // 0: not reached yet
    for (std::size_t start = 0; start < count; ++start) {
      if (depth[start] != 0) continue;
      std::vector<std::pair<std::size_t, std::size_t>> stack{{start, 1}};
      while (!stack.empty()) {
        const auto [node, level] = stack.back();
        stack.pop_back();
        if (level > ModelFileCheck::MaxNodeDepth) {
          return "the glTF node hierarchy is deeper than " + std::to_string(ModelFileCheck::MaxNodeDepth) + " levels";
        }
        if (depth[node] >= level) continue;
        depth[node] = level;
        for (const std::uint64_t child : children[node]) {
          if (child < count) stack.emplace_back(child, level + 1);
        }
      }
    }
    return {};
  }

  std::string_view text;
  std::size_t at = 0;
  std::vector<std::vector<std::uint64_t>> children;
};

std::string JsonFault(std::string_view json) { return GltfNodes(json).Fault(); }

// An OFF file: its counts, then that many vertices and faces, each face at
// least a triangle of vertices that exist. The importer library crashed on
// faces that were not.
std::string OffFault(const std::string& text) {
  std::string cleaned;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) cleaned += line.substr(0, line.find('#')) + '\n';
  std::istringstream in(cleaned);
  std::string keyword;
  std::uint64_t vertices = 0;
  std::uint64_t faces = 0;
  std::uint64_t edges = 0;
  if (!(in >> keyword >> vertices >> faces >> edges) || keyword != "OFF" || vertices > text.size() ||
      faces > text.size()) {
    return "the OFF header's counts are missing or larger than the file";
  }
  for (std::uint64_t i = 0; i < 3 * vertices; ++i) {
    double coordinate = 0.0;
    if (!(in >> coordinate)) return "the OFF file ends within its vertices";
  }
  for (std::uint64_t face = 1; face <= faces; ++face) {
    std::uint64_t corners = 0;
    if (!(in >> corners) || corners < 3 || corners > vertices) {
      return "face " + std::to_string(face) + " of the OFF file is not a polygon of its vertices";
    }
    for (std::uint64_t corner = 0; corner < corners; ++corner) {
      std::uint64_t index = 0;
      if (!(in >> index) || index >= vertices) {
        return "face " + std::to_string(face) + " of the OFF file names a vertex it does not have";
      }
    }
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');  // a face's colour, if any
  }
  return {};
}

bool StartsJsonObject(std::string_view head) {
  return head.substr(std::min(head.size(), head.find_first_not_of(" \t\r\n"))).starts_with('{');
}

// The header checks on a file of `size` bytes whose first ones are `head`;
// `read(offset, length)` reads any other part.
template <typename Reader>
std::string FaultOf(std::string_view head, std::uint64_t size, bool gltfJson, Reader read) {
  // A .gltf that is no JSON object goes to whichever reader its content suits.
  if (gltfJson) {
    if (StartsJsonObject(head)) return JsonFault(read(0, size));
  }
  // The importer library takes "ply" in any case as the PLY magic.
  if (head.size() >= 3 && std::tolower(static_cast<unsigned char>(head[0])) == 'p' &&
      std::tolower(static_cast<unsigned char>(head[1])) == 'l' &&
      std::tolower(static_cast<unsigned char>(head[2])) == 'y') {
    return PlyFault(head);
  }
  if (head.starts_with("OFF")) return OffFault(read(0, size));
  if (head.starts_with(kGlbMagic)) {
    std::uint64_t jsonLength = 0;
    const std::string fault = GlbFault(head, size, jsonLength);
    return fault.empty() ? JsonFault(read(kGlbHeaderBytes + kGlbChunkHeaderBytes, jsonLength)) : fault;
  }
  const std::uint64_t tail = std::min<std::uint64_t>(size, kStlTailBytes);
  if (IsAsciiStl(head, size) && read(size - tail, tail).find("endsolid") == std::string::npos) {
    return "the ASCII STL file is cut short (no endsolid at its end)";
  }
  return {};
}

std::string Read(const std::string& path, std::uint64_t offset, std::uint64_t length) {
  std::ifstream file(path, std::ios::binary);
  file.seekg(static_cast<std::streamoff>(offset));
  std::string bytes(length, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(length));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

}  // namespace

void ModelFileCheck::Check(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) throw std::runtime_error(path + ": no such file");
  if (fs::is_directory(status)) throw std::runtime_error(path + ": is a directory, not a model file");
  if (!fs::is_regular_file(status)) throw std::runtime_error(path + ": not a regular file");
  const std::uintmax_t size = fs::file_size(path, error);
  const std::uint64_t headLength = std::min<std::uint64_t>(size, MaxPlyHeaderBytes);
  const std::string head = Read(path, 0, headLength);
  if (error || head.size() != headLength) throw std::runtime_error(path + ": cannot read the file");
  std::string extension = fs::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string fault =
      FaultOf(head, size, extension == ".gltf",
              [&path](std::uint64_t offset, std::uint64_t length) { return Read(path, offset, length); });
  if (!fault.empty()) throw std::runtime_error(path + ": " + fault);
}

}  // namespace nimboview
