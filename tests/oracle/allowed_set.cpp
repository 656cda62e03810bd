#include "oracle/allowed_set.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace oracle {

std::vector<std::string> KeyParts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : Upper(path)) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool GlobMatch(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

namespace {

using Ini = std::map<std::string, std::map<std::string, std::string>>;  // upper-cased names

std::vector<std::string> Lines(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

Ini ReadIni(const std::string& hostPath) {
  Ini ini;
  std::string section;
  for (const std::string& line : Lines(hostPath)) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      section = Upper(line.substr(1, line.size() - 2));
    } else if (size_t eq = line.find('='); eq != std::string::npos) {
      ini[section].emplace(Upper(line.substr(0, eq)), line.substr(eq + 1));
    }
  }
  return ini;
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) out.push_back(Upper(item));
  return out;
}

// Numbered keys (PnP1, PnP2 …) in number order, whatever the count key says.
std::vector<std::string> Numbered(const std::map<std::string, std::string>& section,
                                  const std::string& stem) {
  std::vector<std::string> out;
  for (int i = 1; i < 100; ++i) {
    auto it = section.find(Upper(stem) + std::to_string(i));
    if (it != section.end() && !it->second.empty()) out.push_back(Upper(it->second));
  }
  return out;
}

// The registry roots a hive code stands for, as the image file names them.
std::vector<std::string> HiveRoots(const std::string& code) {
  const std::string c = Upper(code);
  if (c == "HKLM") return {"HKEY_LOCAL_MACHINE"};
  if (c == "HKCR") return {"HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES", "HKEY_CLASSES_ROOT"};
  if (c == "HKCU") return {"HKEY_USERS\\*", "HKEY_CURRENT_USER"};
  if (c == "HKUS" || c == "HKU") return {"HKEY_USERS"};
  if (c == "HKCC")
    return {"HKEY_LOCAL_MACHINE\\SYSTEM\\CURRENTCONTROLSET\\HARDWARE PROFILES\\*",
            "HKEY_LOCAL_MACHINE\\CONFIG\\*"};
  return {};
}

void AddKeyLine(const std::string& line, const std::string& value, bool counter, AllowedSet* out) {
  const size_t slash = line.find('\\');
  const std::string hive = line.substr(0, slash);
  std::string rest = slash == std::string::npos ? "" : line.substr(slash);
  // A Plug-and-Play tag stands for the run's ID: any text.
  for (size_t at; (at = Upper(rest).find("$PNP$")) != std::string::npos;) rest.replace(at, 5, "*");
  for (const std::string& root : HiveRoots(hive))
    out->keys.push_back({KeyParts(root + rest), Upper(value), counter});
}

std::string Unquote(const std::string& data) {
  if (data.size() < 2 || data.front() != '"' || data.back() != '"') return data;
  std::string out;
  for (size_t i = 1; i + 1 < data.size(); ++i) {
    if (data[i] == '\\' && i + 2 < data.size()) ++i;
    out += data[i];
  }
  return out;
}

bool PartsMatch(const std::vector<std::string>& pattern, const std::vector<std::string>& parts) {
  if (pattern.size() != parts.size()) return false;
  for (size_t i = 0; i < parts.size(); ++i)
    if (!GlobMatch(pattern[i], parts[i])) return false;
  return true;
}

// "*KEY" then "Name=Data": the subkeys of KEY whose value Name holds Data.
void AddFoundByValue(const ImageSnapshot& before, const std::string& line,
                     const std::string& nameData, AllowedSet* out) {
  const size_t eq = nameData.find('=');
  if (eq == std::string::npos) return;
  const std::string name = Upper(nameData.substr(0, eq)), data = Upper(nameData.substr(eq + 1));
  AllowedSet parent;
  AddKeyLine(line, "", false, &parent);
  for (const KeyPattern& p : parent.keys) {
    for (const auto& [key, text] : before.values) {
      const std::vector<std::string> parts = KeyParts(key.first);
      if (key.second != name || parts.size() != p.parts.size() + 1) continue;
      if (!PartsMatch(p.parts, {parts.begin(), parts.end() - 1})) continue;
      if (Upper(Unquote(text)) == data) out->keys.push_back({parts, "", false});
    }
  }
}

void ReadRegistryList(const ImageSnapshot& before, const std::vector<std::string>& lines,
                      AllowedSet* out) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    const std::string next = i + 1 < lines.size() ? lines[i + 1] : "";
    if (line[0] == '-' && line.back() == '\\') {
      std::string suffix = next.substr(next.empty() ? 0 : 1);  // the directory prefix goes
      AddKeyLine(line.substr(1), suffix, true, out);
      ++i;
    } else if (line[0] == '*') {
      AddFoundByValue(before, line.substr(1), next, out);
      ++i;
    } else if (line.back() == '\\') {
      AddKeyLine(line, next, false, out);
      ++i;
    } else {
      AddKeyLine(line, "", false, out);
    }
  }
}

// The folders a prefix character stands for: the machine's own folders where
// it has them, and every folder in which an entry of the list with that
// prefix is found.
std::map<char, std::vector<std::string>> PrefixFolders(const ImageSnapshot& before,
                                                       const std::vector<std::string>& lines) {
  std::map<char, std::vector<std::string>> folders;
  const std::map<char, std::vector<const char*>> known = {
      {'$', {"system"}},          {'^', {"windows"}},  {'|', {"desktop", "common_desktop"}},
      {'!', {"common_programs"}}, {'~', {"programs"}}, {'@', {"temp"}}};
  for (const auto& [prefix, names] : known)
    for (const char* name : names)
      if (auto it = before.directories.find(name); it != before.directories.end()) {
        std::string dir = Upper(it->second);
        while (!dir.empty() && dir.back() == '\\') dir.pop_back();
        folders[prefix].push_back(dir);
      }
  for (const std::string& raw : lines) {
    std::string line = raw[0] == '>' ? raw.substr(1) : raw;
    if (line.size() < 2 || std::string("#$^|+!~?@").find(line[0]) == std::string::npos) continue;
    std::string rest = Upper(line.substr(1));
    if (rest[0] != '\\') rest = "\\" + rest;
    for (const auto& [path, host] : before.files) {
      std::string p = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
      if (p.size() > rest.size() && p.compare(p.size() - rest.size(), rest.size(), rest) == 0) {
        const std::string dir = p.substr(0, p.size() - rest.size());
        auto& list = folders[line[0]];
        if (std::find(list.begin(), list.end(), dir) == list.end()) list.push_back(dir);
      }
    }
  }
  // The device-ID folder: ten digits from the registry or an all-digit folder
  // found on disk, below the install folder.
  for (const std::string& install : std::vector<std::string>(folders['#']))
    for (const auto& [path, host] : before.files) {
      if (path.back() != '\\' || path.rfind(install + "\\", 0) != 0) continue;
      const std::string dir = path.substr(0, path.size() - 1);
      const std::string last = dir.substr(dir.rfind('\\') + 1);
      if (!last.empty() && last.find_first_not_of("0123456789") == std::string::npos)
        folders['?'].push_back(dir);
    }
  return folders;
}

void ReadFilesList(const ImageSnapshot& before, const std::vector<std::string>& lines,
                   AllowedSet* out) {
  const auto folders = PrefixFolders(before, lines);
  for (const std::string& raw : lines) {
    if (raw.empty() || raw[0] == ';') continue;
    const bool sweep = raw[0] == '>';
    const std::string line = sweep ? raw.substr(1) : raw;
    if (line.empty()) continue;
    std::vector<std::string> paths;
    if (std::string("#$^|+!~?@").find(line[0]) != std::string::npos) {
      std::string rest = Upper(line.substr(1));
      if (!rest.empty() && rest[0] != '\\') rest = "\\" + rest;
      if (auto it = folders.find(line[0]); it != folders.end())
        for (const std::string& dir : it->second) paths.push_back(dir + rest);
    } else {
      paths.push_back(Upper(line));
    }
    for (const std::string& path : paths) {
      out->files.push_back(path);
      if (sweep) out->trees.push_back(path + "\\");
      if (line[0] == '?') out->trees.push_back(path + "\\MY FAXES\\");
    }
  }
  if (auto it = folders.find('?'); it != folders.end())
    for (const std::string& dir : it->second) {
      out->files.push_back(dir + "\\MY FAXES");
      out->trees.push_back(dir + "\\MY FAXES\\");
    }
}

// OEM INF files (and their PNF twins) whose text names the device.
void AddInfFiles(const ImageSnapshot& before, const std::vector<std::string>& magicKeys,
                 AllowedSet* out) {
  auto windows = before.directories.find("windows");
  if (windows == before.directories.end()) return;
  const std::string infDir = Upper(windows->second) + "\\INF\\";
  for (const auto& [path, host] : before.files) {
    if (path.rfind(infDir + "OEM", 0) != 0 || path.size() < 4 ||
        path.compare(path.size() - 4, 4, ".INF") != 0)
      continue;
    std::ifstream in(host, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    // UTF-16 files are searched with their zero bytes stepped over.
    std::string bytes = text.str();
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    const std::string upper = Upper(bytes);
    for (const std::string& key : magicKeys)
      if (upper.find(key) != std::string::npos) {
        out->files.push_back(path);
        out->files.push_back(path.substr(0, path.size() - 4) + ".PNF");
        break;
      }
  }
}

std::string VersionWord(const std::string& windows) {
  const std::string w = Upper(windows);
  return w == "95" || w == "98" || w == "ME" || w == "NT4" || w == "2000" || w == "XP" ? w : "";
}

}  // namespace

AllowedSet BuildAllowedSet(const ImageSnapshot& before, const std::string& device) {
  AllowedSet out;
  auto current = before.directories.find("current");
  if (current == before.directories.end()) return out.problem = "no current directory", out;
  const std::string dir = Upper(current->second) + "\\";
  auto ini = before.files.find(dir + "VTCVSCRUBBER.INI");
  if (ini == before.files.end()) return out.problem = "no control file", out;
  const Ini control = ReadIni(ini->second);
  const std::string name = Upper(device);
  const std::string group = name.substr(0, name.find(", "));
  auto common = control.find(group + " -- COMMON");
  auto files = control.find(name + " -- " + VersionWord(before.windows) + " FILES");
  if (common == control.end() || files == control.end())
    return out.problem = "no sections for " + device, out;

  auto listLines = [&](const char* key) -> std::vector<std::string> {
    auto it = files->second.find(key);
    if (it == files->second.end()) return {};
    std::string path = Upper(it->second);
    if (path.find(':') == std::string::npos) path = dir + path;
    auto host = before.files.find(path);
    return host == before.files.end() ? std::vector<std::string>() : Lines(host->second);
  };
  ReadRegistryList(before, listLines("REGPATH"), &out);
  ReadFilesList(before, listLines("FILESPATH"), &out);

  const auto& c = common->second;
  auto text = [&](const char* key) {
    auto it = c.find(key);
    return it == c.end() ? std::string() : Upper(it->second);
  };
  const std::string driver = text("DEVIDNAME"), fax = text("DEVIDFAX");
  AddInfFiles(before, Numbered(c, "MagicKey"), &out);
  // Printers of the device's drivers, those drivers, and their DOT4 ports.
  for (const std::string& printer : before.printers) {
    const std::string printerDriver =
        printer.substr(printer.find('|') + 1, printer.rfind('|') - printer.find('|') - 1);
    if (printerDriver.empty() || (printerDriver != driver && printerDriver != fax)) continue;
    out.printers.push_back(printer);
    out.printer_drivers.push_back(printerDriver);
    const std::string port = printer.substr(printer.rfind('|') + 1);
    if (port.find("DOT4") != std::string::npos) out.ports.push_back(port);
  }
  out.monitors = SplitCommas(text("MONITORS"));
  out.services = SplitCommas(text("SERVICES"));
  for (const std::string& cls : SplitCommas(text("KNOWNCLASSES")))
    for (const std::string& dev : before.devices) {
      const std::string devClass = dev.substr(0, dev.find('|')), id = dev.substr(dev.find('|') + 1);
      if (devClass != cls) continue;
      for (const std::string& pnp : Numbered(c, "PnP"))
        if (id.find(pnp) != std::string::npos) out.devices.push_back(dev);
    }
  // Installer packages, with what their own uninstall takes away.
  for (const std::string& code : Numbered(c, "MsiPack")) {
    out.products.push_back(code);
    AddKeyLine("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code, "", false,
               &out);
    if (auto it = before.product_removes.find(code); it != before.product_removes.end())
      for (const std::string& item : it->second) {
        if (item.size() > 1 && item[1] == ':') {
          out.files.push_back(item);
          out.trees.push_back(item + "\\");
        } else {
          AddKeyLine(item, "", false, &out);
        }
      }
  }
  // The device's uninstall entry, named after the device and its device ID.
  AddKeyLine("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + driver + " *", "",
             false, &out);
  out.default_printer = driver;
  // The run log of an earlier run.
  if (auto temp = before.directories.find("temp"); temp != before.directories.end())
    out.files.push_back(Upper(temp->second) + (Upper(temp->second).back() == '\\' ? "" : "\\") +
                        "VTCVSCRUBBER.LOG");
  return out;
}

}  // namespace oracle
