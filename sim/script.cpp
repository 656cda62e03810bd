#include "sim/script.h"

#include <istream>
#include <ostream>
#include <utility>

#include "sim/excerpt.h"
#include "sim/text.h"

namespace sim {

namespace {

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

// A line with its action parsed, or its problem noted.
ScriptLine ParsedLine(const std::string& text, int number) {
  ScriptLine line;
  line.text = text;
  line.number = number;
  ParseScriptAction(text, &line.action, &line.problem);
  return line;
}

}  // namespace

bool IsSkippedScriptLine(const std::string& trimmed) {
  return trimmed.empty() || trimmed[0] == '#';
}

Script Script::FromText(const std::string& text, const std::string& name) {
  Script script;
  script.name_ = name;
  int number = 0;
  // Editors may start a UTF-8 file with a byte order mark; it is no part of the first line.
  size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    ++number;
    const std::string line = Trim(text.substr(pos, end - pos));
    if (!IsSkippedScriptLine(line)) {
      ScriptLine parsed = ParsedLine(line, number);
      if (!parsed.problem.empty()) {
        // Nothing of a script with a malformed line runs.
        script.lines_.clear();
        script.error_ = name + " line " + std::to_string(number) + ": " + parsed.problem + ": \"" +
                        Excerpt(line) + "\" (verbs: " + ScriptVerbList() + ")";
        return script;
      }
      script.lines_.push_back(std::move(parsed));
    }
    pos = end + 1;
  }
  return script;
}

Script Script::FromTerminal(std::istream& in, std::ostream& prompts) {
  Script script;
  script.name_ = "terminal input";
  script.in_ = &in;
  script.prompts_ = &prompts;
  return script;
}

const ScriptLine* Script::Peek(const std::string& window, bool bareEnter) {
  if (in_ != nullptr && next_ >= lines_.size() && !terminalEnded_) {
    // A person answers: ask for lines until an action comes or input ends.
    while (true) {
      *prompts_ << "[" << AnsiToUtf8(window) << "] > " << std::flush;
      std::string raw;
      if (!std::getline(*in_, raw)) {
        terminalEnded_ = true;
        *prompts_ << '\n';
        break;
      }
      ++terminalNumber_;
      // A terminal sends UTF-8; the program compares texts in its code page.
      bool converted = true;
      const std::string ansi = Utf8ToAnsi(raw, &converted);
      const std::string line = Trim(converted ? ansi : raw);
      if (bareEnter && line.empty()) {
        ScriptLine enter;
        enter.number = terminalNumber_;
        lines_.push_back(enter);
        break;
      }
      if (IsSkippedScriptLine(line)) continue;
      lines_.push_back(ParsedLine(line, terminalNumber_));
      break;
    }
  }
  if (next_ >= lines_.size()) return nullptr;
  return &lines_[next_];
}

void Script::Advance() {
  if (next_ < lines_.size()) ++next_;
}

std::vector<ScriptLine> Script::Remaining() const {
  return std::vector<ScriptLine>(lines_.begin() + static_cast<std::ptrdiff_t>(next_), lines_.end());
}

}  // namespace sim
