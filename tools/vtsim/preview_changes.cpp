// The items of a preview: what the snapshots before and after differ in.
#include "tools/vtsim/preview_changes.h"

#include <cctype>
#include <set>
#include <sstream>

#include "sim/batch_words.h"

namespace vtsim {

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         UpperPath(text.substr(text.size() - tail.size())) == UpperPath(tail);
}

bool IsSharedCounterKey(const std::string& key) {
  return EndsWithNoCase(key, "\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");
}

const RegistryKeyState* FindKey(const ImageSnapshot& s, const std::string& path) {
  const auto it = s.key_index.find(UpperPath(path));
  return it == s.key_index.end() ? nullptr : &s.keys[it->second];
}

const RegistryValueText* FindValue(const RegistryKeyState& key, const std::string& name) {
  // Value names compare without case, as the registry looks them up.
  for (const RegistryValueText& v : key.values)
    if (UpperPath(v.name) == UpperPath(name)) return &v;
  return nullptr;
}

void CompareRegistry(const ImageSnapshot& before, const ImageSnapshot& after, PreviewChanges& out) {
  for (const RegistryKeyState& key : before.keys) {
    const RegistryKeyState* now = FindKey(after, key.path);
    if (!now) {
      out.keys_removed.push_back(key.path);
      continue;
    }
    for (const RegistryValueText& value : key.values) {
      const RegistryValueText* kept = FindValue(*now, value.name);
      if (!kept) {
        out.values_removed.push_back({key.path, value.name, value.data});
      } else if (kept->data != value.data) {
        if (IsSharedCounterKey(key.path) && value.is_dword && kept->is_dword)
          out.shared_counters.push_back({value.name, value.dword, kept->dword});
        else
          out.values_changed.push_back({key.path, value.name, value.data, kept->data});
      }
    }
  }
  for (const RegistryKeyState& key : after.keys) {
    const RegistryKeyState* old = FindKey(before, key.path);
    if (!old) {
      out.keys_added.push_back(key.path);
      continue;
    }
    for (const RegistryValueText& value : key.values)
      if (!FindValue(*old, value.name))
        out.values_added.push_back({key.path, value.name, value.data});
  }
}

bool Exists(const ImageSnapshot& s, const std::string& path) {
  const std::string upper = UpperPath(path);
  return s.files.count(upper) != 0 || s.files.count(upper + "\\") != 0;
}

void CompareFiles(const ImageSnapshot& before, const ImageSnapshot& afterRun,
                  const ImageSnapshot& afterRestart, const std::vector<std::string>& targets,
                  PreviewChanges& out) {
  for (const auto& [upper, path] : before.files) {
    const bool afterRunHas = afterRun.files.count(upper) != 0;
    const bool finallyHas = afterRestart.files.count(upper) != 0;
    if (finallyHas) continue;
    if (IsOemInfPath(path))
      out.inf_files_removed.push_back(path);
    else if (!afterRunHas)
      out.deleted_now.push_back(path);
    else
      out.deleted_at_restart.push_back(path);
  }
  for (const auto& [upper, path] : afterRestart.files)
    if (!before.files.count(upper)) out.files_added.push_back(path);
  std::set<std::string> told;
  for (const std::string& target : targets) {
    if (Exists(afterRestart, target) && told.insert(UpperPath(target)).second)
      out.left_at_restart.push_back(target);
  }
}

// machine.json lists, with what names one entry readably.
struct ListShape {
  const char* field;
  const char* title;
  std::string (*text)(const nlohmann::ordered_json& entry);
};

std::string Field(const nlohmann::ordered_json& e, const char* name) {
  const auto it = e.find(name);
  return it != e.end() && it->is_string() ? it->get<std::string>() : "";
}

std::string EntryName(const nlohmann::ordered_json& e) {
  return e.is_string() ? e.get<std::string>() : Field(e, "name");
}

std::string DeviceText(const nlohmann::ordered_json& e) {
  std::string id;
  const auto ids = e.find("hardware_ids");
  if (ids != e.end() && ids->is_array() && !ids->empty() && ids->front().is_string())
    id = ids->front().get<std::string>();
  return Field(e, "class") + " " + id;
}

const ListShape kLists[] = {
    {"printers", "printers",
     [](const nlohmann::ordered_json& e) {
       return Field(e, "name") + " (driver " + Field(e, "driver") + ", port " + Field(e, "port") +
              ")";
     }},
    {"printer_drivers", "printer drivers",
     [](const nlohmann::ordered_json& e) {
       return Field(e, "name") + " [" + Field(e, "environment") + "]";
     }},
    {"ports", "ports", EntryName},
    {"monitors", "print monitors", EntryName},
    {"services", "services", EntryName},
    {"devices", "devices", DeviceText},
    {"installer_products", "installer packages",
     [](const nlohmann::ordered_json& e) { return Field(e, "code"); }},
};

std::vector<std::string> ListTexts(const nlohmann::ordered_json& machine, const ListShape& shape) {
  std::vector<std::string> texts;
  const auto list = machine.find(shape.field);
  if (list == machine.end() || !list->is_array()) return texts;
  for (const auto& entry : *list) texts.push_back(shape.text(entry));
  return texts;
}

void CompareMachine(const nlohmann::ordered_json& before, const nlohmann::ordered_json& after,
                    PreviewChanges& out) {
  for (const ListShape& shape : kLists) {
    MachineListChange change{shape.field, shape.title, {}};
    std::multiset<std::string> left;
    for (const std::string& t : ListTexts(after, shape)) left.insert(t);
    for (const std::string& t : ListTexts(before, shape)) {
      const auto it = left.find(t);
      if (it == left.end())
        change.removed.push_back(t);
      else
        left.erase(it);
    }
    out.machine_lists.push_back(std::move(change));
  }
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  const size_t b = s.find_last_not_of(" \t");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

bool IsFullPath(const std::string& p) {
  return p.size() > 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':' &&
         p[2] == '\\' && p.find_first_of("*?") == std::string::npos;
}

}  // namespace

bool IsOemInfPath(const std::string& path) {
  const std::string upper = UpperPath(path);
  const size_t slash = upper.rfind('\\');
  if (slash == std::string::npos || slash < 4) return false;
  const std::string name = upper.substr(slash + 1);
  return upper.compare(slash - 4, 4, "\\INF") == 0 && name.rfind("OEM", 0) == 0 &&
         (EndsWithNoCase(name, ".INF") || EndsWithNoCase(name, ".PNF"));
}

std::vector<std::string> RestartTargets(const std::string& restartOutput) {
  std::vector<std::string> targets;
  std::istringstream lines(restartOutput);
  std::string line;
  const std::string pending = "[pending] delete ";
  while (std::getline(lines, line)) {
    if (line.rfind(pending, 0) == 0) {
      const size_t arrow = line.rfind(" -> ");
      if (arrow != std::string::npos && arrow > pending.size()) {
        const std::string path = line.substr(pending.size(), arrow - pending.size());
        if (IsFullPath(path)) targets.push_back(path);
      }
      continue;
    }
    // A batch line: "PROMPT> COMMAND ARGUMENTS"; the prompt is a full path.
    const size_t prompt = line.find("> ");
    if (prompt == std::string::npos || !IsFullPath(line.substr(0, prompt) + "\\")) continue;
    // The arguments as the interpreter itself splits them.
    std::vector<std::string> args = sim::SplitArguments(Trim(line.substr(prompt + 2)), true);
    if (args.empty()) continue;
    const std::string command = UpperPath(args[0]);
    if (command != "DEL" && command != "ERASE" && command != "RD" && command != "RMDIR") continue;
    for (size_t i = 1; i < args.size(); ++i)
      if (IsFullPath(args[i])) targets.push_back(args[i]);
  }
  return targets;
}

PreviewChanges CompareSnapshots(const ImageSnapshot& before, const ImageSnapshot& afterRun,
                                const ImageSnapshot& afterRestart,
                                const std::vector<std::string>& restartTargets) {
  PreviewChanges changes;
  CompareRegistry(before, afterRestart, changes);
  CompareFiles(before, afterRun, afterRestart, restartTargets, changes);
  CompareMachine(before.machine, afterRestart.machine, changes);
  return changes;
}

}  // namespace vtsim
