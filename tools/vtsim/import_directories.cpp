#include "tools/vtsim/import_directories.h"

#include <map>
#include <utility>

#include "sim/text.h"

namespace vtsim {
namespace {

const char kCurrentVersion[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kNtCurrentVersion[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char kUserShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kCommonShellFolders[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kSystemEnvironment[] =
    "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos || slash < 2 ? "" : path.substr(0, slash);
}

// Expands %NAME% as Windows does for REG_EXPAND_SZ data (`text` by value: `out`
// may be the same string); false when a
// variable is unknown (the caller then keeps its default).
bool Expand(std::string text, const std::map<std::string, std::string>& env, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size();) {
    const size_t open = text.find('%', i);
    if (open == std::string::npos) {
      *out += text.substr(i);
      break;
    }
    const size_t close = text.find('%', open + 1);
    if (close == std::string::npos) {
      *out += text.substr(i);
      break;
    }
    *out += text.substr(i, open - i);
    auto it = env.find(sim::UpperCase(text.substr(open + 1, close - open - 1)));
    if (it == env.end()) return false;
    *out += it->second;
    i = close + 1;
  }
  return true;
}

}  // namespace

bool IsNineX(const std::string& windows) {
  const std::string w = Lower(windows);
  return w == "95" || w == "98" || w == "me";
}

std::string RegistryText(const sim::Registry& registry, const std::string& key,
                         const std::string& name) {
  const sim::RegValue* v = registry.GetValue(key, name);
  if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) return "";
  const std::string_view data = v->data();
  return std::string(data.substr(0, data.find('\0')));
}

nlohmann::ordered_json ImportDirectories(const sim::Registry& registry, const std::string& windows,
                                         char drive, const std::string& current) {
  const bool ninex = IsNineX(windows);
  const std::string w = Lower(windows);
  const std::string root = std::string(1, drive) + ":";
  std::string windir =
      RegistryText(registry, ninex ? kCurrentVersion : kNtCurrentVersion, "SystemRoot");
  if (windir.empty()) windir = root + (w == "nt4" || w == "2000" ? "\\WINNT" : "\\WINDOWS");
  const std::string system = windir + (ninex ? "\\SYSTEM" : "\\system32");

  // Code-page text as the registry holds it, until the end.
  std::map<std::string, std::string> env;
  env["SYSTEMROOT"] = windir;
  env["WINDIR"] = windir;
  env["SYSTEMDRIVE"] = root;
  // The profile folder is the Desktop's parent on 2000/XP (there is no key
  // naming the logged-on user's profile outside the volatile environment).
  const std::string desktop = RegistryText(registry, kUserShellFolders, "Desktop");
  if (!ninex && !Parent(desktop).empty()) env["USERPROFILE"] = Parent(desktop);
  const std::string commonDesktop = RegistryText(registry, kCommonShellFolders, "Common Desktop");
  if (!ninex && !Parent(commonDesktop).empty()) env["ALLUSERSPROFILE"] = Parent(commonDesktop);
  for (const char* key : {kSystemEnvironment, "HKCU\\Environment"}) {
    const sim::RegKey* k = registry.Find(key);
    if (!k) continue;
    for (const sim::RegValue& v : k->values) {
      if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) continue;
      const std::string_view data = v.data();
      std::string expanded;
      if (Expand(std::string(data.substr(0, data.find('\0'))), env, &expanded))
        env[sim::UpperCase(std::string(v.name()))] = expanded;
    }
  }

  // GetTempPath: TMP, then TEMP, else the Windows folder's TEMP.
  std::string temp;
  for (const char* name : {"TMP", "TEMP"}) {
    auto it = env.find(name);
    if (temp.empty() && it != env.end() && it->second.size() > 2) temp = it->second;
  }
  if (temp.empty()) temp = windir + "\\TEMP";
  if (temp.back() != '\\') temp += '\\';

  std::string programFiles = RegistryText(registry, kCurrentVersion, "ProgramFilesDir");
  if (programFiles.empty() || !Expand(programFiles, env, &programFiles))
    programFiles = root + "\\Program Files";

  std::vector<std::pair<std::string, std::string>> dirs = {
      {"current", current.empty() ? root + "\\" : sim::Utf8ToAnsi(current)},
      {"temp", temp},
      {"windows", windir},
      {"system", system},
      {"program_files", programFiles}};
  const std::pair<const char*, const char*> userFolders[] = {{"desktop", "Desktop"},
                                                             {"programs", "Programs"},
                                                             {"personal", "Personal"},
                                                             {"favorites", "Favorites"},
                                                             {"startup", "Startup"},
                                                             {"recent", "Recent"},
                                                             {"sendto", "SendTo"},
                                                             {"start_menu", "Start Menu"},
                                                             {"fonts", "Fonts"},
                                                             {"appdata", "AppData"},
                                                             {"local_appdata", "Local AppData"}};
  const std::pair<const char*, const char*> commonFolders[] = {
      {"common_desktop", "Common Desktop"},
      {"common_programs", "Common Programs"},
      {"common_start_menu", "Common Start Menu"},
      {"common_startup", "Common Startup"},
      {"common_appdata", "Common AppData"}};
  for (const auto& [field, value] : userFolders) {
    std::string path = RegistryText(registry, kUserShellFolders, value);
    if (!path.empty() && Expand(path, env, &path)) dirs.emplace_back(field, path);
  }
  // Windows 9x has no folders shared by all users.
  for (const auto& [field, value] : commonFolders) {
    std::string path = RegistryText(registry, kCommonShellFolders, value);
    if (!ninex && !path.empty() && Expand(path, env, &path)) dirs.emplace_back(field, path);
  }
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  for (const auto& [field, path] : dirs) out[field] = sim::AnsiToUtf8(path);
  return out;
}

}  // namespace vtsim
