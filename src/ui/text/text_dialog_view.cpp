// The small dialogs (information, restart, About) on the terminal.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/views.h"
#include "sim/machine.h"
#include "ui/text/script_actions.h"
#include "ui/text/text_window.h"

namespace {

class TextDialogView : public IDialogView, textui::TextWindow {
 public:
  TextDialogView(const std::string& title, const std::vector<DialogButton>& buttons,
                 IDialogEvents& events)
      : TextWindow(title), buttons_(buttons), events_(events) {}

  HWND Handle() const override { return reinterpret_cast<HWND>(std::uintptr_t{0x00030000}); }
  void AddListLine(int listId, const std::string& text) override {
    User().Write("list", std::to_string(listId) + ": " + sim::EscapeText(text));
  }
  void EnableControl(int id, bool enable) override { disabled_[id] = !enable; }

  int RunModal() override {
    return Loop([this] { Dispatch(); });
  }
  void EndDialog(int result) override { End(result); }

 private:
  void Dispatch() {
    sim::User& user = User();
    const sim::ScriptLine line = user.Peek(title_);
    const textui::Action action = textui::ParseAction(line.text);
    if (action.verb == "press") {
      const DialogButton* button = nullptr;
      for (const DialogButton& b : buttons_) {
        if (textui::SameNoCase(b.label, action.arg)) button = &b;
      }
      if (button == nullptr) user.Refuse(title_, line);
      user.Take();
      auto it = disabled_.find(button->id);
      if (it == disabled_.end() || !it->second) events_.OnCommand(button->id);
    } else if (action.verb == "key") {
      const int key = textui::ParseKey(action.arg);
      if (key == 0) user.Refuse(title_, line);
      user.Take();
      events_.OnKey(key);
    } else if (action.verb == "help") {
      int id = 0;
      if (!textui::ParseControlId(action.arg, id)) user.Refuse(title_, line);
      user.Take();
      events_.OnContextHelp(id);
    } else if (action.verb == "copy") {
      if (!events_.SupportsCopy()) user.Refuse(title_, line);
      user.Take();
      events_.OnCopy();
    } else if (action.verb == "close") {
      user.Take();
      events_.OnCloseBox();
    } else {
      user.Refuse(title_, line);
    }
  }

  std::vector<DialogButton> buttons_;
  IDialogEvents& events_;
  std::map<int, bool> disabled_;
};

}  // namespace

std::unique_ptr<IDialogView> CreateDialogView(const std::string& title,
                                              const std::vector<DialogButton>& buttons,
                                              IDialogEvents& events) {
  return std::unique_ptr<IDialogView>(new TextDialogView(title, buttons, events));
}
