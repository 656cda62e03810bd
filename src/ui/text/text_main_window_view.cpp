// The main window on the terminal: a tree model drawn once when the window is
// first shown, controls whose texts and states are kept, and the script's
// actions dispatched to the dialog logic.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/views.h"
#include "sim/machine.h"
#include "ui/text/script_actions.h"
#include "ui/text/text_window.h"

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
  }
  void EnableControl(int id, bool enable) override { disabled_[id] = !enable; }
  bool IsControlEnabled(int id) const override {
    auto it = disabled_.find(id);
    return it == disabled_.end() || !it->second;
  }
  void SetFocus(int) override {}
  void Redraw() override {}

  int RunModal() override {
    if (!drawn_) DrawTree();
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

  int ButtonId(const std::string& label) const {
    if (textui::SameNoCase(label, "Uninstall")) return kIdUninstall;
    if (textui::SameNoCase(label, "Cancel")) return kIdCancel;
    if (textui::SameNoCase(label, "Banner")) return kIdBanner;
    if (textui::SameNoCase(label, "Help")) return kIdHelpButton;
    return 0;
  }

  void Dispatch() {
    sim::User& user = User();
    const sim::ScriptLine& line = user.Peek(title_);
    const sim::ScriptLine copy = line;
    const textui::Action action = textui::ParseAction(copy.text);
    if (action.verb == "select") {
      const TreeItem item = FindEntry(action.arg);
      if (item == 0) user.Refuse(title_, copy);
      user.Take();
      Click(item);
    } else if (action.verb == "press") {
      const int id = ButtonId(action.arg);
      if (id == 0) user.Refuse(title_, copy);
      user.Take();
      if (IsControlEnabled(id)) events_.OnCommand(id);  // a greyed button ignores clicks
    } else if (action.verb == "key") {
      const int key = textui::ParseKey(action.arg);
      if (key == 0) user.Refuse(title_, copy);
      user.Take();
      events_.OnKey(key);
    } else if (action.verb == "menu") {
      if (!textui::SameNoCase(action.arg, "About")) user.Refuse(title_, copy);
      user.Take();
      events_.OnSysCommand(kSysCommandAbout);
    } else if (action.verb == "help") {
      int id = 0;
      if (!textui::ParseControlId(action.arg, id)) user.Refuse(title_, copy);
      user.Take();
      events_.OnContextHelp(id);
    } else if (action.verb == "close") {
      user.Take();
      events_.OnCloseBox();
    } else {
      user.Refuse(title_, copy);
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
