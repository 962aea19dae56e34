#include "SessionScript.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "CommandLine.h"
#include "ScriptRunner.h"
#include "ScriptVerb.h"

namespace nimboview {
namespace {

void Check(const Statement& statement) { ScriptVerb::Of(statement).Read(statement); }

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
  static const std::string reference = [] {
    std::string text =
        "Script lines (X Y are window pixels, origin top left; PATH is 1/MODEL/PART/CATEGORY/1,\n"
        "CATEGORY 10000 points, 10001 curves, 10002 surfaces):\n";
    for (const ScriptVerb& verb : ScriptRunner::Verbs()) {
      for (const char c : verb.help) {
        if (c == '%') {
          text += verb.fallback;
        } else {
          text += c;
        }
      }
    }
    return text + "'# ' starts a comment (a line starting with '#' is one).\n";
  }();
  return reference.c_str();
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
