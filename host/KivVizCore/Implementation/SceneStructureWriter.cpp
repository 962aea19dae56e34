#include "SceneStructureWriter.h"

#include <sstream>

#include "KivVizCore/AttributeColor.h"
#include "KivVizCore/AttributeTransform.h"
#include "KivVizCore/GeoNode.h"
#include "KivVizCore/Node.h"
#include "WideText.h"

namespace KivVizCore::Implementation {

std::string SceneStructureWriter::Write(const GeoNode* top) const {
  std::string text;
  if (top != nullptr) {
    WriteNode(*top, 0, text);
  }
  return text;
}

void SceneStructureWriter::WriteNode(const GeoNode& node, int depth, std::string& text) const {
  text.append(static_cast<std::size_t>(depth) * 2, ' ');
  text += std::to_string(node.GetId()) + " \"" + ToUtf8(node.Name()) + '"';
  if (details) {
    WriteDetails(node, text);
  }
  text += '\n';
  if (const auto* group = dynamic_cast<const Node*>(&node)) {
    for (const auto& [id, child] : group->Children()) {
      if (child != nullptr) {
        WriteNode(*child, depth + 1, text);
      }
    }
  }
}

void SceneStructureWriter::WriteDetails(const GeoNode& node, std::string& text) const {
  std::ostringstream out;
  if (node.IsGroup()) {
    out << " group";
  } else {
    out << " leaf items=" << node.Geometry().size();
  }
  if (const auto* color = dynamic_cast<const AttributeColor*>(node.GetAttribute(Attribute::ColorType))) {
    out << " colour=" << color->GetColor() << (color->IsOpaque() ? "" : " translucent");
  }
  if (const auto* transform = dynamic_cast<const AttributeTransform*>(node.GetAttribute(Attribute::TransformType));
      transform != nullptr && !transform->IsIdentity()) {
    out << " transform";
  }
  if (!node.IsVisible()) {
    out << " hidden";
  }
  if (node.GetFilterId() != 0) {
    out << " filter=" << node.GetFilterId();
  }
  if (node.Parents().size() > 1) {
    out << " parents=" << node.Parents().size();
  }
  text += out.str();
}

}  // namespace KivVizCore::Implementation
