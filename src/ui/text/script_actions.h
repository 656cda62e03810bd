// Script lines as the windows of the terminal front end read them.
#pragma once

#include <string>

namespace textui {

struct Action {
  std::string verb;  // select, press, key, menu, help, copy, close; empty if unknown
  std::string arg;   // the rest of the line
};

Action ParseAction(const std::string& line);

// The key code of a "key" argument (a typed character, Enter, Escape, F1);
// 0 when the name is unknown.
int ParseKey(const std::string& name);

// The control id of a "help" argument: false when it is not a whole number.
bool ParseControlId(const std::string& text, int& id);

bool SameNoCase(const std::string& a, const std::string& b);

}  // namespace textui
