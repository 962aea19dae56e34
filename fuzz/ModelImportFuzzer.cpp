// Model import as `nimbo-view` does it: the file checks, then the importer
// library and the conversion into parts. The input is written to a file of
// the kind its first byte picks; a std::runtime_error is a named refusal.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "ModelImporter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::array<const char*, 6> kExtensions = {".obj", ".stl", ".ply", ".glb", ".gltf", ".off"};
  if (size == 0) return 0;
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("nimbo-import-fuzz-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / (std::string("model") + kExtensions[data[0] % kExtensions.size()]);
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  try {
    nimboview::ModelImporter::Import(file.string(), 1);
  } catch (const std::runtime_error&) {
  }
  return 0;
}
