#include "sim/user.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32.h"
#include "sim/text.h"

namespace sim {

namespace {

struct BoxButton {
  const char* label;
  int id;
};

std::vector<BoxButton> ButtonsOf(unsigned type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO:
      return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL:
      return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default:
      return {{"OK", IDOK}};
  }
}

const char* IconOf(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONWARNING:
      return "warning";
    case MB_ICONINFORMATION:
      return "information";
    default:
      return "none";
  }
}

// The button a script line presses in a box, or 0 when the box cannot take it.
int AnswerOf(const std::string& line, const std::vector<BoxButton>& buttons) {
  const auto find = [&](int id) {
    for (const BoxButton& b : buttons) {
      if (b.id == id) return id;
    }
    return 0;
  };
  if (line.compare(0, 6, "press ") == 0) {
    const std::string label = line.substr(6);
    for (const BoxButton& b : buttons) {
      if (EqualNoCase(label, b.label)) return b.id;
    }
    return 0;
  }
  // The close box and Escape mean Cancel; a box with only OK answers OK.
  if (line == "close" || EqualNoCase(line, "key Escape")) {
    if (buttons.size() == 1) return buttons[0].id;
    return find(IDCANCEL);
  }
  if (EqualNoCase(line, "key Enter")) return buttons[0].id;
  return 0;
}

}  // namespace

User::User() : script_(new Script()) {}
User::~User() = default;

void User::SetScript(const std::string& text, const std::string& name) {
  script_.reset(new Script(Script::FromText(text, name)));
}

bool User::LoadScriptFile(const std::string& hostPath, std::string* error) {
  // A folder opens as a stream on the host but holds no lines: refuse it
  // rather than run the program with an empty script.
  std::error_code ec;
  std::ifstream in(hostPath, std::ios::binary);
  if (!in || std::filesystem::is_directory(hostPath, ec)) {
    if (error != nullptr) *error = hostPath + ": cannot read the script file";
    return false;
  }
  std::ostringstream text;
  if (in.peek() != std::char_traits<char>::eof()) text << in.rdbuf();
  if (in.bad()) {
    if (error != nullptr) *error = hostPath + ": cannot read the script file";
    return false;
  }
  std::string name = hostPath;
  const size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  SetScript(text.str(), name);
  return true;
}

void User::SetTerminal(std::istream& in, std::ostream& prompts) {
  script_.reset(new Script(Script::FromTerminal(in, prompts)));
}

void User::Write(const std::string& tag, const std::string& rest) {
  transcript_.Write("[" + tag + "] " + rest);
}

const ScriptLine& User::Peek(const std::string& window) {
  const ScriptLine* line = script_->Peek(window);
  if (line == nullptr) {
    throw ScriptAbort{"window \"" + window + "\" waits, but " + script_->name() + " has ended"};
  }
  return *line;
}

void User::Take() {
  const ScriptLine* line = script_->Peek("");
  if (line == nullptr) return;
  Write("action", EscapeText(line->text));
  script_->Advance();
}

void User::Refuse(const std::string& window, const ScriptLine& line) {
  std::ostringstream msg;
  msg << script_->name() << " line " << line.number << ": window \"" << window
      << "\" cannot take \"" << line.text << "\"";
  throw ScriptAbort{msg.str()};
}

int User::AnswerBox(const std::string& caption, const std::string& text, unsigned type) {
  const std::vector<BoxButton> buttons = ButtonsOf(type);
  std::string labels;
  for (const BoxButton& b : buttons) {
    if (!labels.empty()) labels += "/";
    labels += b.label;
  }
  if (script_->prompts() != nullptr) {
    *script_->prompts() << "Message box \"" << caption << "\" [" << labels << "]:\n"
                        << text << "\n";
  }
  int answer = 0;
  if (buttons.size() == 1) {
    // An OK-only box takes a line only when it is "press OK".
    const ScriptLine* next = script_->Peek(caption);
    if (next != nullptr && AnswerOf(next->text, buttons) == IDOK &&
        next->text.compare(0, 6, "press ") == 0) {
      Take();
    } else {
      Write("action", "auto OK");
    }
    answer = IDOK;
  } else {
    const ScriptLine& line = Peek(caption);
    answer = AnswerOf(line.text, buttons);
    if (answer == 0) Refuse(caption, line);
    Take();
  }
  std::string answerLabel;
  for (const BoxButton& b : buttons) {
    if (b.id == answer) answerLabel = b.label;
  }
  Write("box", EscapeText(caption) + " | " + EscapeText(text) + " | " + labels + " | " +
                   IconOf(type) + " -> " + answerLabel);
  return answer;
}

}  // namespace sim
