// Session script parsing: any text either parses or is refused with a
// ScriptError.
#include <cstdint>
#include <string>

#include "SessionScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    nimboview::SessionScript::Parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz.nvs");
  } catch (const nimboview::ScriptError&) {
  }
  return 0;
}
