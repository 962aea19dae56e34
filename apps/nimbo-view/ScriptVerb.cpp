#include "ScriptVerb.h"

#include <algorithm>
#include <cstddef>

#include "CommandLine.h"
#include "ScriptRunner.h"

namespace nimboview {
namespace {

void CheckArgument(char kind, const std::string& word) {
  switch (kind) {
    case 'i':
      CommandLine::Integer(word, "argument");
      break;
    case 'f':
      CommandLine::Number(word, "argument");
      break;
    case 'I':
      CommandLine::Integer(word, "argument");
      [[fallthrough]];
    case 'F':
      if (CommandLine::Number(word, "argument") < 0.0f) throw UsageError("a tolerance cannot be negative");
      break;
    case 'c':
      CommandLine::Color(word, "colour");
      break;
    case 'n':
      if (word != "none") SessionScript::NodePath(word);
      break;
    case 'p':
      SessionScript::NodePath(word);
      break;
    default:
      break;
  }
}

// "expect" alone names no verb: its first argument says which kind.
std::string NameOf(const Statement& statement) {
  if (statement.verb != "expect") return statement.verb;
  if (statement.arguments.empty()) throw UsageError("expect what? (pixel, pick, point, highlighted)");
  return statement.verb + " " + statement.arguments[0];
}

}  // namespace

const ScriptVerb& ScriptVerb::Of(const Statement& statement) {
  const std::string name = NameOf(statement);
  const std::vector<ScriptVerb>& verbs = ScriptRunner::Verbs();
  const auto verb = std::find_if(verbs.begin(), verbs.end(), [&](const ScriptVerb& v) { return v.name == name; });
  if (verb == verbs.end()) throw UsageError("unknown command '" + name + "'");
  return *verb;
}

ScriptVerb::Arguments ScriptVerb::Read(const Statement& statement) const {
  const auto skip = static_cast<std::ptrdiff_t>(std::count(name.begin(), name.end(), ' '));
  Arguments arguments(statement.arguments.begin() + skip, statement.arguments.end());
  const std::size_t bar = form.find('|');
  const std::size_t required = bar == std::string_view::npos ? form.size() : bar;
  const std::size_t maximum = form.size() - (bar == std::string_view::npos ? 0 : 1);
  if (arguments.size() < required || arguments.size() > maximum) {
    throw UsageError("'" + std::string(name) + "' takes " + std::to_string(required) +
                     (maximum != required ? " to " + std::to_string(maximum) : std::string()) + " arguments, got " +
                     std::to_string(arguments.size()));
  }
  std::size_t letter = 0;
  for (const std::string& word : arguments) {
    if (form[letter] == '|') ++letter;
    CheckArgument(form[letter++], word);
  }
  if (check != nullptr) check(arguments);
  if (!fallback.empty() && arguments.size() < maximum) arguments.emplace_back(fallback);
  return arguments;
}

}  // namespace nimboview
