// The main window on the terminal: a tree model drawn once when the window is
// first shown, controls whose texts and states are kept, and the script's
// actions dispatched to the dialog logic. A person at the terminal also sees
// the window, the tree after each click, and what a click did.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/views.h"
#include "sim/machine.h"
#include "tools/vtsim/text_ui/script_actions.h"
#include "tools/vtsim/text_ui/text_window.h"

namespace {

struct Node {
  std::string text;
  TreeItem parent = 0;
  std::vector<TreeItem> children;
  bool expanded = false;
};

class TextMainWindowView : public IMainWindowView, textui::TextWindow {
 public:
  TextMainWindowView(const std::string& title, IMainWindowEvents& events)
      : TextWindow(title), events_(events) {}

  HWND Handle() const override { return reinterpret_cast<HWND>(std::uintptr_t{0x00020000}); }
  void SetTitle(const std::string& title) override { title_ = title; }

  TreeItem InsertItem(const std::string& text, TreeItem parent) override {
    if (parent != 0 && !Valid(parent)) return 0;
    nodes_.push_back(Node{text, parent, {}, false});
    const TreeItem item = nodes_.size();
    if (parent == 0) {
      roots_.push_back(item);
    } else {
      At(parent).children.push_back(item);
    }
    return item;
  }
  TreeItem GetParentItem(TreeItem item) const override { return Valid(item) ? At(item).parent : 0; }
  TreeItem GetChildItem(TreeItem item) const override {
    if (item == 0) return roots_.empty() ? 0 : roots_.front();
    return Valid(item) && !At(item).children.empty() ? At(item).children.front() : 0;
  }
  TreeItem GetNextSiblingItem(TreeItem item) const override {
    if (!Valid(item)) return 0;
    const std::vector<TreeItem>& level =
        At(item).parent == 0 ? roots_ : At(At(item).parent).children;
    for (size_t i = 0; i + 1 < level.size(); ++i) {
      if (level[i] == item) return level[i + 1];
    }
    return 0;
  }
  std::string GetItemText(TreeItem item) const override {
    return Valid(item) ? At(item).text : std::string();
  }
  void SelectItem(TreeItem item) override {
    if (item != 0 && !Valid(item)) return;
    if (item == selected_) return;
    selected_ = item;
    if (item != 0 && At(item).parent != 0) At(At(item).parent).expanded = true;
    events_.OnTreeSelChanged(item);
  }
  TreeItem GetSelectedItem() const override { return selected_; }
  void Expand(TreeItem item, TreeExpand how) override {
    if (!Valid(item) || At(item).children.empty()) return;
    At(item).expanded = how == TreeExpand::kToggle ? !At(item).expanded : true;
  }
  bool IsExpanded(TreeItem item) const override { return Valid(item) && At(item).expanded; }
  void EnsureVisible(TreeItem item) override {
    if (Valid(item) && At(item).parent != 0) At(At(item).parent).expanded = true;
  }

  void SetControlText(int id, const std::string& text) override {
    texts_[id] = text;
    if (id == kIdProgressText) User().Write("progress", sim::EscapeText(text));
    if (id == kIdProgressCaption) User().Write("caption", sim::EscapeText(text));
    // Once the window is shown, a person sees its progress change.
    if (drawn_ && (id == kIdProgressText || id == kIdProgressCaption)) Tell("Progress: " + text);
  }
  void EnableControl(int id, bool enable) override { disabled_[id] = !enable; }
  bool IsControlEnabled(int id) const override {
    auto it = disabled_.find(id);
    return it == disabled_.end() || !it->second;
  }
  void SetFocus(int) override {}
  void Redraw() override {}

  int RunModal() override {
    if (!drawn_) {
      DrawTree();
      if (AtTerminal()) Show();
    }
    return Loop([this] { Dispatch(); });
  }
  void EndDialog(int result) override { End(result); }

 private:
  bool Valid(TreeItem item) const { return item >= 1 && item <= nodes_.size(); }
  Node& At(TreeItem item) { return nodes_[item - 1]; }
  const Node& At(TreeItem item) const { return nodes_[item - 1]; }

  void DrawTree() {
    drawn_ = true;
    for (TreeItem root : roots_) {
      DrawLine(root, "");
      for (TreeItem member : At(root).children) DrawLine(member, "  ");
    }
  }
  void DrawLine(TreeItem item, const char* indent) {
    // "[tree]" then "*" for the selection, one blank, the indent and the text.
    const std::string tag = item == selected_ ? "[tree]* " : "[tree] ";
    User().WriteLine(tag + indent + sim::EscapeText(At(item).text));
  }

  // The entry that "select NAME" clicks: first in tree order.
  TreeItem FindEntry(const std::string& name) const {
    for (TreeItem root : roots_) {
      if (textui::SameNoCase(At(root).text, name)) return root;
      for (TreeItem member : At(root).children) {
        if (textui::SameNoCase(At(root).text + ", " + At(member).text, name)) return member;
      }
    }
    return 0;
  }

  struct Button {
    int id;
    const char* label;
  };
  static const std::vector<Button>& Buttons() {
    static const std::vector<Button> buttons = {{kIdUninstall, "Uninstall"},
                                                {kIdCancel, "Cancel"},
                                                {kIdBanner, "Banner"},
                                                {kIdHelpButton, "Help"}};
    return buttons;
  }
  static const Button* FindButton(const std::string& label) {
    for (const Button& b : Buttons()) {
      if (textui::SameNoCase(label, b.label)) return &b;
    }
    return nullptr;
  }

  // The window as a person sees it when it is first shown.
  void Show() const {
    std::string shown = "\nWindow \"" + title_ + "\"\n";
    for (int id : {kIdBanner, kIdSubtitle, kIdSelectPrompt}) {
      auto it = texts_.find(id);
      if (it != texts_.end() && !it->second.empty()) shown += "  " + it->second + "\n";
    }
    Tell(shown + TreePicture() + ButtonsPicture() + ProgressPicture());
  }

  // The tree as a person sees it: members of open groups only, the selection
  // marked.
  std::string TreePicture() const {
    if (roots_.empty()) return "Device tree: empty\n";
    std::string shown = "Device tree:\n";
    const auto line = [this](TreeItem item, const std::string& lead) {
      return lead + At(item).text + (item == selected_ ? "   <- selected" : "") + "\n";
    };
    for (TreeItem root : roots_) {
      const Node& group = At(root);
      if (group.children.empty()) {
        shown += line(root, "  ");
        continue;
      }
      shown += line(root, group.expanded ? "  [-] " : "  [+] ");
      if (!group.expanded) continue;
      for (TreeItem member : group.children) shown += line(member, "        ");
    }
    return shown;
  }

  std::string ButtonsPicture() const {
    std::string shown = "Buttons:";
    for (const Button& b : Buttons()) {
      shown += std::string(" ") + b.label + (IsControlEnabled(b.id) ? "" : " (greyed)") +
               (&b == &Buttons().back() ? "\n" : ",");
    }
    return shown;
  }

  std::string ProgressPicture() const {
    std::string shown;
    for (int id : {kIdProgressCaption, kIdProgressText}) {
      auto it = texts_.find(id);
      if (it != texts_.end()) shown += "Progress: " + it->second + "\n";
    }
    return shown;
  }

  // What this window takes, for a person whose line it could not take.
  std::string Offer() const {
    std::string offer = "  select ENTRY, one of:\n";
    for (TreeItem root : roots_) {
      offer += "      " + At(root).text + "\n";
      for (TreeItem member : At(root).children) {
        offer += "      " + At(root).text + ", " + At(member).text + "\n";
      }
    }
    if (roots_.empty()) offer = "  select ENTRY (the tree is empty)\n";
    for (const Button& b : Buttons()) {
      offer +=
          std::string("  press ") + b.label + (IsControlEnabled(b.id) ? "" : " (greyed)") + "\n";
    }
    offer += textui::KeyOffer();
    offer += "  menu About\n  help CONTROL-ID\n  close\n";
    return offer;
  }

  void Dispatch() {
    sim::User& user = User();
    const sim::ScriptLine line = user.Peek(title_);
    const sim::ScriptAction& action = line.action;
    if (!line.problem.empty()) return user.Refuse(title_, line, Offer());
    switch (action.verb) {
      case sim::ScriptVerb::kSelect: {
        const TreeItem item = FindEntry(action.arg);
        if (item == 0) return user.Refuse(title_, line, Offer());
        user.Take();
        Click(item);
        return Tell(TreePicture() + ButtonsPicture());
      }
      case sim::ScriptVerb::kPress: {
        const Button* button = FindButton(action.arg);
        if (button == nullptr) return user.Refuse(title_, line, Offer());
        user.Take();
        // A greyed button ignores clicks.
        if (!IsControlEnabled(button->id)) {
          return Tell(std::string(button->label) + " is greyed out: nothing happens.");
        }
        return events_.OnCommand(button->id);
      }
      case sim::ScriptVerb::kKey:
        user.Take();
        return events_.OnKey(textui::KeyCode(action));
      case sim::ScriptVerb::kMenu:
        if (!textui::SameNoCase(action.arg, "About")) return user.Refuse(title_, line, Offer());
        user.Take();
        return events_.OnSysCommand(kSysCommandAbout);
      case sim::ScriptVerb::kHelp:
        user.Take();
        return events_.OnContextHelp(action.controlId);
      case sim::ScriptVerb::kClose:
        user.Take();
        return events_.OnCloseBox();
      case sim::ScriptVerb::kCopy:
        return user.Refuse(title_, line, Offer());
    }
  }

  // A click selects the entry; a click on the selected entry reports it again.
  void Click(TreeItem item) {
    if (item == selected_) {
      events_.OnTreeSelChanged(item);
    } else {
      SelectItem(item);
    }
  }

  IMainWindowEvents& events_;
  std::vector<Node> nodes_;
  std::vector<TreeItem> roots_;
  TreeItem selected_ = 0;
  std::map<int, std::string> texts_;
  std::map<int, bool> disabled_;
  bool drawn_ = false;
};

}  // namespace

std::unique_ptr<IMainWindowView> CreateMainWindowView(const std::string& title,
                                                      IMainWindowEvents& events) {
  return std::unique_ptr<IMainWindowView>(new TextMainWindowView(title, events));
}
