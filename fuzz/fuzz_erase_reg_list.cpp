// libFuzzer: the input bytes are the lines of a registry list, erased on a
// small registry holding shared counters, a device class, USB device keys
// (one protected) and a few program keys. The first byte picks the Windows
// version code. When the input holds a NUL byte, the lines before it first
// add to the registry: "path" makes a key, "!path" protects one, and
// "path|name|text" sets a value (a DWORD when the text is a number).
//
// After the run an oracle compares the registry with an untouched twin:
// the only keys that may be gone are those the list names (with their
// subkeys), the only values those it names, and a counter value may only go
// down by one for each counter pair naming it. A violation traps.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/run_state.h"
#include "discovery/search_registry.h"
#include "files/remove_software.h"
#include "fuzz/work_folder.h"
#include "log/run_log.h"
#include "registry/erase_reg_data.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

const fs::path& ImageDir() {
  static const fs::path dir = [] {
    fs::path d = fuzz::WorkDir("erase");
    fs::create_directories(d / "drives" / "C" / "WINDOWS" / "TEMP");
    return d;
  }();
  return dir;
}

std::vector<std::string> SplitLines(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

void FillRegistry(sim::Registry& reg, const std::vector<std::string>& extra) {
  const std::string shared = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  reg.SetDword(shared, "C:\\a.dll", 1);
  reg.SetDword(shared, "C:\\b.dll", 300);
  reg.SetValue(shared, "C:\\c.dll", REG_BINARY, std::string("\x02\x00", 2));
  reg.SetString(shared, "C:\\d.dll", "text");
  const std::string cls = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd}";
  reg.SetString(cls + "\\0000", "DriverDesc", "VT Scanner");
  reg.SetString(cls + "\\0001", "DriverDesc", "Other");
  const std::string usb = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB";
  reg.SetString(usb + "\\Vid_04f1&Pid_5100\\5&1", "Driver", "x");
  reg.SetString(usb + "\\Vid_04f1&Pid_5100&MI_00", "Driver", "y");
  reg.SetAccess(usb + "\\Vid_04f1&Pid_5100", sim::KeyAccess::kProtected);
  reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan\\Sub", "Path", "C:\\VT");
  reg.SetString("HKCU\\Software\\Vantrel", "vid_04f1&pid_5100", "1");
  reg.SetString("HKCR\\.vpa", "", "VtPd.Album");
  for (const std::string& line : extra) {
    const size_t bar = line.find('|');
    if (bar == std::string::npos) {
      if (!line.empty() && line[0] == '!') {
        reg.SetAccess(line.substr(1), sim::KeyAccess::kProtected);
      } else {
        reg.Create(line);
      }
      continue;
    }
    const size_t bar2 = line.find('|', bar + 1);
    const std::string path = line.substr(0, bar);
    const std::string name =
        line.substr(bar + 1, bar2 == std::string::npos ? bar2 : bar2 - bar - 1);
    const std::string text = bar2 == std::string::npos ? "" : line.substr(bar2 + 1);
    if (!text.empty() && text.size() < 9 &&
        text.find_first_not_of("0123456789") == std::string::npos) {
      reg.SetDword(path, name, static_cast<DWORD>(std::stoul(text)));
    } else {
      reg.SetString(path, name, text);
    }
  }
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// ---- The registry as plain text, key paths from the stored roots ----

struct Snapshot {
  std::map<const sim::RegKey*, std::string> paths;  // key -> path
  std::set<std::string> keys;
  // (key path, lowered value name) -> (type, data)
  std::map<std::pair<std::string, std::string>, std::pair<DWORD, std::string>> values;
};

void Walk(const sim::RegKey* key, const std::string& path, Snapshot& snap) {
  snap.paths[key] = path;
  snap.keys.insert(path);
  for (const sim::RegValue& v : key->values) {
    snap.values[{path, Lower(std::string(v.name()))}] = {v.type, std::string(v.data())};
  }
  for (const sim::KeyRef& child : key->subkeys()) {
    Walk(child.get(), path + "\\" + Lower(child->name), snap);
  }
}

Snapshot Take(const sim::Registry& reg) {
  Snapshot snap;
  for (int i = 0; i < 4; ++i) {
    if (const sim::RegKey* root = reg.Root(i)) Walk(root, std::to_string(i), snap);
  }
  return snap;
}

// ---- What the list names, resolved on the untouched twin ----

struct Named {
  std::set<std::string> keys;  // each with its subtree
  std::set<std::pair<std::string, std::string>> values;
  // Counter values, which go when their count reaches zero.
  std::set<std::pair<std::string, std::string>> zeroable;
  std::map<std::pair<std::string, std::string>, int> counters;  // -> counter pairs naming it
};

// The spellings a path or value name may take: as written, and with its
// first tag replaced by the run's ID (only when that ID is one of the run's).
std::vector<std::string> Spellings(const std::string& text, const std::string& pnpText) {
  std::vector<std::string> forms{text};
  const std::string lowered = Lower(text);
  const size_t tag = lowered.find("$pnp$");
  if (tag != std::string::npos && !pnpText.empty()) {
    forms.push_back(lowered.substr(0, tag) + Lower(pnpText) + lowered.substr(tag + 5));
  }
  return forms;
}

bool IsRunsId(const std::string& pnpText) {
  for (const std::string& id : g_RemovalData.PnP) {
    if (!id.empty() && Lower(pnpText).find(Lower(id)) != std::string::npos) return true;
  }
  return false;
}

const sim::RegKey* Resolve(sim::Registry& twin, const std::string& code, const std::string& path) {
  HKEY hive = GetMainRegKeyHandle(code.c_str());
  if (hive == nullptr) return nullptr;
  sim::RegKey* base = twin.Predefined(hive, false);
  if (base == nullptr) return nullptr;
  // Windows reads repeated backslashes in a subkey as one and passes over a
  // trailing one: name the key that such a path opens.
  std::string read;
  for (char c : path) {
    if (c == '\\' && (read.empty() || read.back() == '\\')) continue;
    read += c;
  }
  if (!read.empty() && read.back() == '\\') read.pop_back();
  return read.empty() ? base : twin.Walk(base, read);
}

std::string PathOf(const Snapshot& snap, const sim::RegKey* key) {
  auto it = snap.paths.find(key);
  return it == snap.paths.end() ? std::string() : it->second;
}

void NameKey(sim::Registry& twin, const Snapshot& snap, const std::string& code,
             const std::string& path, const std::string& pnpText, Named& named) {
  for (const std::string& form : Spellings(path, pnpText)) {
    const std::string p = PathOf(snap, Resolve(twin, code, form));
    if (!p.empty()) named.keys.insert(p);
  }
}

void NameValue(sim::Registry& twin, const Snapshot& snap, const std::string& code,
               const std::string& path, const std::string& name, const std::string& pnpText,
               std::set<std::pair<std::string, std::string>>& into) {
  for (const std::string& form : Spellings(path, pnpText)) {
    const std::string p = PathOf(snap, Resolve(twin, code, form));
    if (p.empty()) continue;
    for (const std::string& n : Spellings(name, pnpText)) {
      into.insert({p, Lower(n)});
    }
  }
}

std::string TrimLeft(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

// Mirrors the list's grammar loosely: what each entry could name at most.
Named WhatTheListNames(const CStringArray& list, sim::Registry& twin, const Snapshot& snap) {
  const std::string pnpText = IsRunsId(g_szPnPtext) ? g_szPnPtext : "";
  Named named;
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string entry = TrimLeft(list[i]);
    const std::string second = i + 1 < list.size() ? TrimLeft(list[i + 1]) : "";
    if (entry.size() < 6) continue;
    if (entry[0] == '-') {
      // The count is read at the path as written; at zero the value goes
      // through the value-pair code, which expands the name's tag.
      const std::string code = entry.substr(1, 4);
      const std::string path = entry.substr(6);
      const std::string p = PathOf(snap, Resolve(twin, code, path));
      if (!p.empty()) ++named.counters[{p, Lower(second)}];
      NameValue(twin, snap, code, path, second, pnpText, named.zeroable);
    } else if (entry[0] == '*') {
      // Any subkey of the parent holding the value the pair asks about.
      const size_t equals = second.find('=');
      const std::string name = second.substr(0, equals);
      for (const std::string& form : Spellings(entry.substr(6), pnpText)) {
        const sim::RegKey* parent = Resolve(twin, entry.substr(1, 4), form);
        if (parent == nullptr) continue;
        for (const sim::KeyRef& child : parent->subkeys()) {
          if (child->FindValue(name) != nullptr) named.keys.insert(PathOf(snap, child.get()));
        }
      }
    } else if (entry.back() == '\\') {
      NameValue(twin, snap, entry.substr(0, 4), entry.substr(5), second, pnpText, named.values);
    } else {
      NameKey(twin, snap, entry.substr(0, 4), entry.substr(5), pnpText, named);
    }
  }
  return named;
}

bool UnderNamedKey(const Named& named, const std::string& path) {
  for (std::string p = path;;) {
    if (named.keys.count(p) != 0) return true;
    const size_t slash = p.rfind('\\');
    if (slash == std::string::npos) return false;
    p.resize(slash);
  }
}

// The count as the counter code reads it: the bytes stored, little-endian.
bool ReadCount(const std::pair<DWORD, std::string>& value, unsigned long long& count) {
  if (value.first != REG_DWORD && value.first != REG_BINARY) return false;
  if (value.second.size() > 8) return false;
  count = 0;
  for (size_t i = value.second.size(); i > 0; --i) {
    count = (count << 8) | static_cast<unsigned char>(value.second[i - 1]);
  }
  return true;
}

[[noreturn]] void Violation(const char* what, const std::string& where) {
  fprintf(stderr, "oracle: %s: %s\n", what, where.c_str());
  __builtin_trap();
}

void CheckOnlyNamedWentAway(const Snapshot& before, const Snapshot& after, const Named& named) {
  for (const std::string& key : before.keys) {
    if (after.keys.count(key) == 0 && !UnderNamedKey(named, key)) {
      Violation("key gone that the list does not name", key);
    }
  }
  for (const auto& [id, old] : before.values) {
    auto now = after.values.find(id);
    const std::string where = id.first + " : " + id.second;
    auto counter = named.counters.find(id);
    const int decrements = counter == named.counters.end() ? 0 : counter->second;
    unsigned long long oldCount = 0;
    const bool isCount = ReadCount(old, oldCount);
    if (now == after.values.end()) {
      if (after.keys.count(id.first) == 0 && UnderNamedKey(named, id.first)) continue;
      if (named.values.count(id) != 0) continue;
      // A counter goes only once its count reaches zero.
      if (named.zeroable.count(id) != 0 && isCount && oldCount >= 1 &&
          oldCount <= static_cast<unsigned>(decrements)) {
        continue;
      }
      Violation("value gone that the list does not name", where);
    }
    if (now->second == old) continue;
    unsigned long long newCount = 0;
    if (decrements == 0 || !isCount || now->second.first != old.first ||
        now->second.second.size() != old.second.size() || !ReadCount(now->second, newCount)) {
      Violation("value changed that no counter pair names", where);
    }
    if (newCount >= oldCount || oldCount - newCount > static_cast<unsigned>(decrements)) {
      Violation("counter changed by more than its counter pairs allow", where);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const fs::path drive = ImageDir() / "drives" / "C";
  std::error_code ec;
  fs::remove(drive / "WINDOWS" / "TEMP" / "VtCvScrubber.log", ec);

  const int versionCode = static_cast<int>(data[0] % 7) - 1;
  const uint8_t* body = data + 1;
  size_t bodySize = size - 1;
  std::vector<std::string> extra;
  for (size_t i = 0; i < bodySize; ++i) {
    if (body[i] == 0) {
      extra = SplitLines(body, i);
      body += i + 1;
      bodySize -= i + 1;
      break;
    }
  }
  // Lines reach the eraser from the list reader's C strings: none holds a NUL.
  CStringArray list = SplitLines(body, bodySize);
  for (std::string& line : list) line = line.c_str();

  sim::Machine twin;
  FillRegistry(twin.registry, extra);

  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.SetCodePage(1252);
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.drives_root = (ImageDir() / "drives").string();
  m.files.drives['C'] = sim::DriveInfo{};
  FillRegistry(m.registry, extra);
  ResetAllRunState();
  g_RemovalData.PnP = {"VID_9999", "VID_04F1&PID_5100"};
  char dir[260];
  GetRunLogDir(dir);

  CRemoveSoftware remover;
  remover.EraseRegList(list, versionCode);

  const Snapshot before = Take(twin.registry);
  const Snapshot after = Take(m.registry);
  CheckOnlyNamedWentAway(before, after, WhatTheListNames(list, twin.registry, before));
  return 0;
}
