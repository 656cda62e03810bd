#include "sim/user.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "platform/win32.h"
#include "sim/excerpt.h"
#include "sim/machine.h"
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

// The button an action presses in a box, or 0 when the box cannot take it.
int AnswerOf(const ScriptAction& action, const std::vector<BoxButton>& buttons) {
  if (action.verb == ScriptVerb::kPress) {
    for (const BoxButton& b : buttons) {
      if (EqualNoCase(action.arg, b.label)) return b.id;
    }
    return 0;
  }
  const bool escape = action.verb == ScriptVerb::kKey && action.key == ScriptKey::kEscape;
  // The close box and Escape mean Cancel; a box with only OK answers OK.
  if (action.verb == ScriptVerb::kClose || escape) {
    if (buttons.size() == 1) return buttons[0].id;
    for (const BoxButton& b : buttons) {
      if (b.id == IDCANCEL) return IDCANCEL;
    }
    return 0;
  }
  if (action.verb == ScriptVerb::kKey && action.key == ScriptKey::kEnter) return buttons[0].id;
  return 0;
}

// What a box takes, for a person whose line it could not take.
std::string BoxOffer(const std::vector<BoxButton>& buttons) {
  std::string offer;
  for (const BoxButton& b : buttons) offer += std::string("  press ") + b.label + "\n";
  offer += std::string("  key Enter (") + buttons[0].label + ")\n";
  for (const BoxButton& b : buttons) {
    if (b.id == IDCANCEL || buttons.size() == 1) {
      offer += std::string("  key Escape, close (") + b.label + ")\n";
    }
  }
  if (buttons.size() == 1) offer += "  an empty line (OK)\n";
  return offer;
}

// Program texts for a person: CR LF and LF end lines, tabs stay, other
// control bytes are shown escaped, the code page turns into the terminal's UTF-8.
std::string ForPerson(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (u < 0x20 && c != '\n' && c != '\t') {
      shown += EscapeText(std::string(1, c));
    } else {
      shown += c;
    }
  }
  return AnsiToUtf8(shown);
}

}  // namespace

User::User() : script_(new Script()) {}
User::~User() = default;

bool User::SetScript(const std::string& text, const std::string& name, std::string* error) {
  script_.reset(new Script(Script::FromText(text, name)));
  if (script_->error().empty()) return true;
  if (error != nullptr) *error = script_->error();
  return false;
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
  return SetScript(text.str(), name, error);
}

void User::SetTerminal(std::istream& in, std::ostream& prompts) {
  script_.reset(new Script(Script::FromTerminal(in, prompts)));
}

void User::Tell(const std::string& text) {
  std::ostream* person = script_->prompts();
  if (person == nullptr) return;
  *person << ForPerson(text) << '\n' << std::flush;
}

void User::Write(const std::string& tag, const std::string& rest) {
  transcript_.Write("[" + tag + "] " + rest);
}

void User::EndIfRestarting() {
  if (!ending_) return;
  ending_ = false;
  Write("restart", "Windows restarts: the program ends");
  Tell("Windows restarts: the program ends.");
  throw ProcessExit{0};
}

const ScriptLine& User::Peek(const std::string& window) {
  EndIfRestarting();
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

void User::Refuse(const std::string& window, const ScriptLine& line, const std::string& offer) {
  if (!AtTerminal()) {
    std::ostringstream msg;
    msg << script_->name() << " line " << line.number << ": window \"" << window
        << "\" cannot take \"" << Excerpt(line.text) << "\"";
    throw ScriptAbort{msg.str()};
  }
  const std::string why = line.problem.empty() ? "" : ": " + line.problem;
  script_->Advance();  // the person's line is dropped; the window asks again
  Tell("\"" + line.text + "\" cannot be taken here" + why + ". This window takes:\n" + offer +
       "Verbs: " + ScriptVerbList() + ".");
}

int User::AnswerOkOnlyBox(const std::string& caption, const std::string& offer) {
  while (true) {
    // A person sees the box and answers it; a script answers it with "press OK"
    // or, without taking a line, automatically.
    const ScriptLine* next = script_->Peek(caption, AtTerminal());
    const bool ok = next != nullptr && next->problem.empty() && !next->text.empty() &&
                    AnswerOf(next->action, {{"OK", IDOK}}) == IDOK;
    if (!AtTerminal()) {
      if (ok && next->action.verb == ScriptVerb::kPress) {
        Take();
      } else {
        Write("action", "auto OK");
      }
      return IDOK;
    }
    if (next == nullptr) {
      Write("action", "auto OK");  // input has ended: as a script that has run out
      return IDOK;
    }
    if (next->text.empty()) {
      // Enter alone: written as the line a script would need for this box.
      Write("action", "press OK");
      script_->Advance();
      return IDOK;
    }
    if (ok) {
      Take();
      return IDOK;
    }
    const ScriptLine refused = *next;
    Refuse(caption, refused, offer);
  }
}

int User::AnswerBox(const std::string& caption, const std::string& text, unsigned type) {
  EndIfRestarting();  // the box never reaches the user
  const std::vector<BoxButton> buttons = ButtonsOf(type);
  std::string labels;
  for (const BoxButton& b : buttons) {
    if (!labels.empty()) labels += "/";
    labels += b.label;
  }
  const std::string offer = BoxOffer(buttons);
  // Shown once; a refused line repeats only what the box takes.
  Tell("\nMessage box \"" + caption + "\" (" + IconOf(type) + "):\n" + text +
       "\nButtons: " + labels + (buttons.size() == 1 ? " (press Enter)" : ""));
  int answer = 0;
  if (buttons.size() == 1) {
    answer = AnswerOkOnlyBox(caption, offer);
  } else {
    while (answer == 0) {
      const ScriptLine line = Peek(caption);
      answer = line.problem.empty() ? AnswerOf(line.action, buttons) : 0;
      if (answer == 0) {
        Refuse(caption, line, offer);
      } else {
        Take();
      }
    }
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
