#include "sim/script_action.h"

#include "sim/text.h"

namespace sim {

namespace {

// What the argument of a verb must be.
enum class Arg { kText, kKeyName, kControlId, kNothing };

struct VerbSpec {
  const char* name;
  ScriptVerb verb;
  Arg arg;
  const char* needs;  // the problem when the argument is missing or wrong
};

const VerbSpec kVerbs[] = {
    {"select", ScriptVerb::kSelect, Arg::kText, "select needs a tree entry"},
    {"press", ScriptVerb::kPress, Arg::kText, "press needs a button label"},
    {"key", ScriptVerb::kKey, Arg::kKeyName, "key needs a typed character, Enter, Escape or F1"},
    {"menu", ScriptVerb::kMenu, Arg::kText, "menu needs a menu entry"},
    {"help", ScriptVerb::kHelp, Arg::kControlId, "help needs a control id (0 to 65535)"},
    {"copy", ScriptVerb::kCopy, Arg::kNothing, "copy takes nothing after it"},
    {"close", ScriptVerb::kClose, Arg::kNothing, "close takes nothing after it"},
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool ParseKeyName(const std::string& name, ScriptAction* action) {
  const unsigned char c = name.size() == 1 ? static_cast<unsigned char>(name[0]) : 0;
  if (c > 0x20 && c < 0x7F) {
    action->key = ScriptKey::kTyped;
    action->typed = name[0];
    return true;
  }
  if (EqualNoCase(name, "Enter")) {
    action->key = ScriptKey::kEnter;
  } else if (EqualNoCase(name, "Escape")) {
    action->key = ScriptKey::kEscape;
  } else if (EqualNoCase(name, "F1")) {
    action->key = ScriptKey::kF1;
  } else {
    return false;
  }
  return true;
}

// Control ids are 16-bit: digits only, at most 65535.
bool ParseControlId(const std::string& text, int* id) {
  if (text.empty() || text.size() > 5) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  *id = static_cast<int>(value);
  return true;
}

}  // namespace

bool ParseScriptAction(const std::string& line, ScriptAction* action, std::string* problem) {
  size_t verbEnd = 0;
  while (verbEnd < line.size() && !IsBlank(line[verbEnd])) ++verbEnd;
  size_t argStart = verbEnd;
  while (argStart < line.size() && IsBlank(line[argStart])) ++argStart;
  size_t argEnd = line.size();
  while (argEnd > argStart && IsBlank(line[argEnd - 1])) --argEnd;
  const std::string verb = line.substr(0, verbEnd);
  const std::string arg = line.substr(argStart, argEnd - argStart);

  for (const VerbSpec& spec : kVerbs) {
    if (!EqualNoCase(verb, spec.name)) continue;
    ScriptAction parsed;
    parsed.verb = spec.verb;
    parsed.arg = arg;
    bool ok = false;
    switch (spec.arg) {
      case Arg::kText:
        ok = !arg.empty();
        break;
      case Arg::kKeyName:
        ok = ParseKeyName(arg, &parsed);
        break;
      case Arg::kControlId:
        ok = ParseControlId(arg, &parsed.controlId);
        break;
      case Arg::kNothing:
        ok = arg.empty();
        break;
    }
    if (!ok) {
      *problem = spec.needs;
      return false;
    }
    *action = parsed;
    return true;
  }
  *problem = "unknown verb";
  return false;
}

std::string ScriptVerbList() {
  std::string list;
  for (const VerbSpec& spec : kVerbs) {
    if (!list.empty()) list += ", ";
    list += spec.name;
  }
  return list;
}

}  // namespace sim
