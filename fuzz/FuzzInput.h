// Reads a fuzzer's input as a stream of small values; past its end every
// value reads as zero and Empty() is true.
#ifndef NIMBO_FUZZ_FUZZINPUT_H
#define NIMBO_FUZZ_FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace nimbofuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

  bool Empty() const { return at >= size; }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  // Mostly small coordinates, now and then any bit pattern (NaN, infinity,
  // denormals).
  float Float() {
    const std::uint8_t kind = Byte();
    if (kind < 224) return static_cast<float>(static_cast<std::int8_t>(Byte())) / 16.0f;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = bits << 8 | Byte();
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // Mostly window coordinates, now and then the int limits.
  int Int() {
    const std::uint8_t kind = Byte();
    if (kind < 240) return static_cast<int>(Byte()) - 64;
    return kind % 2 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
};

}  // namespace nimbofuzz

#endif
