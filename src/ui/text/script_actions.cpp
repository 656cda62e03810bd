#include "ui/text/script_actions.h"

#include <cstdlib>

#include "app/dialog_ids.h"
#include "sim/text.h"

namespace textui {

bool SameNoCase(const std::string& a, const std::string& b) { return sim::EqualNoCase(a, b); }

Action ParseAction(const std::string& line) {
  const size_t blank = line.find(' ');
  Action action;
  const std::string verb = line.substr(0, blank);
  const std::string arg = blank == std::string::npos ? "" : line.substr(blank + 1);
  static const char* const kVerbs[] = {"select", "press", "key", "menu", "help", "copy", "close"};
  for (const char* known : kVerbs) {
    if (verb == known) action.verb = verb;
  }
  // copy and close stand alone; the others need their argument.
  const bool alone = action.verb == "copy" || action.verb == "close";
  if (alone != arg.empty()) action.verb.clear();
  action.arg = arg;
  return action;
}

int ParseKey(const std::string& name) {
  if (name.size() == 1 && name[0] > 0x20 && name[0] < 0x7F) return name[0];
  if (SameNoCase(name, "Enter")) return kKeyEnter;
  if (SameNoCase(name, "Escape")) return kKeyEscape;
  if (SameNoCase(name, "F1")) return kKeyF1;
  return 0;
}

bool ParseControlId(const std::string& text, int& id) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0') return false;
  id = static_cast<int>(value);
  return true;
}

}  // namespace textui
