// The arguments of one subcommand: options in the order given (some take a
// value, some are flags) and the positional arguments. Parse errors and bad
// values are UsageErrors, which the program reports with its usage.
#ifndef NIMBO_APPS_NIMBO_VIEW_COMMANDLINE_H
#define NIMBO_APPS_NIMBO_VIEW_COMMANDLINE_H

#include <array>
#include <initializer_list>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "KivVizCore/RGBAColor.h"

namespace nimboview {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CommandLine {
 public:
  // Throws UsageError for an unknown option or a missing value.
  CommandLine(const std::vector<std::string>& arguments, const std::set<std::string>& valued,
              const std::set<std::string>& flags);

  const std::vector<std::string>& Positionals() const { return positionals; }
  // Every option in the order given, with its value (empty for flags).
  const std::vector<std::pair<std::string, std::string>>& Options() const { return options; }
  bool Has(const std::string& name) const;
  // The last value given for the option.
  std::optional<std::string> Value(const std::string& name) const;
  // The value of whichever of the names (spellings of one option) came last.
  std::optional<std::string> LastValue(std::initializer_list<std::string> names) const;

  // Value parsers; `what` names the option or field in the error.
  static float Number(const std::string& text, const std::string& what);
  static int Integer(const std::string& text, const std::string& what);
  // A node id: an unsigned 64-bit integer.
  static std::uint64_t Id(const std::string& text, const std::string& what);
  // Integers separated by commas or spaces, exactly `count` of them.
  static std::vector<int> Integers(const std::string& text, std::size_t count, const std::string& what);
  // "WxH", both positive.
  static std::array<int, 2> Size(const std::string& text, const std::string& what);
  // "#rrggbb", "#rrggbbaa", "r,g,b[,a]" (0 to 255) or a colour name
  // (black, white, grey or gray, red, green, blue, yellow, cyan, magenta).
  static RGBAColor Color(const std::string& text, const std::string& what);
  // Refuses a file name that does not end in .png (any case): pictures are
  // written as PNG, and PNG data under another name misleads.
  static void CheckPngName(const std::string& text, const std::string& what);

 private:
  std::vector<std::string> positionals;
  std::vector<std::pair<std::string, std::string>> options;
};

}  // namespace nimboview

#endif
