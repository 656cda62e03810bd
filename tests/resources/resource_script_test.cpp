// The resource script of CvScrubber.exe against the logic's tables: the
// dialogs' control ids (app/dialog_ids.h), the accelerator tables
// (app/accelerators.cpp), the context menu and the texts of the templates
// (the string table). The real dialogs are only seen under Windows or Wine;
// this catches a script that drifted from what the logic expects.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/accelerators.h"
#include "app/dialog_ids.h"
#include "app/info_dialog.h"
#include "resources/resource.h"
#include "resources/string_table.h"

namespace {

// A statement of a resource block: its keyword and its comma-separated
// arguments, quoted texts unescaped.
struct Statement {
  std::string keyword;
  std::vector<std::string> args;
};

// One resource of the script: "102 DIALOGEX", "135 ACCELERATORS" ...
struct Resource {
  std::map<std::string, std::string> options;  // CAPTION, STYLE ...
  std::vector<Statement> body;
};

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Splits at commas outside quotes; a quoted argument loses its quotes and
// escapes (\t, \n, \\, \").
std::vector<std::string> SplitArgs(const std::string& text) {
  std::vector<std::string> args(1);
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '\\' && i + 1 < text.size()) {
      const char e = text[++i];
      args.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      args.emplace_back();
    } else {
      args.back() += c;
    }
  }
  for (std::string& a : args) a = Trim(a);
  return args;
}

// The symbols of resource.h the script uses for resource numbers.
const std::map<std::string, int> kSymbols = {
    {"IDD_ABOUTBOX", IDD_ABOUTBOX},
    {"IDD_MAIN_WINDOW", IDD_MAIN_WINDOW},
    {"IDD_REBOOT", IDD_REBOOT},
    {"IDD_INFO", IDD_INFO},
    {"IDR_MAIN_ACCELERATORS", IDR_MAIN_ACCELERATORS},
    {"IDR_INFO_ACCELERATORS", IDR_INFO_ACCELERATORS},
    {"IDR_REBOOT_ACCELERATORS", IDR_REBOOT_ACCELERATORS},
    {"IDR_INFO_CONTEXT_MENU", IDR_INFO_CONTEXT_MENU},
};

class ResourceScript : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* source = std::getenv("CVS_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream in(std::string(source) + "/src/resources/cvscrubber.rc");
    ASSERT_TRUE(in.good());
    std::string line;
    Resource* current = nullptr;
    int depth = 0;
    while (std::getline(in, line)) {
      line = Trim(line);
      if (line.empty() || line.rfind("//", 0) == 0 || line[0] == '#') continue;
      if (line == "BEGIN") {
        ++depth;
        continue;
      }
      if (line == "END") {
        if (--depth == 0) current = nullptr;
        continue;
      }
      std::istringstream words(line);
      std::string first, second;
      words >> first >> second;
      if (depth == 0 && (second == "DIALOGEX" || second == "ACCELERATORS" || second == "MENU")) {
        auto symbol = kSymbols.find(first);
        const int id = symbol != kSymbols.end() ? symbol->second : std::atoi(first.c_str());
        current = &resources[{id, second}];
        continue;
      }
      if (current == nullptr) continue;
      if (depth == 0) {
        current->options[first] = Trim(line.substr(first.size()));
        continue;
      }
      // Accelerator lines start with their key; others with a keyword.
      Statement statement;
      if (line[0] == '"' || line.rfind("VK_", 0) == 0) {
        statement.args = SplitArgs(line);
      } else {
        statement.keyword = first;
        statement.args = SplitArgs(Trim(line.substr(first.size())));
      }
      current->body.push_back(statement);
    }
  }

  static const Resource& Get(int id, const std::string& type) {
    static const Resource none;
    auto it = resources.find({id, type});
    EXPECT_NE(it, resources.end()) << type << " " << id;
    return it != resources.end() ? it->second : none;
  }

  // Control id -> text of a dialog ("" for a list box).
  static std::map<int, std::string> Controls(int dialog) {
    std::map<int, std::string> controls;
    for (const Statement& s : Get(dialog, "DIALOGEX").body) {
      if (s.args.size() < 2) continue;
      if (s.keyword == "LISTBOX") {
        controls[std::atoi(s.args[0].c_str())] = "";
      } else if (s.keyword != "ICON") {
        controls[std::atoi(s.args[1].c_str())] = s.args[0];
      }
    }
    return controls;
  }

  static std::string Caption(int dialog) {
    const auto& options = Get(dialog, "DIALOGEX").options;
    auto caption = options.find("CAPTION");
    if (caption == options.end()) return std::string();
    return SplitArgs(caption->second).front();
  }

  static std::map<std::pair<int, std::string>, Resource> resources;
};

std::map<std::pair<int, std::string>, Resource> ResourceScript::resources;

// A key of an accelerator line as the logic writes it.
int KeyOf(const Statement& s) {
  if (s.args.size() >= 3 && s.args[2] == "VIRTKEY") {
    if (s.args[0] == "VK_F1") return kKeyF1;
    return -1;
  }
  return s.args[0].size() == 1 ? static_cast<unsigned char>(s.args[0][0]) : -1;
}

using KeyTable = std::set<std::pair<int, int>>;

KeyTable LogicTable(const Accelerator* table, int count) {
  KeyTable keys;
  for (int i = 0; i < count; ++i) keys.insert({table[i].key, table[i].command});
  return keys;
}

TEST_F(ResourceScript, AcceleratorTablesAreTheLogics) {
  const std::pair<int, KeyTable> tables[] = {
      {IDR_MAIN_ACCELERATORS, LogicTable(kMainAccelerators, kMainAcceleratorCount)},
      {IDR_INFO_ACCELERATORS, LogicTable(kInfoAccelerators, kInfoAcceleratorCount)},
      {IDR_REBOOT_ACCELERATORS, LogicTable(kRebootAccelerators, kRebootAcceleratorCount)}};
  for (const auto& [id, expected] : tables) {
    KeyTable script;
    for (const Statement& s : Get(id, "ACCELERATORS").body)
      script.insert({KeyOf(s), std::atoi(s.args.at(1).c_str())});
    EXPECT_EQ(script, expected) << "accelerator table " << id;
  }
}

TEST_F(ResourceScript, DialogsHoldTheControlsTheLogicAddresses) {
  const std::pair<int, std::vector<int>> dialogs[] = {
      {IDD_MAIN_WINDOW,
       {kIdUninstall, kIdCancel, kIdSubtitle, kIdSelectPrompt, kIdProgressText, kIdProgressCaption,
        kIdBanner, kIdStatic1010, kIdHelpButton, kIdDeviceTree}},
      {IDD_INFO,
       {kIdYes, kIdNo, kIdRichText, kIdChosenTitle, kIdQuestion, kIdFoundTitle, kIdFoundList,
        kIdChosenList}},
      {IDD_REBOOT, {kIdRebootNow, kIdCancel}},
      {IDD_ABOUTBOX, {kIdAboutOk}}};
  for (const auto& [dialog, ids] : dialogs) {
    const std::map<int, std::string> controls = Controls(dialog);
    for (int id : ids)
      EXPECT_EQ(controls.count(id), 1u) << "dialog " << dialog << " control " << id;
  }
  // The tree and the rich-text control are of the classes the front end drives.
  bool tree = false, richText = false;
  for (const Statement& s : Get(IDD_MAIN_WINDOW, "DIALOGEX").body)
    tree |= s.keyword == "CONTROL" && s.args.at(1) == std::to_string(kIdDeviceTree) &&
            s.args.at(2) == "SysTreeView32";
  for (const Statement& s : Get(IDD_INFO, "DIALOGEX").body)
    richText |= s.keyword == "CONTROL" && s.args.at(1) == std::to_string(kIdRichText) &&
                s.args.at(2) == "RICHEDIT";
  EXPECT_TRUE(tree);
  EXPECT_TRUE(richText);
}

// Titles and texts the templates carry are the string table's, so the two
// builds cannot show different words.
TEST_F(ResourceScript, TemplateTextsAreTheStringTables) {
  EXPECT_EQ(Caption(IDD_MAIN_WINDOW), LoadStr(IDS_MAIN_TITLE));
  EXPECT_EQ(Caption(IDD_ABOUTBOX), LoadStr(IDS_ABOUT_TITLE));
  EXPECT_EQ(Caption(IDD_INFO), LoadStr(IDS_INFO_TITLE));
  EXPECT_EQ(Caption(IDD_REBOOT), LoadStr(IDS_REBOOT_TITLE));

  const std::pair<int, std::map<int, unsigned>> texts[] = {
      {IDD_MAIN_WINDOW,
       {{kIdBanner, IDS_BANNER_TEXT},
        {kIdSubtitle, IDS_SUBTITLE},
        {kIdSelectPrompt, IDS_SELECT_PROMPT},
        {kIdUninstall, IDS_UNINSTALL_BUTTON},
        {kIdCancel, IDS_CANCEL_BUTTON},
        {kIdProgressCaption, IDS_PROGRESS_CAPTION_INITIAL},
        {kIdProgressText, IDS_PROGRESS_TEXT_INITIAL}}},
      {IDD_INFO,
       {{kIdFoundTitle, IDS_INFO_FOUND_TITLE},
        {kIdChosenTitle, IDS_INFO_CHOSEN_TITLE},
        {kIdQuestion, IDS_INFO_QUESTION},
        {kIdYes, IDS_INFO_YES_BUTTON},
        {kIdNo, IDS_INFO_NO_BUTTON}}},
      {IDD_REBOOT,
       {{1005, IDS_REBOOT_TEXT_1},
        {1011, IDS_REBOOT_TEXT_2},
        {kIdRebootNow, IDS_REBOOT_NOW_BUTTON},
        {kIdCancel, IDS_CANCEL_BUTTON}}}};
  for (const auto& [dialog, expected] : texts) {
    const std::map<int, std::string> controls = Controls(dialog);
    for (const auto& [id, text] : expected) {
      auto it = controls.find(id);
      ASSERT_NE(it, controls.end()) << "dialog " << dialog << " control " << id;
      EXPECT_EQ(it->second, LoadStr(text)) << "dialog " << dialog << " control " << id;
    }
  }
  bool version = false;
  for (const Statement& s : Get(IDD_ABOUTBOX, "DIALOGEX").body)
    version |= !s.args.empty() && s.args[0] == LoadStr(IDS_ABOUT_VERSION);
  EXPECT_TRUE(version);
  // The copyright line (no control id) of the main window and the About box.
  for (int dialog : {IDD_MAIN_WINDOW, IDD_ABOUTBOX}) {
    EXPECT_EQ(Controls(dialog).count(-1), 1u);
    bool copyright = false;
    for (const Statement& s : Get(dialog, "DIALOGEX").body)
      copyright |= !s.args.empty() && s.args[0] == LoadStr(IDS_COPYRIGHT);
    EXPECT_TRUE(copyright) << "dialog " << dialog;
  }
}

TEST_F(ResourceScript, ContextMenuHoldsCopy) {
  std::vector<std::pair<std::string, int>> items;
  for (const Statement& s : Get(IDR_INFO_CONTEXT_MENU, "MENU").body)
    if (s.keyword == "MENUITEM") items.push_back({s.args.at(0), std::atoi(s.args.at(1).c_str())});
  const std::vector<std::pair<std::string, int>> expected = {
      {LoadStr(IDS_INFO_MENU_COPY), kIdCopyCommand}};
  EXPECT_EQ(items, expected);
}

}  // namespace
