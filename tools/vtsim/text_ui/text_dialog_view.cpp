// The small dialogs (information, restart, About) on the terminal.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/views.h"
#include "resources/string_table.h"
#include "sim/machine.h"
#include "tools/vtsim/text_ui/dialog_layouts.h"
#include "tools/vtsim/text_ui/rtf_text.h"
#include "tools/vtsim/text_ui/script_actions.h"
#include "tools/vtsim/text_ui/text_window.h"

namespace {

// What the rich-text control asks its stream for at a time.
constexpr LONG kStreamChunk = 4096;
// Lines of the information text shown to a person; the transcript has all.
constexpr size_t kShownTextLines = 8;

class TextDialogView : public IDialogView, textui::TextWindow {
 public:
  TextDialogView(const std::string& title, const std::vector<DialogButton>& buttons,
                 IDialogEvents& events)
      : TextWindow(title), buttons_(buttons), events_(events) {}

  HWND Handle() const override { return reinterpret_cast<HWND>(std::uintptr_t{0x00030000}); }
  void AddListLine(int listId, const std::string& text) override {
    User().Write("list", std::to_string(listId) + ": " + sim::EscapeText(text));
    lists_[listId].push_back(text);
  }
  void EnableControl(int id, bool enable) override { disabled_[id] = !enable; }
  void AddToolTip(int id, const std::string& text) override { tips_.push_back({id, text}); }

  LONG StreamIn(int id, UINT format, EDITSTREAM& stream) override {
    std::string data;
    std::vector<char> chunk(kStreamChunk);
    stream.dwError = 0;
    for (;;) {
      LONG got = 0;
      stream.dwError = stream.pfnCallback(stream.dwCookie, reinterpret_cast<LPBYTE>(chunk.data()),
                                          kStreamChunk, &got);
      if (stream.dwError != 0 || got <= 0) break;
      data.append(chunk.data(), static_cast<size_t>(got < kStreamChunk ? got : kStreamChunk));
    }
    richText_ = format == SF_RTF ? textui::RtfToText(data) : data;
    selection_ = {0, 0};
    for (const std::string& line : textui::TextLines(richText_))
      User().Write("text", std::to_string(id) + ": " + sim::EscapeText(line));
    return static_cast<LONG>(richText_.size());
  }
  void SetSel(int, const CHARRANGE& range) override {
    const LONG end = static_cast<LONG>(richText_.size());
    if (range.cpMin < 0) {  // no selection: the caret stays where the selection ended
      selection_ = {selection_.cpMax, selection_.cpMax};
      return;
    }
    const LONG first = range.cpMin > end ? end : range.cpMin;
    const LONG last = range.cpMax < 0 || range.cpMax > end ? end : range.cpMax;
    selection_ = {first < last ? first : last, first < last ? last : first};
  }
  std::string GetSelText(int) const override {
    return richText_.substr(static_cast<size_t>(selection_.cpMin),
                            static_cast<size_t>(selection_.cpMax - selection_.cpMin));
  }

  // A script's `copy` chooses Copy; a menu without it is dismissed.
  int TrackPopupMenu(const std::vector<MenuEntry>& entries) override {
    for (const MenuEntry& entry : entries) {
      const std::string label = entry.label.substr(0, entry.label.find('\t'));
      if (!menuChoice_.empty() && textui::SameNoCase(label, menuChoice_)) return entry.command;
    }
    return 0;
  }

  int RunModal() override {
    if (AtTerminal()) Show();
    return Loop([this] { Dispatch(); });
  }
  void EndDialog(int result) override { End(result); }

 private:
  bool Enabled(int id) const {
    auto it = disabled_.find(id);
    return it == disabled_.end() || !it->second;
  }

  // The dialog as a person sees it when it opens.
  void Show() const {
    std::string shown = "\nWindow \"" + title_ + "\"\n";
    const std::vector<std::string> lines = textui::TextLines(richText_);
    for (size_t i = 0; i < lines.size() && i < kShownTextLines; ++i)
      shown += "  | " + lines[i] + "\n";
    if (lines.size() > kShownTextLines) {
      shown += "  | (" + std::to_string(lines.size() - kShownTextLines) +
               " more lines; the transcript has them all)\n";
    }
    for (const textui::LayoutItem& item : textui::DialogLayout(title_)) {
      if (item.textId != 0) shown += std::string("  ") + LoadStr(item.textId) + "\n";
      auto list = lists_.find(item.listId);
      if (item.listId == 0 || list == lists_.end()) continue;
      for (const std::string& line : list->second) shown += "      " + line + "\n";
    }
    shown += "Buttons: " + ButtonList();
    for (const DialogButton& tip : tips_)
      shown += "\n  Tip on " + ControlName(tip.id) + ": " + tip.label;
    Tell(shown);
  }

  // A control as a person knows it: a button by its label, others by id.
  std::string ControlName(int id) const {
    for (const DialogButton& b : buttons_) {
      if (b.id == id) return b.label;
    }
    return "control " + std::to_string(id);
  }

  std::string ButtonList() const {
    std::string list;
    for (const DialogButton& b : buttons_) {
      if (!list.empty()) list += ", ";
      list += b.label + (Enabled(b.id) ? "" : " (greyed)");
    }
    return list;
  }

  // What this dialog takes, for a person whose line it could not take.
  std::string Offer() const {
    std::string offer;
    for (const DialogButton& b : buttons_) {
      offer += "  press " + b.label + (Enabled(b.id) ? "" : " (greyed)") + "\n";
    }
    offer += textui::KeyOffer();
    offer += "  help CONTROL-ID\n";
    if (events_.SupportsCopy()) offer += "  copy\n";
    offer += "  close\n";
    return offer;
  }

  void Dispatch() {
    sim::User& user = User();
    const sim::ScriptLine line = user.Peek(title_);
    const sim::ScriptAction& action = line.action;
    if (!line.problem.empty()) return user.Refuse(title_, line, Offer());
    switch (action.verb) {
      case sim::ScriptVerb::kPress:
        return Press(line);
      case sim::ScriptVerb::kKey:
        user.Take();
        return events_.OnKey(textui::KeyCode(action));
      case sim::ScriptVerb::kHelp:
        user.Take();
        events_.OnContextHelp(action.controlId);
        return;
      case sim::ScriptVerb::kCopy:
        if (!events_.SupportsCopy()) return user.Refuse(title_, line, Offer());
        user.Take();
        menuChoice_ = "Copy";
        events_.OnContextMenu();
        menuChoice_.clear();
        return Tell("Copy: chosen from the context menu.");
      case sim::ScriptVerb::kClose:
        user.Take();
        return events_.OnCloseBox();
      case sim::ScriptVerb::kSelect:
      case sim::ScriptVerb::kMenu:
        return user.Refuse(title_, line, Offer());
    }
  }

  void Press(const sim::ScriptLine& line) {
    const DialogButton* button = nullptr;
    for (const DialogButton& b : buttons_) {
      if (textui::SameNoCase(b.label, line.action.arg)) button = &b;
    }
    if (button == nullptr) return User().Refuse(title_, line, Offer());
    User().Take();
    if (!Enabled(button->id)) {
      return Tell(button->label + " is greyed out: nothing happens.");  // as a click on it
    }
    events_.OnCommand(button->id);
    if (button->id == kIdRebootNow) TellRestart(button->label);
    if (button->id == kIdCancel && HasRestartButton()) {
      Tell(
          "Cancel: Windows is not restarted now; what waits for a restart happens at its next "
          "start.");
    }
  }

  bool HasRestartButton() const {
    for (const DialogButton& b : buttons_) {
      if (b.id == kIdRebootNow) return true;
    }
    return false;
  }

  // Whether the program's restart request reached Windows.
  static void TellRestart(const std::string& label) {
    const nlohmann::ordered_json& pc = sim::CurrentOrDie().json;
    auto restart = pc.find("restart");
    if (restart != pc.end() && !restart->is_null()) {
      Tell(label + ": Windows restarts; the program ends at its next wait.");
    } else {
      Tell(label + ": Windows did not restart; the dialog stays open.");
    }
  }

  std::vector<DialogButton> buttons_;
  IDialogEvents& events_;
  std::vector<DialogButton> tips_;  // control id and tip text, in creation order
  std::map<int, bool> disabled_;
  std::map<int, std::vector<std::string>> lists_;
  std::string richText_;  // the rich-text control's plain text (CR LF line ends)
  CHARRANGE selection_ = {0, 0};
  std::string menuChoice_;  // the entry a script's action picks from the next popup menu
};

}  // namespace

std::unique_ptr<IDialogView> CreateDialogView(const std::string& title,
                                              const std::vector<DialogButton>& buttons,
                                              IDialogEvents& events) {
  return std::unique_ptr<IDialogView>(new TextDialogView(title, buttons, events));
}
