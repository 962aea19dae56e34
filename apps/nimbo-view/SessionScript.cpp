#include "SessionScript.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

#include "CommandLine.h"

namespace nimboview {
namespace {

// The arguments each verb takes, one letter each: i integer, f number,
// c colour, p node path (1/2/3), n a node path or "none", s any word; a '|'
// marks where the optional ones begin. "expect" is checked by its first word.
const std::map<std::string, std::string>& Forms() {
  static const std::map<std::string, std::string> forms = {
      {"size", "ii"},         {"demo", ""},          {"load", "s"},
      {"clear", ""},          {"camera", "ff|f"},    {"ortho", "s"},
      {"fit", ""},            {"background", "c|c"}, {"hover", "ii"},
      {"leave", ""},          {"click", "ii"},       {"press", "ii"},
      {"drag", "ii"},         {"release", "ii"},     {"orbit", "iiii"},
      {"pan", "iiii"},        {"wheel", "iii"},      {"key", "iii"},
      {"render", ""},         {"pick", "ii"},        {"highlight", "p"},
      {"unhighlight", "|p"},  {"select", "p"},       {"unselect", "|p"},
      {"snapshot", "s"},      {"expect pixel", "iic|i"}, {"expect pick", "iin"},
      {"expect point", "iifff|f"}, {"expect highlighted", "p"}, {"expect not-highlighted", "p"},
  };
  return forms;
}

void CheckArgument(char kind, const std::string& word) {
  switch (kind) {
    case 'i': CommandLine::Integer(word, "argument"); break;
    case 'f': CommandLine::Number(word, "argument"); break;
    case 'c': CommandLine::Color(word, "colour"); break;
    case 'n':
      if (word != "none") SessionScript::NodePath(word);
      break;
    case 'p': SessionScript::NodePath(word); break;
    default: break;
  }
}

void Check(const Statement& statement) {
  std::string key = statement.verb;
  std::size_t skip = 0;
  if (key == "expect") {
    if (statement.arguments.empty()) throw UsageError("expect what? (pixel, pick, point, highlighted)");
    key += " " + statement.arguments[0];
    skip = 1;
  }
  const auto form = Forms().find(key);
  if (form == Forms().end()) throw UsageError("unknown command '" + key + "'");
  const std::string& letters = form->second;
  const std::size_t bar = letters.find('|');
  const std::size_t required = bar == std::string::npos ? letters.size() : bar;
  const std::size_t maximum = letters.size() - (bar == std::string::npos ? 0 : 1);
  const std::size_t given = statement.arguments.size() - skip;
  if (given < required || given > maximum) {
    throw UsageError("'" + key + "' takes " + std::to_string(required) +
                     (maximum != required ? " to " + std::to_string(maximum) : std::string()) +
                     " arguments, got " + std::to_string(given));
  }
  std::size_t letter = 0;
  for (std::size_t i = skip; i < statement.arguments.size(); ++i, ++letter) {
    if (letters[letter] == '|') ++letter;
    CheckArgument(letters[letter], statement.arguments[i]);
  }
  if (key == "ortho" && statement.arguments[0] != "on" && statement.arguments[0] != "off") {
    throw UsageError("ortho takes on or off");
  }
  if (key == "size") SessionScript::WindowSize(statement.arguments);
  const std::size_t tolerance = key == "expect pixel" ? 4 : key == "expect point" ? 6 : 0;
  if (tolerance != 0 && statement.arguments.size() > tolerance &&
      CommandLine::Number(statement.arguments[tolerance], "tolerance") < 0.0f) {
    throw UsageError("a tolerance cannot be negative");
  }
}

// A '#' at the start of the line or followed by a blank starts a comment;
// "#rrggbb" is a colour.
std::size_t CommentStart(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first != std::string::npos && line[first] == '#') return first;
  for (std::size_t at = line.find('#'); at != std::string::npos; at = line.find('#', at + 1)) {
    if (at + 1 == line.size() || line[at + 1] == ' ' || line[at + 1] == '\t') return at;
  }
  return line.size();
}

}  // namespace

const char* SessionScript::Reference() {
  return "Script lines (X Y are window pixels, origin top left; PATH is 1/model/part/category/node):\n"
         "  size W H                 resize the window (1 to 8192 each)\n"
         "  demo | load FILE         add the demo scene or a model (FILE relative to the script)\n"
         "  clear                    empty the scene\n"
         "  camera AZ EL [DIST]      aim and fit the camera;  fit  refits;  ortho on|off\n"
         "  background COLOUR [TOP]  background colours (#rrggbb or r,g,b)\n"
         "  hover X Y | leave | click X Y\n"
         "  press X Y | drag X Y | release X Y   rubber band; the release selects inside\n"
         "  orbit X0 Y0 X1 Y1 | pan X0 Y0 X1 Y1 | wheel STEPS X Y | key CODE X Y\n"
         "  render                   draw a frame\n"
         "  pick X Y                 print the pick as a JSON line\n"
         "  highlight PATH | unhighlight [PATH] | select PATH | unselect [PATH]\n"
         "  snapshot FILE.png        write the last frame\n"
         "  expect pixel X Y COLOUR [TOLERANCE]   in the last frame (default tolerance 16)\n"
         "  expect pick X Y PATH|none\n"
         "  expect point X Y PX PY PZ [TOLERANCE] (default 0.01)\n"
         "  expect highlighted PATH | expect not-highlighted PATH\n"
         "'# ' starts a comment (a line starting with '#' is one).\n";
}

RenderId SessionScript::NodePath(const std::string& word) {
  RenderId path({}, RenderId::SceneOrigin);
  for (std::size_t start = 0; start <= word.size();) {
    const std::size_t end = std::min(word.find('/', start), word.size());
    path.Append(CommandLine::Id(word.substr(start, end - start), "node path " + word));
    start = end + 1;
  }
  return path;
}

std::array<int, 2> SessionScript::WindowSize(const std::vector<std::string>& arguments) {
  return CommandLine::Size(arguments.at(0) + "x" + arguments.at(1), "size");
}

SessionScript SessionScript::Read(const std::string& path) {
  std::error_code error;
  std::ifstream file(path);
  if (!file || std::filesystem::is_directory(path, error)) throw ScriptError(path, "cannot read the script");
  std::ostringstream text;
  text << file.rdbuf();
  return Parse(text.str(), path);
}

SessionScript SessionScript::Parse(const std::string& text, const std::string& name) {
  SessionScript script;
  script.name = name;
  // A byte-order mark some editors write is no part of the first command.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::istringstream lines(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    // It would cut every message that quotes the line short.
    if (line.find('\0') != std::string::npos) throw ScriptError(name, number, "a NUL byte (not a text file?)");
    line = line.substr(0, CommentStart(line));
    std::istringstream words(line);
    Statement statement;
    statement.line = number;
    if (!(words >> statement.verb)) continue;
    for (std::string word; words >> word;) statement.arguments.push_back(word);
    try {
      Check(statement);
    } catch (const UsageError& error) {
      throw ScriptError(name, number, error.what());
    }
    script.statements.push_back(std::move(statement));
  }
  return script;
}

}  // namespace nimboview
