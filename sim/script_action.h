// The script language: one action a line, a verb and its argument. This is
// the one list of verbs; the script reader checks every line against it and
// the terminal front end dispatches the parsed actions.
#pragma once

#include <string>

namespace sim {

enum class ScriptVerb { kSelect, kPress, kKey, kMenu, kHelp, kCopy, kClose };

// What "key" names: a typed character or one of the named keys.
enum class ScriptKey { kNone, kTyped, kEnter, kEscape, kF1 };

struct ScriptAction {
  ScriptVerb verb = ScriptVerb::kClose;
  std::string arg;  // the rest of the line, blanks around it dropped
  ScriptKey key = ScriptKey::kNone;
  char typed = 0;     // for ScriptKey::kTyped
  int controlId = 0;  // for help
};

// Parses one trimmed line that is not skipped. Verbs and key names are
// matched without case, as labels are. False with `problem` set (a short
// phrase, e.g. "unknown verb") when the line is malformed.
bool ParseScriptAction(const std::string& line, ScriptAction* action, std::string* problem);

// "select, press, key, menu, help, copy, close"
std::string ScriptVerbList();

}  // namespace sim
