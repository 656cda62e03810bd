#include "oracle/oracle.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "oracle/allowed_set.h"

namespace oracle {

namespace {

const char kSharedDlls[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS";
const char kDefaultPrinterKeyEnd[] = "\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\PRINTERS";

bool PrefixMatch(const KeyPattern& p, const std::vector<std::string>& parts) {
  if (parts.size() < p.parts.size()) return false;
  for (size_t i = 0; i < p.parts.size(); ++i)
    if (!GlobMatch(p.parts[i], parts[i])) return false;
  return true;
}

bool KeyAllowed(const AllowedSet& allowed, const std::string& key) {
  const std::vector<std::string> parts = KeyParts(key);
  for (const KeyPattern& p : allowed.keys)
    if (p.value.empty() && !p.counter && PrefixMatch(p, parts)) return true;
  return false;
}

bool ValueAllowed(const AllowedSet& allowed, const std::string& key, const std::string& name) {
  if (KeyAllowed(allowed, key)) return true;
  const std::vector<std::string> parts = KeyParts(key);
  for (const KeyPattern& p : allowed.keys)
    if (!p.counter && p.value == name && p.parts.size() == parts.size() && PrefixMatch(p, parts))
      return true;
  return false;
}

bool CounterNamed(const AllowedSet& allowed, const std::string& key, const std::string& name) {
  const std::vector<std::string> parts = KeyParts(key);
  for (const KeyPattern& p : allowed.keys) {
    if (!p.counter || p.parts.size() != parts.size() || !PrefixMatch(p, parts)) continue;
    const std::string& suffix = p.value;
    if (name.size() >= suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return true;
  }
  return false;
}

// A counter's number: a REG_DWORD, or four bytes of REG_BINARY (as Windows 9x
// installers write them); -1 for other data.
long long Dword(const std::string& data) {
  if (data.rfind("dword:", 0) == 0) return std::stoll(data.substr(6), nullptr, 16);
  if (data.rfind("hex:", 0) == 0 && data.size() == 15) {
    long long n = 0;
    for (int i = 3; i >= 0; --i) n = n * 256 + std::stoll(data.substr(4 + 3 * i, 2), nullptr, 16);
    return n;
  }
  return -1;
}

bool FileAllowed(const AllowedSet& allowed, const std::string& path) {
  const std::string bare = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  if (std::find(allowed.files.begin(), allowed.files.end(), bare) != allowed.files.end())
    return true;
  for (const std::string& tree : allowed.trees)
    if (bare.rfind(tree, 0) == 0) return true;
  return false;
}

void CheckList(const char* what, const std::vector<std::string>& before,
               const std::vector<std::string>& after, const std::vector<std::string>& allowed,
               std::vector<std::string>* out) {
  for (const std::string& item : before) {
    if (std::count(after.begin(), after.end(), item) >=
        std::count(before.begin(), before.end(), item))
      continue;
    if (std::find(allowed.begin(), allowed.end(), item) == allowed.end())
      out->push_back(std::string(what) + " removed but not named: " + item);
  }
}

void CheckRegistry(const ImageSnapshot& before, const ImageSnapshot& after,
                   const AllowedSet& allowed, std::vector<std::string>* out) {
  for (const std::string& key : before.keys)
    if (!after.keys.count(key) && !KeyAllowed(allowed, key))
      out->push_back("key removed but not named: " + key);
  for (const auto& [id, data] : before.values) {
    const auto& [key, name] = id;
    auto now = after.values.find(id);
    const bool counter = key == kSharedDlls;
    if (counter) {
      const long long was = Dword(data), is = now == after.values.end() ? -2 : Dword(now->second);
      if (now != after.values.end() && now->second == data) continue;
      const bool named = CounterNamed(allowed, key, name);
      if (!named && !ValueAllowed(allowed, key, name))
        out->push_back("shared-DLL counter changed but not named: " + name);
      else if (is == -2 && was > 1)
        out->push_back("shared-DLL counter removed above one: " + name + " was " +
                       std::to_string(was));
      else if (is != -2 && is != was - 1)
        out->push_back("shared-DLL counter " + name + " went from " + std::to_string(was) + " to " +
                       std::to_string(is));
      continue;
    }
    if (now != after.values.end() && now->second == data) continue;
    if (now != after.values.end() && name == "DEFAULT" &&
        key.size() > sizeof(kDefaultPrinterKeyEnd) &&
        key.compare(key.size() - (sizeof(kDefaultPrinterKeyEnd) - 1), std::string::npos,
                    kDefaultPrinterKeyEnd) == 0 &&
        Upper(data) == "\"" + allowed.default_printer + "\"")
      continue;  // the Windows 9x default printer, cleared when it is the device's
    if (!ValueAllowed(allowed, key, name))
      out->push_back(std::string(now == after.values.end() ? "value removed" : "value changed") +
                     " but not named: " + key + " \\ " + name);
  }
}

}  // namespace

std::vector<std::string> CheckRun(const ImageSnapshot& before, const ImageSnapshot& after,
                                  const std::string& device, const std::string& runLog) {
  const std::string logUpper = Upper(runLog);
  std::vector<std::string> out;
  const AllowedSet allowed = BuildAllowedSet(before, device);
  if (!allowed.problem.empty()) out.push_back("no allowed set: " + allowed.problem);
  CheckRegistry(before, after, allowed, &out);
  for (const auto& [path, host] : before.files)
    if (!after.files.count(path) && !FileAllowed(allowed, path))
      out.push_back("file removed but not named: " + path);
  // A shared file whose counter the list names and which stays above zero is kept.
  for (const auto& [id, data] : after.values) {
    if (id.first != kSharedDlls || Dword(data) < 1 || !CounterNamed(allowed, id.first, id.second))
      continue;
    const bool unread = logUpper.find("SHAREDDLLS\\" + Upper(id.second) +
                                      " \n\t\tWINDOWS CODE = 2 ") != std::string::npos;
    if (before.files.count(id.second) && !after.files.count(id.second) && !unread)
      out.push_back("shared file removed while its counter is " + std::to_string(Dword(data)) +
                    ": " + id.second);
  }
  CheckList("printer", before.printers, after.printers, allowed.printers, &out);
  CheckList("printer driver", before.printer_drivers, after.printer_drivers,
            allowed.printer_drivers, &out);
  CheckList("port", before.ports, after.ports, allowed.ports, &out);
  CheckList("monitor", before.monitors, after.monitors, allowed.monitors, &out);
  CheckList("service", before.services, after.services, allowed.services, &out);
  CheckList("device", before.devices, after.devices, allowed.devices, &out);
  CheckList("installer product", before.products, after.products, allowed.products, &out);
  return out;
}

std::vector<std::string> ListTree(const std::string& dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string line = fs::relative(it->path(), dir).string();
    if (it->is_regular_file()) {
      std::ifstream in(it->path(), std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      line += " " + std::to_string(std::hash<std::string>()(text.str()));
    } else {
      line += "/";
    }
    out.push_back(line);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace oracle
