#include "script_lines.h"

#include <cctype>

#include "excerpt.h"

namespace windriver {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The reason a line is not a script line, or "" when it parses.
std::string ParseLine(const std::string& text, ScriptLine* line) {
  size_t split = 0;
  while (split < text.size() && !IsBlank(text[split])) ++split;
  const std::string verb = text.substr(0, split);
  const std::string arg = Trim(text.substr(split));
  line->arg = arg;
  if (SameNoCase(verb, "select") || SameNoCase(verb, "press") || SameNoCase(verb, "menu")) {
    line->verb = SameNoCase(verb, "select")  ? Verb::kSelect
                 : SameNoCase(verb, "press") ? Verb::kPress
                                             : Verb::kMenu;
    return arg.empty() ? verb + " needs an argument" : "";
  }
  if (SameNoCase(verb, "key")) {
    line->verb = Verb::kKey;
    if (arg.size() == 1) {
      line->key = Key::kTyped;
      line->typed = arg[0];
      return "";
    }
    if (SameNoCase(arg, "Enter"))
      line->key = Key::kEnter;
    else if (SameNoCase(arg, "Escape"))
      line->key = Key::kEscape;
    else if (SameNoCase(arg, "F1"))
      line->key = Key::kF1;
    else
      return arg.empty() ? "key needs an argument" : "not a key";
    return "";
  }
  if (SameNoCase(verb, "help")) {
    line->verb = Verb::kHelp;
    if (arg.empty() || arg.size() > 5) return "help needs a control id";
    long id = 0;
    for (char c : arg) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return "help needs a control id";
      id = id * 10 + (c - '0');
    }
    if (id > 65535) return "help needs a control id";
    line->controlId = static_cast<int>(id);
    return "";
  }
  if (SameNoCase(verb, "copy") || SameNoCase(verb, "close")) {
    line->verb = SameNoCase(verb, "copy") ? Verb::kCopy : Verb::kClose;
    return arg.empty() ? "" : verb + " takes no argument";
  }
  return "unknown verb";
}

}  // namespace

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool ParseScript(const std::string& text, const std::string& name, std::vector<ScriptLine>* lines,
                 std::string* error) {
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a UTF-8 byte order mark
  int number = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string raw = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    ++number;
    if (raw.empty() || raw[0] == '#') continue;
    ScriptLine line;
    line.number = number;
    line.text = raw;
    const std::string problem = ParseLine(raw, &line);
    if (!problem.empty()) {
      *error =
          name + " line " + std::to_string(number) + ": " + problem + ": \"" + Excerpt(raw) + "\"";
      return false;
    }
    lines->push_back(line);
  }
  return true;
}

}  // namespace windriver
