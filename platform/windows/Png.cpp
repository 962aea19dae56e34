// WritePng without an image library: an 8-bit RGBA PNG whose zlib stream
// keeps the rows uncompressed (stored blocks), enough for a test's failure
// pictures.
#include <array>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/Image.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[n] = c;
    }
    return entries;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// The rows, each after filter byte 0, in a zlib stream of stored blocks.
Bytes StoredZlib(const Image& image) {
  Bytes raw;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);
    const auto row = image.rgba.begin() + static_cast<std::ptrdiff_t>(y * stride);
    raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(stride));
  }
  Bytes z{0x78, 0x01};
  std::size_t offset = 0;
  do {
    const std::size_t size = std::min<std::size_t>(raw.size() - offset, 65535);
    z.push_back(offset + size == raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(size));
    z.push_back(static_cast<std::uint8_t>(size >> 8));
    z.push_back(static_cast<std::uint8_t>(~size));
    z.push_back(static_cast<std::uint8_t>(~size >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
             raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
    offset += size;
  } while (offset < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(z, (b << 16) | a);
  return z;
}

}  // namespace

void WritePng(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
    throw std::runtime_error(path + ": image has no pixels or a wrong buffer size");
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(image.width));
  PutBigEndian(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no filter, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(image));
  PutChunk(png, "IEND", {});
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  if (!out.flush()) throw std::runtime_error(path + ": cannot write PNG");
}

}  // namespace platform
