#include "ModelImporter.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <unistd.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "ModelFileCheck.h"

namespace nimboview {
namespace {

// On a terminal, one line on stderr rewritten in place as the reading goes
// on; in a log, a line at each quarter, since a log keeps every '\r' step.
class StderrProgress : public Assimp::ProgressHandler {
 public:
  explicit StderrProgress(std::string path) : path(std::move(path)), terminal(isatty(STDERR_FILENO) != 0) {}
  ~StderrProgress() override {
    if (shown >= 0 && terminal) std::cerr << '\n';
  }
  bool Update(float percentage) override {
    int percent = std::clamp(static_cast<int>(percentage * 100.0f), 0, 100);
    if (!terminal) percent -= percent % 25;
    if (percent != shown) {
      shown = percent;
      if (terminal) {
        std::cerr << "\rreading " << path << ": " << percent << '%' << std::flush;
      } else {
        std::cerr << "reading " << path << ": " << percent << "%\n";
      }
    }
    return true;
  }

 private:
  std::string path;
  bool terminal;
  int shown = -1;
};

// The importer's material for a file that names none: OBJ and STL call it
// "DefaultMaterial" (grey 0.6), PLY leaves it unnamed (white). glTF, whose
// unnamed materials are real ones with a base colour, defines its own
// default (white), which is kept.
bool IsStandIn(const aiMaterial& material) {
  if (material.GetName() == aiString(AI_DEFAULT_MATERIAL_NAME)) return true;
  aiColor4D base;
  return material.GetName().length == 0 && material.Get(AI_MATKEY_BASE_COLOR, base) != AI_SUCCESS;
}

std::uint8_t Byte(float value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f); }

// The material's diffuse colour, and its opacity where it gives one (else
// the diffuse alpha: some formats give the opacity as both, so they are not
// multiplied). The view draws one colour per node, so a mesh with vertex
// colours takes their mean instead. A mesh without a material of its own
// gets the part's default colour, whatever the importer's stand-in says.
RGBAColor ColorOf(const aiScene& scene, const aiMesh& mesh) {
  const RGBAColor fallback = Part().color;
  aiColor4D diffuse(fallback.red / 255.0f, fallback.green / 255.0f, fallback.blue / 255.0f, 1.0f);
  std::optional<float> opacity;
  if (mesh.mMaterialIndex < scene.mNumMaterials && !IsStandIn(*scene.mMaterials[mesh.mMaterialIndex])) {
    const aiMaterial& material = *scene.mMaterials[mesh.mMaterialIndex];
    material.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
    float value = 1.0f;
    if (material.Get(AI_MATKEY_OPACITY, value) == AI_SUCCESS) opacity = value;
    float transmission = 0.0f;
    if (material.Get(AI_MATKEY_TRANSPARENCYFACTOR, transmission) == AI_SUCCESS && transmission > 0.0f &&
        opacity.value_or(1.0f) >= 1.0f) {
      opacity = 1.0f - transmission;
    }
  }
  if (mesh.HasVertexColors(0) && mesh.mNumVertices > 0) {
    aiColor4D sum(0.0f, 0.0f, 0.0f, 0.0f);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) sum = sum + mesh.mColors[0][i];
    diffuse = sum / static_cast<float>(mesh.mNumVertices);
  }
  return RGBAColor{Byte(diffuse.r), Byte(diffuse.g), Byte(diffuse.b), Byte(opacity.value_or(diffuse.a))};
}

bool HoldsOnlyPoints(const aiScene& scene) {
  if (scene.mNumMeshes == 0 || scene.mMeshes == nullptr) return false;
  return std::all_of(scene.mMeshes, scene.mMeshes + scene.mNumMeshes, [](const aiMesh* mesh) {
    return mesh != nullptr && mesh->mNumFaces == 0 && mesh->mNumVertices > 0 && mesh->mVertices != nullptr;
  });
}

void RefuseEmptyFaces(const aiScene& scene, const std::string& path) {
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const aiMesh* mesh = scene.mMeshes[m];
    if (mesh == nullptr || mesh->mFaces == nullptr) continue;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      if (mesh->mFaces[f].mNumIndices == 0) {
        throw std::runtime_error(path + ": face " + std::to_string(f + 1) + " of mesh " + std::to_string(m + 1) +
                                 " has no vertices");
      }
    }
  }
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A part is an instance of a mesh at a node: the node's name tells instances
// apart, with the mesh's added where the node holds several. Names in angle
// brackets are the importer's own stand-ins, not the file's.
std::string PartName(const aiMesh& mesh, const aiNode& node) {
  const std::string nodeName = node.mName.C_Str();
  const std::string meshName = mesh.mName.C_Str();
  if (nodeName.empty() || nodeName.front() == '<') return meshName.empty() ? nodeName : meshName;
  if (node.mNumMeshes > 1 && !meshName.empty() && meshName != nodeName) return nodeName + "/" + meshName;
  return nodeName;
}

class PartCollector {
 public:
  PartCollector(const aiScene& scene, Model& model) : scene(scene), model(model) {}

  void Walk(const aiNode& node, const aiMatrix4x4& parent) {
    const aiMatrix4x4 transform = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
      if (node.mMeshes[i] < scene.mNumMeshes) {
        AddMesh(*scene.mMeshes[node.mMeshes[i]], node, transform);
      }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) Walk(*node.mChildren[i], transform);
  }

 private:
  void AddMesh(const aiMesh& mesh, const aiNode& node, const aiMatrix4x4& transform) {
    Part part;
    part.id = model.parts.size() + 1;
    part.name = Widen(PartName(mesh, node));
    part.color = ColorOf(scene, mesh);
    aiMatrix3x3 normalMatrix(transform);
    normalMatrix.Inverse().Transpose();
    std::vector<float> positions;
    std::vector<float> normals;
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
      const aiVector3D p = transform * mesh.mVertices[i];
      positions.insert(positions.end(), {p.x, p.y, p.z});
      aiVector3D n = mesh.HasNormals() ? normalMatrix * mesh.mNormals[i] : aiVector3D(0, 0, 1);
      n.NormalizeSafe();
      normals.insert(normals.end(), {n.x, n.y, n.z});
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices == 3) {
        part.surfaces.indices.insert(part.surfaces.indices.end(), face.mIndices, face.mIndices + 3);
      } else if (face.mNumIndices == 2) {
        part.curves.indices.insert(part.curves.indices.end(), face.mIndices, face.mIndices + 2);
      } else if (face.mNumIndices == 1) {
        const unsigned v = face.mIndices[0];
        part.points.vertices.insert(part.points.vertices.end(), positions.begin() + 3 * v,
                                    positions.begin() + 3 * v + 3);
      }
    }
    // A mesh of vertices alone (a point cloud) shows them as points.
    if (mesh.mNumFaces == 0) part.points.vertices = positions;
    if (!part.surfaces.indices.empty()) {
      part.surfaces.vertices = positions;
      part.surfaces.normals = normals;
    }
    if (!part.curves.indices.empty()) part.curves.vertices = positions;
    model.parts.push_back(std::move(part));
  }

  const aiScene& scene;
  Model& model;
};

}  // namespace

Model ModelImporter::Import(const std::string& path, std::uint64_t modelId) {
  ModelFileCheck::Check(path);
  std::error_code error;
  Assimp::Importer importer;
  if (std::filesystem::file_size(path, error) >= ProgressThresholdBytes) {
    // The importer owns its progress handler.
    importer.SetProgressHandler(new StderrProgress(path));
  }
  // Normals are generated only where the file has none; node transforms are
  // baked here, not by a post-process step, to keep one part per mesh. The
  // file is read as it stands first: a point cloud is taken so (the
  // validation refuses meshes without faces), and faces without corners,
  // which the triangulation asserts on, are refused before it runs.
  const aiScene* scene = importer.ReadFile(path, 0);
  if (scene == nullptr) throw std::runtime_error(path + ": cannot read the model: " + importer.GetErrorString());
  if (!HoldsOnlyPoints(*scene)) {
    RefuseEmptyFaces(*scene, path);
    scene = importer.ApplyPostProcessing(aiProcess_Triangulate | aiProcess_GenSmoothNormals |
                                         aiProcess_ValidateDataStructure);
    if (scene == nullptr) throw std::runtime_error(path + ": cannot read the model: " + importer.GetErrorString());
  }
  if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || scene->mRootNode == nullptr) {
    throw std::runtime_error(path + ": the model is incomplete");
  }
  Model model;
  model.id = modelId;
  model.name = Widen(std::filesystem::path(path).filename().string());
  PartCollector(*scene, model).Walk(*scene->mRootNode, aiMatrix4x4());
  if (model.parts.empty()) throw std::runtime_error(path + ": the model holds no geometry");
  return model;
}

}  // namespace nimboview
