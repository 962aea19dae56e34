#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>

namespace nimboview {
namespace {

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : text) {
    if (c == ',' || c == ' ') {
      if (!field.empty()) fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

}  // namespace

CommandLine::CommandLine(const std::vector<std::string>& arguments, const std::set<std::string>& valued,
                         const std::set<std::string>& flags) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--") {
      // What follows are files, even those whose names start with '-'.
      optionsEnded = true;
    } else if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      positionals.push_back(argument);
    } else if (valued.count(argument) != 0) {
      if (i + 1 == arguments.size()) throw UsageError("option " + argument + " needs a value");
      options.emplace_back(argument, arguments[++i]);
    } else if (flags.count(argument) != 0) {
      options.emplace_back(argument, "");
    } else {
      throw UsageError("unknown option " + argument);
    }
  }
}

bool CommandLine::Has(const std::string& name) const { return Value(name).has_value(); }

std::optional<std::string> CommandLine::Value(const std::string& name) const {
  std::optional<std::string> value;
  for (const auto& [option, text] : options) {
    if (option == name) value = text;
  }
  return value;
}

std::optional<std::string> CommandLine::LastValue(std::initializer_list<std::string> names) const {
  std::optional<std::string> value;
  for (const auto& [option, text] : options) {
    if (std::find(names.begin(), names.end(), option) != names.end()) value = text;
  }
  return value;
}

float CommandLine::Number(const std::string& text, const std::string& what) {
  float value = 0.0f;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    throw UsageError(what + ": '" + text + "' is not a number");
  }
  return value;
}

int CommandLine::Integer(const std::string& text, const std::string& what) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw UsageError(what + ": '" + text + "' is not an integer");
  }
  return value;
}

std::uint64_t CommandLine::Id(const std::string& text, const std::string& what) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw UsageError(what + ": '" + text + "' is not a node id");
  }
  return value;
}

std::vector<int> CommandLine::Integers(const std::string& text, std::size_t count, const std::string& what) {
  const std::vector<std::string> fields = SplitList(text);
  if (fields.size() != count) {
    throw UsageError(what + ": expected " + std::to_string(count) + " integers, got '" + text + "'");
  }
  std::vector<int> values;
  for (const std::string& field : fields) values.push_back(Integer(field, what));
  return values;
}

std::array<int, 2> CommandLine::Size(const std::string& text, const std::string& what) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) throw UsageError(what + ": expected WIDTHxHEIGHT, got '" + text + "'");
  const int width = Integer(text.substr(0, x), what);
  const int height = Integer(text.substr(x + 1), what);
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) {
    throw UsageError(what + ": size " + text + " is out of range (1 to 8192)");
  }
  return {width, height};
}

RGBAColor CommandLine::Color(const std::string& text, const std::string& what) {
  static const std::map<std::string, RGBAColor> names = {
      {"black", {0, 0, 0, 255}},      {"white", {255, 255, 255, 255}}, {"grey", {128, 128, 128, 255}},
      {"gray", {128, 128, 128, 255}}, {"red", {255, 0, 0, 255}},       {"green", {0, 255, 0, 255}},
      {"blue", {0, 0, 255, 255}},     {"yellow", {255, 255, 0, 255}},  {"cyan", {0, 255, 255, 255}},
      {"magenta", {255, 0, 255, 255}}};
  if (const auto named = names.find(text); named != names.end()) return named->second;
  std::vector<int> channels;
  if (text.empty() || (text[0] != '#' && (text[0] < '0' || text[0] > '9'))) {
    throw UsageError(what + ": '" + text + "' is not a colour (#rrggbb, #rrggbbaa, r,g,b[,a] or a name)");
  }
  if (text[0] == '#') {
    if (text.size() != 7 && text.size() != 9) {
      throw UsageError(what + ": expected #rrggbb or #rrggbbaa, got '" + text + "'");
    }
    for (std::size_t i = 1; i < text.size(); i += 2) {
      int value = 0;
      const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
      if (error != std::errc() || end != text.data() + i + 2) {
        throw UsageError(what + ": '" + text + "' is not a hex colour");
      }
      channels.push_back(value);
    }
  } else {
    for (const std::string& field : SplitList(text)) channels.push_back(Integer(field, what));
    if (channels.size() != 3 && channels.size() != 4) {
      throw UsageError(what + ": expected r,g,b or r,g,b,a, got '" + text + "'");
    }
  }
  if (channels.size() == 3) channels.push_back(255);
  for (int value : channels) {
    if (value < 0 || value > 255) throw UsageError(what + ": channel out of 0..255 in '" + text + "'");
  }
  return RGBAColor{static_cast<std::uint8_t>(channels[0]), static_cast<std::uint8_t>(channels[1]),
                   static_cast<std::uint8_t>(channels[2]), static_cast<std::uint8_t>(channels[3])};
}

void CommandLine::CheckPngName(const std::string& text, const std::string& what) {
  std::string extension = std::filesystem::path(text).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".png") {
    throw UsageError(what + ": '" + text + "' is not a .png file name (pictures are written as PNG)");
  }
}

}  // namespace nimboview
