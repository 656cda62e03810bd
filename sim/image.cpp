#include "sim/image.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "sim/reg_file.h"
#include "sim/text.h"

namespace sim {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

bool ReadHostFile(const fs::path& p, std::string* out) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *out = s.str();
  return !in.bad();
}

bool AtomicWrite(const fs::path& p, const std::string& bytes, std::string* error) {
  fs::path tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ec;
      fs::remove(tmp, ec);
      if (error) *error = p.filename().string() + ": cannot be written";
      return false;
    }
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  if (ec) {
    fs::remove(tmp, ec);
    if (error) *error = p.filename().string() + ": cannot be replaced";
    return false;
  }
  return true;
}

// Validation of machine.json: the first problem found is kept.
class Checker {
 public:
  explicit Checker(std::string* error) : error_(error) {}
  bool ok() const { return ok_; }
  bool Fail(const std::string& field, const std::string& what) {
    if (ok_ && error_) *error_ = "machine.json: field " + field + ": " + what;
    ok_ = false;
    return false;
  }
  // A code page text from a JSON string.
  bool Text(const Json& j, const std::string& field, std::string* out) {
    if (!j.is_string()) return Fail(field, "expected a string");
    bool good = true;
    *out = Utf8ToAnsi(j.get<std::string>(), &good);
    if (!good)
      return Fail(field, "text not representable in code page " + std::to_string(CodePage()));
    return true;
  }
  bool Bool(const Json& j, const std::string& field, bool* out) {
    if (!j.is_boolean()) return Fail(field, "expected true or false");
    *out = j.get<bool>();
    return true;
  }
  bool Unsigned(const Json& j, const std::string& field, uint64_t* out) {
    if (!j.is_number_unsigned() && !(j.is_number_integer() && j.get<int64_t>() >= 0))
      return Fail(field, "expected a number of 0 or more");
    *out = j.get<uint64_t>();
    return true;
  }
  bool Object(const Json& j, const std::string& field) {
    return j.is_object() || Fail(field, "expected an object");
  }
  bool Array(const Json& j, const std::string& field) {
    return j.is_array() || Fail(field, "expected an array");
  }
  bool ArrayOf(const Json& root, const char* field, bool objects) {
    if (!root.contains(field)) return true;
    const Json& a = root[field];
    if (!Array(a, field)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (objects ? !a[i].is_object() : !a[i].is_string())
        return Fail(std::string(field) + "[" + std::to_string(i) + "]",
                    objects ? "expected an object" : "expected a string");
    }
    return true;
  }

 private:
  std::string* error_;
  bool ok_ = true;
};

// A key path that starts with a hive the registry knows (HKLM, HKEY_USERS …).
bool KnownRoot(const std::string& path) {
  HKEY hive = nullptr;
  std::string subkey;
  return Registry::SplitPath(path, &hive, &subkey);
}

bool LoadWindows(const Json& j, Machine& m, Checker& c) {
  if (j.is_string()) {
    if (!VersionFromName(j.get<std::string>(), &m.system.version))
      return c.Fail("windows", "expected 95, 98, me, nt4, 2000, xp or {platform, major, minor}");
    return true;
  }
  if (!j.is_object() || !j.contains("platform") || !j.contains("major") || !j.contains("minor"))
    return c.Fail("windows", "expected 95, 98, me, nt4, 2000, xp or {platform, major, minor}");
  uint64_t platform, major, minor, build = 0;
  if (!c.Unsigned(j["platform"], "windows.platform", &platform) ||
      !c.Unsigned(j["major"], "windows.major", &major) ||
      !c.Unsigned(j["minor"], "windows.minor", &minor))
    return false;
  if (j.contains("build") && !c.Unsigned(j["build"], "windows.build", &build)) return false;
  WindowsVersion v;
  v.platform = static_cast<DWORD>(platform);
  v.major = static_cast<DWORD>(major);
  v.minor = static_cast<DWORD>(minor);
  v.build = static_cast<DWORD>(build);
  v.csd = "";
  if (j.contains("csd") && !c.Text(j["csd"], "windows.csd", &v.csd)) return false;
  m.system.version = v;
  return true;
}

bool LoadDrives(const Json& j, Machine& m, Checker& c) {
  if (!c.Object(j, "drives")) return false;
  static const std::pair<const char*, UINT> kTypes[] = {
      {"fixed", DRIVE_FIXED},   {"removable", DRIVE_REMOVABLE}, {"cdrom", DRIVE_CDROM},
      {"remote", DRIVE_REMOTE}, {"ramdisk", DRIVE_RAMDISK},     {"none", DRIVE_NO_ROOT_DIR}};
  for (auto& [letter, d] : j.items()) {
    const std::string field = "drives." + letter;
    char L = letter.size() == 1 ? letter[0] : 0;
    if (L >= 'a' && L <= 'z') L = static_cast<char>(L - 32);
    if (L < 'A' || L > 'Z') return c.Fail(field, "a drive is named by one letter");
    if (!c.Object(d, field)) return false;
    DriveInfo info;
    if (d.contains("type")) {
      if (!d["type"].is_string()) return c.Fail(field + ".type", "expected a string");
      bool found = false;
      for (auto& t : kTypes)
        if (d["type"].get<std::string>() == t.first) info.type = t.second, found = true;
      if (!found)
        return c.Fail(field + ".type", "expected fixed, removable, cdrom, remote, ramdisk or none");
    }
    if (d.contains("free_bytes") &&
        !c.Unsigned(d["free_bytes"], field + ".free_bytes", &info.free_bytes))
      return false;
    if (d.contains("total_bytes") &&
        !c.Unsigned(d["total_bytes"], field + ".total_bytes", &info.total_bytes))
      return false;
    m.files.drives[L] = info;
  }
  return true;
}

bool LoadFaults(const Json& j, Machine& m, Checker& c) {
  if (!c.Array(j, "faults")) return false;
  for (size_t i = 0; i < j.size(); ++i) {
    const std::string field = "faults[" + std::to_string(i) + "]";
    const Json& f = j[i];
    if (!c.Object(f, field)) return false;
    Fault fault;
    if (!f.contains("call") || !f["call"].is_string())
      return c.Fail(field + ".call", "expected a string");
    fault.call = f["call"].get<std::string>();
    if (!f.contains("error")) return c.Fail(field + ".error", "missing");
    uint64_t error = 0;
    if (!c.Unsigned(f["error"], field + ".error", &error)) return false;
    fault.error = static_cast<DWORD>(error);
    for (auto [name, target] : {std::pair<const char*, std::string*>{"path", &fault.path},
                                {"key", &fault.key},
                                {"name", &fault.name}}) {
      if (f.contains(name) && !c.Text(f[name], field + "." + name, target)) return false;
    }
    if (!fault.key.empty() && !KnownRoot(fault.key))
      return c.Fail(field + ".key", "unknown root key (HKLM, HKCU, HKCR, HKCC, HKU …)");
    if (f.contains("times")) {
      uint64_t times = 0;
      if (!c.Unsigned(f["times"], field + ".times", &times)) return false;
      fault.times = times > 1000000000 ? 1000000000 : static_cast<int>(times);
    }
    m.faults.list.push_back(fault);
  }
  return true;
}

bool LoadFiles(const Json& root, Machine& m, Checker& c) {
  if (root.contains("files")) {
    const Json& files = root["files"];
    if (!c.Object(files, "files")) return false;
    for (auto& [key, val] : files.items()) {
      const std::string field = "files." + key;
      std::string ansi, full;
      DWORD err = 0;
      if (!c.Text(key, field, &ansi)) return false;
      if (!c.Object(val, field)) return false;
      if (ansi.size() < 3 || ansi[1] != ':' || !m.files.FullPath(ansi, &full, &err))
        return c.Fail(field, "expected a full path such as C:\\dir\\file");
      bool ro = false, iu = false;
      if (val.contains("read_only") && !c.Bool(val["read_only"], field + ".read_only", &ro))
        return false;
      if (val.contains("in_use") && !c.Bool(val["in_use"], field + ".in_use", &iu)) return false;
      m.files.SetReadOnly(full, ro);
      m.files.SetInUse(full, iu);
    }
  }
  if (root.contains("short_names")) {
    const Json& names = root["short_names"];
    if (!c.Object(names, "short_names")) return false;
    for (auto& [key, val] : names.items()) {
      const std::string field = "short_names." + key;
      std::string ansi, full, shortName;
      DWORD err = 0;
      if (!c.Text(key, field, &ansi) || !c.Text(val, field, &shortName)) return false;
      if (ansi.size() < 3 || ansi[1] != ':' || !m.files.FullPath(ansi, &full, &err))
        return c.Fail(field, "expected a full path such as C:\\dir\\file");
      if (!IsShortName(shortName) || shortName.empty())
        return c.Fail(field, "\"" + val.get<std::string>() + "\" is no 8.3 name");
      m.files.StoreShortName(full, UpperCase(shortName));
    }
  }
  return true;
}

bool LoadMachineJson(const Json& root, Machine& m, Checker& c) {
  if (root.contains("code_page")) {
    uint64_t cp = 0;
    if (!c.Unsigned(root["code_page"], "code_page", &cp)) return false;
    if (!IsSupportedCodePage(static_cast<unsigned>(cp)))
      return c.Fail("code_page", "code page " + std::to_string(cp) + " is not supported");
    m.code_page = static_cast<unsigned>(cp);
  }
  // Texts below are converted to the image's code page.
  sim::SetCodePage(m.code_page);
  if (root.contains("windows") && !LoadWindows(root["windows"], m, c)) return false;
  if (root.contains("computer_name") &&
      !c.Text(root["computer_name"], "computer_name", &m.system.computer_name))
    return false;
  if (root.contains("directories")) {
    const Json& dirs = root["directories"];
    if (!c.Object(dirs, "directories")) return false;
    for (auto& [name, val] : dirs.items()) {
      if (val.is_null()) {
        m.system.directories[name] = std::nullopt;
        continue;
      }
      std::string text;
      if (!c.Text(val, "directories." + name, &text)) return false;
      m.system.directories[name] = text;
    }
  }
  if (root.contains("drives") && !LoadDrives(root["drives"], m, c)) return false;
  if (root.contains("user")) {
    const Json& user = root["user"];
    if (!c.Object(user, "user")) return false;
    if (user.contains("administrator") &&
        !c.Bool(user["administrator"], "user.administrator", &m.system.administrator))
      return false;
    if (user.contains("privileges")) {
      if (!c.Array(user["privileges"], "user.privileges")) return false;
      for (const Json& p : user["privileges"]) {
        std::string text;
        if (!c.Text(p, "user.privileges", &text)) return false;
        m.system.privileges.push_back(text);
      }
    }
  }
  if (root.contains("faults") && !LoadFaults(root["faults"], m, c)) return false;
  if (!LoadFiles(root, m, c)) return false;
  if (root.contains("local_time")) {
    if (!root["local_time"].is_string() ||
        !m.system.SetStartTime(root["local_time"].get<std::string>()))
      return c.Fail("local_time", "expected a time such as 2003-03-05T09:07:04.021");
  } else {
    m.system.SetStartTimeFromHost();
  }
  if (root.contains("registry_access")) {
    const Json& access = root["registry_access"];
    if (!c.Object(access, "registry_access")) return false;
    for (auto& [key, val] : access.items()) {
      if (!val.is_string() || (val != "read_only" && val != "protected" && val != "normal"))
        return c.Fail("registry_access." + key, "expected read_only, protected or normal");
      if (!KnownRoot(Utf8ToAnsi(key)))
        return c.Fail("registry_access." + key, "unknown root key (HKLM, HKCU, HKCR, HKCC, HKU …)");
    }
  }
  for (const char* f :
       {"printers", "printer_drivers", "services", "devices", "installer_products", "open_windows"})
    if (!c.ArrayOf(root, f, true)) return false;
  for (const char* f : {"ports", "monitors"})
    if (!c.ArrayOf(root, f, false)) return false;
  if (root.contains("restart") && !root["restart"].is_null() && !root["restart"].is_object())
    return c.Fail("restart", "expected null or an object");
  return c.ok();
}

// "[json.exception.parse_error.101] parse error at line 3, column 5: what" -> "what"
std::string ParseErrorText(const std::string& what) {
  size_t col = what.find("column ");
  size_t colon = col == std::string::npos ? std::string::npos : what.find(": ", col);
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

}  // namespace

bool LoadImage(const std::string& dir, Machine& m, std::string* error) {
  std::string dummy;
  if (!error) error = &dummy;
  const fs::path root(dir);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    *error = dir + ": no such image folder";
    return false;
  }
  std::string text;
  if (!ReadHostFile(root / "machine.json", &text)) {
    *error = "machine.json: cannot be read";
    return false;
  }
  Json json;
  try {
    json = Json::parse(text);
  } catch (const Json::parse_error& e) {
    size_t byte = e.byte > 0 ? e.byte - 1 : 0;
    if (byte > text.size()) byte = text.size();
    size_t line = 1;
    for (size_t i = 0; i < byte; ++i)
      if (text[i] == '\n') ++line;
    *error = "machine.json line " + std::to_string(line) + ": " + ParseErrorText(e.what());
    return false;
  }
  if (!json.is_object()) {
    *error = "machine.json line 1: expected an object { … }";
    return false;
  }
  m.files.drives_root = (root / "drives").string();
  Checker c(error);
  if (!LoadMachineJson(json, m, c)) return false;
  m.registry.nt_family = m.system.NtFamily();
  m.registry.administrator = m.system.administrator;

  std::string clash = m.files.FindCaseClash();
  if (!clash.empty()) {
    *error = clash;
    return false;
  }
  if (const std::string* current = m.system.Directory("current")) {
    PathLookup p = m.files.Lookup(*current);
    if (!p.exists || !p.directory)
      return c.Fail("directories.current",
                    "\"" + AnsiToUtf8(*current) + "\" is no folder of the image");
    m.files.current_dir = p.full;
  }

  std::string reg;
  if (fs::exists(root / "registry.reg", ec)) {
    if (!ReadHostFile(root / "registry.reg", &reg)) {
      *error = "registry.reg: cannot be read";
      return false;
    }
    std::string regError;
    if (!ReadRegFile(reg, m.registry, &regError)) {
      *error = "registry.reg " + regError;
      return false;
    }
    std::string().swap(reg);  // the text is read: give its memory back before the writer runs
  }
  if (json.contains("registry_access")) {
    // Keys missing from registry.reg are skipped: a run may have removed them.
    for (auto& [key, val] : json["registry_access"].items()) {
      KeyAccess a = val == "read_only"   ? KeyAccess::kReadOnly
                    : val == "protected" ? KeyAccess::kProtected
                                         : KeyAccess::kNormal;
      m.registry.SetAccess(Utf8ToAnsi(key), a);
    }
  }
  m.registry.dirty = false;
  m.saved_registry = WriteRegFile(m.registry);
  m.json = json;
  m.saved_json = json;
  m.image_dir = dir;
  return true;
}

void SyncMachineJson(Machine& m) {
  const auto& flags = m.files.AllFlags();
  if (m.json.contains("files") || !flags.empty()) {
    Json out = Json::object();
    std::set<std::string, LessNoCase> written;
    if (m.json.contains("files") && m.json["files"].is_object()) {
      for (auto& [key, val] : m.json["files"].items()) {
        std::string full;
        DWORD err = 0;
        if (!m.files.FullPath(Utf8ToAnsi(key), &full, &err)) continue;
        auto it = flags.find(full);
        if (it == flags.end()) continue;  // the file is gone, and its flags with it
        Json entry = val.is_object() ? val : Json::object();
        if (entry.contains("read_only") || it->second.read_only)
          entry["read_only"] = it->second.read_only;
        if (entry.contains("in_use") || it->second.in_use) entry["in_use"] = it->second.in_use;
        out[key] = entry;
        written.insert(full);
      }
    }
    for (const auto& [full, f] : flags) {
      if (written.count(full) || (!f.read_only && !f.in_use)) continue;
      Json entry = Json::object();
      if (f.read_only) entry["read_only"] = true;
      if (f.in_use) entry["in_use"] = true;
      out[AnsiToUtf8(full)] = entry;
    }
    if (m.json.contains("files") || !out.empty()) m.json["files"] = out;
  }
  const auto& names = m.files.StoredShortNames();
  if (m.json.contains("short_names") || !names.empty()) {
    Json out = Json::object();
    std::set<std::string, LessNoCase> written;
    if (m.json.contains("short_names") && m.json["short_names"].is_object()) {
      for (auto& [key, val] : m.json["short_names"].items()) {
        std::string full;
        DWORD err = 0;
        if (!m.files.FullPath(Utf8ToAnsi(key), &full, &err)) continue;
        auto it = names.find(full);
        if (it == names.end()) continue;
        out[key] =
            EqualNoCase(Utf8ToAnsi(val.is_string() ? val.get<std::string>() : ""), it->second)
                ? val
                : Json(AnsiToUtf8(it->second));
        written.insert(full);
      }
    }
    for (const auto& [full, s] : names)
      if (!written.count(full)) out[AnsiToUtf8(full)] = AnsiToUtf8(s);
    m.json["short_names"] = out;
  }
}

bool SaveImage(Machine& m, std::string* error) {
  if (m.image_dir.empty()) {
    if (error) *error = "no image folder to save to";
    return false;
  }
  const fs::path root(m.image_dir);
  if (m.registry.dirty) {
    std::string bytes = WriteRegFile(m.registry);
    if (bytes != m.saved_registry) {
      if (!AtomicWrite(root / "registry.reg", bytes, error)) return false;
      m.saved_registry = std::move(bytes);
    }
    m.registry.dirty = false;
  }
  SyncMachineJson(m);
  if (m.json != m.saved_json) {
    if (!AtomicWrite(root / "machine.json", m.json.dump(2) + "\n", error)) return false;
    m.saved_json = m.json;
  }
  return true;
}

}  // namespace sim
