#include "driver.h"

#include <commctrl.h>

#include <algorithm>

#include "excerpt.h"
#include "sim/transcript.h"
#include "system_icons.h"
#include "target_windows.h"

namespace windriver {

namespace {

// Ids the program's windows use where a control has no text to press by.
constexpr int kIdBanner = 1009;        // the main window's banner icon button
constexpr int kIdHelpButton = 1021;    // the main window's help icon button
constexpr int kIdRichText = 1017;      // the information text
constexpr int kIdCopyCommand = 32772;  // the information text's context-menu Copy
constexpr int kSysCommandAbout = 16;   // the main window's system-menu About

// A message box's buttons by id, in the order vtsim lists them.
struct BoxButton {
  int id;
  const char* label;
};
const BoxButton kBoxButtons[] = {{IDOK, "OK"},         {IDABORT, "Abort"}, {IDRETRY, "Retry"},
                                 {IDIGNORE, "Ignore"}, {IDYES, "Yes"},     {IDNO, "No"},
                                 {IDCANCEL, "Cancel"}};

// The button an action presses in a box, or 0 when the box cannot take it.
int BoxAnswer(const ScriptLine& line, const std::vector<BoxButton>& buttons) {
  if (line.verb == Verb::kPress) {
    for (const BoxButton& b : buttons) {
      if (SameNoCase(line.arg, b.label)) return b.id;
    }
    return 0;
  }
  const bool escape = line.verb == Verb::kKey && line.key == Key::kEscape;
  if (line.verb == Verb::kClose || escape) {
    if (buttons.size() == 1) return buttons[0].id;
    for (const BoxButton& b : buttons) {
      if (b.id == IDCANCEL) return IDCANCEL;
    }
    return 0;
  }
  if (line.verb == Verb::kKey && line.key == Key::kEnter) return buttons[0].id;
  return 0;
}

bool Contains(const std::vector<HWND>& list, HWND hwnd) {
  return std::find(list.begin(), list.end(), hwnd) != list.end();
}

// Lines of a rich-text control's text as the control holds it (CR or CR LF
// ends a line; the final paragraph mark gives no empty line).
std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

Driver::Driver(HANDLE process, DWORD processId, std::vector<ScriptLine> lines,
               DriverOptions options, FILE* transcript)
    : process_(process),
      processId_(processId),
      lines_(std::move(lines)),
      options_(std::move(options)),
      out_(transcript) {}

void Driver::Write(const std::string& tag, const std::string& rest) {
  std::fprintf(out_, "[%s] %s\n", tag.c_str(), rest.c_str());
  std::fflush(out_);
}

int Driver::Run() {
  std::vector<HWND> lastSeen;
  DWORD lastChange = GetTickCount();
  while (true) {
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) {
      Track({});
      DWORD code = 0;
      GetExitCodeProcess(process_, &code);
      Write("exit", std::to_string(code & 0xFF));
      for (size_t i = next_; i < lines_.size(); ++i) {
        std::fprintf(stderr, "windriver: %s line %d not used: %s\n", options_.scriptName.c_str(),
                     lines_[i].number, Excerpt(lines_[i].text).c_str());
      }
      return static_cast<int>(code & 0xFF);
    }
    const std::vector<HWND> dialogs = DialogsOf(processId_);
    Track(dialogs);
    const DWORD now = GetTickCount();
    if (dialogs != lastSeen) {
      lastSeen = dialogs;
      lastChange = now;
    }
    const HWND waiting = Waiting(dialogs);
    // A window takes a line once the set of windows has stood still for a
    // moment and the program waits for input.
    if (waiting != nullptr && now - lastChange >= 150 && Settled(waiting)) {
      // The program may have opened its next window while the check waited
      // for it to take messages: that window is announced and answered first.
      if (DialogsOf(processId_) != lastSeen || Waiting(lastSeen) != waiting ||
          !IsWindowEnabled(waiting)) {
        continue;
      }
      if (!Answer(waiting)) return Abort();
      lastChange = GetTickCount();
      Sleep(100);  // time for the posted input to be handled
      continue;
    }
    if (now - lastChange > options_.timeoutMs) {
      const std::string seconds = std::to_string(options_.timeoutMs / 1000);
      failure_ = waiting != nullptr
                     ? "window \"" + known_[waiting].title + "\" did not wait for input within " +
                           seconds + " s"
                     : "no window of the program waited for input within " + seconds + " s";
      return Abort();
    }
    Sleep(30);
  }
}

void Driver::Track(const std::vector<HWND>& dialogs) {
  for (auto it = known_.begin(); it != known_.end();) {
    if (Contains(dialogs, it->first)) {
      ++it;
      continue;
    }
    if (!it->second.box) {
      Write("closed",
            sim::EscapeText(it->second.title) + " -> " + std::to_string(it->second.result));
    }
    it = known_.erase(it);
  }
  // Bottom of the Z order first: the older window opened first.
  for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it) {
    if (known_.count(*it) == 0) Announce(*it);
  }
}

void Driver::Announce(HWND hwnd) {
  // Wait until the window's thread takes messages: its dialog is then
  // initialised.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  Known& known = known_[hwnd];
  known.title = WindowText(hwnd);
  known.box = IsMessageBox(hwnd);
  known.order = ++opened_;
  if (known.box) return;  // written with its answer, as vtsim does
  Write("window", sim::EscapeText(known.title));
  if (HWND tree = TreeOf(hwnd)) {
    std::vector<TreeEntry> entries;
    if (!ReadTree(process_, tree, &entries)) {
      std::fprintf(stderr, "windriver: cannot read the tree of \"%s\"\n", known.title.c_str());
    }
    for (const TreeEntry& e : entries) {
      // "[tree]", "*" for the selection, one blank, members indented two.
      std::fprintf(out_, "%s%s%s\n", e.selected ? "[tree]* " : "[tree] ", e.depth > 0 ? "  " : "",
                   sim::EscapeText(e.text).c_str());
    }
  }
  for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string cls = ClassOf(child);
    if (cls.compare(0, 8, "RichEdit") != 0 && cls.compare(0, 8, "RICHEDIT") != 0) continue;
    const std::string id = std::to_string(GetDlgCtrlID(child));
    for (const std::string& line : TextLines(WindowText(child))) {
      Write("text", id + ": " + sim::EscapeText(line));
    }
  }
  for (const auto& line : ListLines(hwnd)) {
    Write("list", std::to_string(line.first) + ": " + sim::EscapeText(line.second));
  }
}

HWND Driver::Waiting(const std::vector<HWND>& dialogs) const {
  HWND newest = nullptr;
  unsigned order = 0;
  for (HWND hwnd : dialogs) {
    auto it = known_.find(hwnd);
    if (it == known_.end() || !IsWindowEnabled(hwnd)) continue;
    if (it->second.order > order) {
      order = it->second.order;
      newest = hwnd;
    }
  }
  return newest;
}

bool Driver::Settled(HWND waiting) {
  if (WaitForInputIdle(process_, 0) != 0) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(waiting, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0;
}

bool Driver::Answer(HWND hwnd) { return known_[hwnd].box ? AnswerBox(hwnd) : AnswerDialog(hwnd); }

void Driver::Take(const ScriptLine& line) {
  Write("action", sim::EscapeText(line.text));
  ++next_;
}

bool Driver::Refuse(HWND hwnd, const ScriptLine& line) {
  failure_ = options_.scriptName + " line " + std::to_string(line.number) + ": window \"" +
             known_[hwnd].title + "\" cannot take \"" + Excerpt(line.text) + "\"";
  return false;
}

bool Driver::Ended(HWND hwnd) {
  failure_ =
      "window \"" + known_[hwnd].title + "\" waits, but " + options_.scriptName + " has ended";
  return false;
}

int Driver::Abort() {
  TerminateProcess(process_, 3);
  WaitForSingleObject(process_, 5000);
  Write("exit", "3");
  std::fprintf(stderr, "windriver: %s\n", failure_.c_str());
  return 3;
}

const char* Driver::IconOf(HWND box) {
  HWND icon = GetDlgItem(box, 0x14);                  // Windows' icon control
  if (icon == nullptr) icon = GetDlgItem(box, 1088);  // Wine's
  const HICON shown =
      icon == nullptr ? nullptr : reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
  if (shown == nullptr) return "none";
  return SystemIconName(process_, shown, &systemIcons_);
}

bool Driver::AnswerBox(HWND box) {
  std::vector<BoxButton> buttons;
  for (const BoxButton& b : kBoxButtons) {
    HWND button = GetDlgItem(box, b.id);
    if (button != nullptr && IsWindowVisible(button)) buttons.push_back(b);
  }
  if (buttons.empty()) buttons.push_back({IDOK, "OK"});
  std::string labels;
  for (const BoxButton& b : buttons) labels += (labels.empty() ? "" : "/") + std::string(b.label);
  const ScriptLine* line = next_ < lines_.size() ? &lines_[next_] : nullptr;
  int answer = 0;
  if (buttons.size() == 1) {
    // An OK-only box takes a line only when it presses OK.
    if (line != nullptr && line->verb == Verb::kPress && BoxAnswer(*line, buttons) != 0) {
      Take(*line);
    } else {
      Write("action", "auto OK");
    }
    answer = buttons[0].id;
  } else {
    if (line == nullptr) return Ended(box);
    answer = BoxAnswer(*line, buttons);
    if (answer == 0) return Refuse(box, *line);
    Take(*line);
  }
  const char* label = "";
  for (const BoxButton& b : buttons) {
    if (b.id == answer) label = b.label;
  }
  const std::string caption = known_[box].title;
  Write("box", sim::EscapeText(caption) + " | " + sim::EscapeText(MessageBoxText(box)) + " | " +
                   labels + " | " + IconOf(box) + " -> " + label);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
  return true;
}

namespace {

// A click on a tree entry, as the mouse gives it: the tree selects the entry
// and tells its parent (TVN_SELCHANGED, NM_CLICK).
void ClickEntry(HANDLE process, HWND tree, HANDLE item) {
  RECT rect = {};
  if (!ItemRect(process, tree, item, &rect)) {
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    if (!ItemRect(process, tree, item, &rect)) {
      PostMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      return;
    }
  }
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(tree, WM_LBUTTONUP, 0, at);
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) return info.hwndFocus;
  return dialog;
}

void PostKey(HWND target, UINT vk) {
  const UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(target, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

}  // namespace

bool Driver::AnswerDialog(HWND dialog) {
  if (next_ >= lines_.size()) return Ended(dialog);
  const ScriptLine& line = lines_[next_];
  Known& known = known_[dialog];
  switch (line.verb) {
    case Verb::kSelect: {
      const HWND tree = TreeOf(dialog);
      std::vector<TreeEntry> entries;
      if (tree == nullptr || !ReadTree(process_, tree, &entries)) return Refuse(dialog, line);
      std::string group;
      const TreeEntry* found = nullptr;
      for (const TreeEntry& e : entries) {
        if (e.depth == 0) group = e.text;
        const std::string name = e.depth == 0 ? e.text : group + ", " + e.text;
        if (SameNoCase(name, line.arg)) {
          found = &e;
          break;
        }
      }
      if (found == nullptr) return Refuse(dialog, line);
      Take(line);
      ClickEntry(process_, tree, found->item);
      return true;
    }
    case Verb::kPress: {
      HWND button = nullptr;
      for (const Button& b : ButtonsOf(dialog)) {
        if (SameNoCase(b.label, line.arg)) {
          button = b.hwnd;
          break;
        }
      }
      // The main window's two icon buttons have no text.
      if (button == nullptr && SameNoCase(line.arg, "Banner")) {
        button = GetDlgItem(dialog, kIdBanner);
      }
      if (button == nullptr && SameNoCase(line.arg, "Help")) {
        button = GetDlgItem(dialog, kIdHelpButton);
      }
      if (button == nullptr) return Refuse(dialog, line);
      Take(line);
      if (!IsWindowEnabled(button)) return true;  // a greyed button ignores clicks
      const int id = GetDlgCtrlID(button);
      known.result = id;
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      return true;
    }
    case Verb::kKey: {
      Take(line);
      const HWND focus = FocusOf(dialog);
      if (line.key == Key::kTyped) {
        PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(line.typed), 1);
      } else if (line.key == Key::kEnter) {
        const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(def) == DC_HASDEFID) known.result = LOWORD(def);
        PostKey(focus, VK_RETURN);
      } else if (line.key == Key::kEscape) {
        known.result = IDCANCEL;
        PostKey(focus, VK_ESCAPE);
      } else {
        PostKey(focus, VK_F1);
      }
      return true;
    }
    case Verb::kMenu:
      if (!SameNoCase(line.arg, "About") || TreeOf(dialog) == nullptr) {
        return Refuse(dialog, line);
      }
      Take(line);
      PostMessageA(dialog, WM_SYSCOMMAND, kSysCommandAbout, 0);
      return true;
    case Verb::kHelp: {
      Take(line);
      // Context help as Windows delivers it: WM_HELP for the control.
      HWND control = GetDlgItem(dialog, line.controlId);
      if (control == nullptr) return true;
      HELPINFO info = {};
      info.cbSize = sizeof info;
      info.iContextType = HELPINFO_WINDOW;
      info.iCtrlId = line.controlId;
      info.hItemHandle = control;
      info.dwContextId = GetWindowContextHelpId(control);
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info), SMTO_NORMAL, 500,
                          &ignored);
      return true;
    }
    case Verb::kCopy:
      if (GetDlgItem(dialog, kIdRichText) == nullptr) return Refuse(dialog, line);
      Take(line);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kIdCopyCommand, 0), 0);
      return true;
    case Verb::kClose:
      Take(line);
      known.result = IDCANCEL;
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
  }
  return Refuse(dialog, line);
}

}  // namespace windriver
