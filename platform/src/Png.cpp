#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/Image.h"

namespace platform {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void Fail(const std::string& path, const std::string& why) { throw std::runtime_error(path + ": " + why); }

// libpng reports errors through longjmp; turn them into exceptions at the
// call site by checking setjmp in each function that calls into it.
struct WriteStruct {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  ~WriteStruct() { png_destroy_write_struct(&png, &info); }
};

struct ReadStruct {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  ~ReadStruct() { png_destroy_read_struct(&png, &info, nullptr); }
};

// libpng's default handlers also print to stderr; the exception says it all.
void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// Writes the image into `file`; failures name `path`, the file the caller
// means to make.
void WritePngFile(const std::string& file, const std::string& path, const Image& image) {
  FilePtr out(std::fopen(file.c_str(), "wb"));
  if (!out) Fail(path, "cannot open for writing");
  WriteStruct write;
  if (!write.png || !write.info) Fail(path, "out of memory");
  png_set_error_fn(write.png, nullptr, SilentError, SilentWarning);
  if (setjmp(png_jmpbuf(write.png))) Fail(path, "cannot write PNG");
  png_init_io(write.png, out.get());
  png_set_IHDR(write.png, write.info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(write.png, write.info);
  for (int y = 0; y < image.height; ++y)
    png_write_row(write.png, image.rgba.data() + static_cast<std::size_t>(y) * image.width * 4);
  png_write_end(write.png, nullptr);
  if (std::fflush(out.get()) != 0 || std::fclose(out.release()) != 0) Fail(path, "cannot write PNG");
}

}  // namespace

void WritePng(const std::string& path, const Image& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
    Fail(path, "image has no pixels or a wrong buffer size");
  // Written beside the target and renamed over it only when complete, so
  // that a failed write neither leaves half a file nor spoils an old one.
  const std::string partial = path + ".part";
  try {
    WritePngFile(partial, path, image);
  } catch (...) {
    std::remove(partial.c_str());
    throw;
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::remove(partial.c_str());
    Fail(path, "cannot write PNG");
  }
}

Image ReadPng(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) Fail(path, "cannot open for reading");
  png_byte signature[8] = {};
  if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) Fail(path, "not a PNG file");
  ReadStruct read;
  if (!read.png || !read.info) Fail(path, "out of memory");
  Image image;
  std::vector<png_bytep> rows;
  png_set_error_fn(read.png, nullptr, SilentError, SilentWarning);
  if (setjmp(png_jmpbuf(read.png))) Fail(path, "malformed PNG");
  png_init_io(read.png, file.get());
  png_set_sig_bytes(read.png, 8);
  png_read_info(read.png, read.info);
  // Expand every colour type to 8-bit RGBA.
  png_set_expand(read.png);
  png_set_strip_16(read.png);
  png_set_gray_to_rgb(read.png);
  png_set_add_alpha(read.png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(read.png);
  png_read_update_info(read.png, read.info);
  image.width = static_cast<int>(png_get_image_width(read.png, read.info));
  image.height = static_cast<int>(png_get_image_height(read.png, read.info));
  image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
  // All rows at once, so that an interlaced image's passes land in place.
  rows.resize(static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y)
    rows[static_cast<std::size_t>(y)] = image.rgba.data() + static_cast<std::size_t>(y) * image.width * 4;
  png_read_image(read.png, rows.data());
  png_read_end(read.png, nullptr);
  return image;
}

}  // namespace platform
