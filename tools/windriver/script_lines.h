// The answer script of the driver: the same language as vtsim's scripts
// (select, press, key, menu, help, copy, close), read and checked whole
// before the program starts.
#pragma once

#include <string>
#include <vector>

namespace windriver {

enum class Verb { kSelect, kPress, kKey, kMenu, kHelp, kCopy, kClose };
enum class Key { kTyped, kEnter, kEscape, kF1 };

struct ScriptLine {
  int number = 0;    // 1-based line of the file
  std::string text;  // the line, blanks around it trimmed
  Verb verb = Verb::kClose;
  std::string arg;  // select, press, menu: the rest of the line
  Key key = Key::kTyped;
  char typed = 0;     // key: the character typed
  int controlId = 0;  // help: the control id
};

// Parses a whole script. On a bad line returns false and sets *error to
// "NAME line N: WHAT: \"LINE\"".
bool ParseScript(const std::string& text, const std::string& name, std::vector<ScriptLine>* lines,
                 std::string* error);

bool SameNoCase(const std::string& a, const std::string& b);

}  // namespace windriver
