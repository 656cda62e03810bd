#include "sim/script.h"

#include <istream>
#include <ostream>

namespace sim {

namespace {

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
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
    if (!IsSkippedScriptLine(line)) script.lines_.push_back({line, number});
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

const ScriptLine* Script::Peek(const std::string& window) {
  if (in_ != nullptr && next_ >= lines_.size() && !terminalEnded_) {
    // A person answers: ask for lines until an action comes or input ends.
    while (true) {
      *prompts_ << "[" << window << "] > " << std::flush;
      std::string raw;
      if (!std::getline(*in_, raw)) {
        terminalEnded_ = true;
        *prompts_ << '\n';
        break;
      }
      ++terminalNumber_;
      const std::string line = Trim(raw);
      if (IsSkippedScriptLine(line)) continue;
      lines_.push_back({line, terminalNumber_});
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
