#include "sim/image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>
#include <utility>

#include "sim/devices.h"
#include "sim/excerpt.h"
#include "sim/image_schema.h"
#include "sim/image_stage.h"
#include "sim/json_path.h"
#include "sim/reg_file.h"
#include "sim/text.h"

namespace sim {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

// The image's own files are plain files: a link or a FIFO in their place is
// not read (it could block the run or pull a host file into the image).
bool ReadHostFile(const fs::path& p, std::string* out) {
  const int fd = ::open(p.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  out->clear();
  char buffer[1 << 16];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    out->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

// Writes "<p>.tmp" beside `p`, then renames it over `p`: the file is never
// left half written. The temporary file is created exclusively after removing
// whatever had its name, so a link planted in the image is never written
// through.
bool AtomicWrite(const fs::path& p, const std::string& bytes, std::string* error) {
  const std::string tmp = p.string() + ".tmp";
  ::unlink(tmp.c_str());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = p.filename().string() + ": cannot be written";
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ::close(fd) == 0 && ok;
  SaveStepDone();
  if (!ok) {
    ::unlink(tmp.c_str());
    if (error) *error = p.filename().string() + ": cannot be written";
    return false;
  }
  if (::rename(tmp.c_str(), p.c_str()) != 0) {
    ::unlink(tmp.c_str());
    if (error) *error = p.filename().string() + ": cannot be replaced";
    return false;
  }
  SaveStepDone();
  return true;
}

// Validation of machine.json: the first problem found is kept, named by the
// line of the file and the JSON path of the field.
class Checker {
 public:
  Checker(const std::string& text, std::string* error) : text_(text), error_(error) {}
  bool ok() const { return ok_; }
  bool Fail(const JsonPath& field, const std::string& what) {
    if (ok_ && error_) {
      *error_ = "machine.json line " + std::to_string(LineOfJsonPath(text_, field)) + ": " +
                (field.empty() ? "" : Excerpt(field.Text()) + ": ") + what;
    }
    ok_ = false;
    return false;
  }
  // A code page text from a JSON string.
  bool Text(const Json& j, const JsonPath& field, std::string* out) {
    if (!j.is_string()) return Fail(field, "expected a string");
    bool good = true;
    *out = Utf8ToAnsi(j.get<std::string>(), &good);
    if (!good)
      return Fail(field, "text not representable in code page " + std::to_string(CodePage()));
    return true;
  }
  bool Bool(const Json& j, const JsonPath& field, bool* out) {
    if (!j.is_boolean()) return Fail(field, "expected true or false");
    *out = j.get<bool>();
    return true;
  }
  bool Unsigned(const Json& j, const JsonPath& field, uint64_t* out) {
    if (!j.is_number_unsigned() && !(j.is_number_integer() && j.get<int64_t>() >= 0))
      return Fail(field, "expected a number of 0 or more");
    *out = j.get<uint64_t>();
    return true;
  }
  bool Object(const Json& j, const JsonPath& field) {
    return j.is_object() || Fail(field, "expected an object");
  }
  bool Array(const Json& j, const JsonPath& field) {
    return j.is_array() || Fail(field, "expected an array");
  }

 private:
  const std::string& text_;
  std::string* error_;
  bool ok_ = true;
};

// A key path that starts with a hive the registry knows (HKLM, HKEY_USERS …).
bool KnownRoot(const std::string& path) {
  HKEY hive = nullptr;
  std::string subkey;
  return Registry::SplitPath(path, &hive, &subkey);
}

const JsonPath kRoot;

// The members below were type-checked against the schema (sim/image_schema.h)
// before: what is left are the checks of their values.

bool LoadWindows(const Json& j, Machine& m, Checker& c) {
  const JsonPath field = kRoot.Key("windows");
  if (j.is_string()) {
    if (!VersionFromName(j.get<std::string>(), &m.system.version))
      return c.Fail(field, "unknown Windows version \"" + Excerpt(j.get<std::string>()) +
                               "\"; valid are 95, 98, me, nt4, 2000, xp or an object "
                               "{platform, major, minor}");
    return true;
  }
  uint64_t platform, major, minor, build = 0;
  if (!c.Unsigned(j["platform"], field.Key("platform"), &platform) ||
      !c.Unsigned(j["major"], field.Key("major"), &major) ||
      !c.Unsigned(j["minor"], field.Key("minor"), &minor))
    return false;
  if (j.contains("build") && !c.Unsigned(j["build"], field.Key("build"), &build)) return false;
  WindowsVersion v;
  v.platform = static_cast<DWORD>(platform);
  v.major = static_cast<DWORD>(major);
  v.minor = static_cast<DWORD>(minor);
  v.build = static_cast<DWORD>(build);
  v.csd = "";
  if (j.contains("csd") && !c.Text(j["csd"], field.Key("csd"), &v.csd)) return false;
  m.system.version = v;
  return true;
}

bool LoadDrives(const Json& j, Machine& m, Checker& c) {
  static const std::pair<const char*, UINT> kTypes[] = {
      {"fixed", DRIVE_FIXED},   {"removable", DRIVE_REMOVABLE}, {"cdrom", DRIVE_CDROM},
      {"remote", DRIVE_REMOTE}, {"ramdisk", DRIVE_RAMDISK},     {"none", DRIVE_NO_ROOT_DIR}};
  for (auto& [letter, d] : j.items()) {
    const JsonPath field = kRoot.Key("drives").Key(letter);
    char L = letter.size() == 1 ? letter[0] : 0;
    if (L >= 'a' && L <= 'z') L = static_cast<char>(L - 32);
    if (L < 'A' || L > 'Z') return c.Fail(field, "a drive is named by one letter");
    if (m.files.drives.count(L)) return c.Fail(field, "drive given twice");
    DriveInfo info;
    if (d.contains("type")) {
      for (auto& t : kTypes)
        if (d["type"].get<std::string>() == t.first) info.type = t.second;
    }
    if (d.contains("free_bytes") &&
        !c.Unsigned(d["free_bytes"], field.Key("free_bytes"), &info.free_bytes))
      return false;
    if (d.contains("total_bytes") &&
        !c.Unsigned(d["total_bytes"], field.Key("total_bytes"), &info.total_bytes))
      return false;
    m.files.drives[L] = info;
  }
  return true;
}

bool LoadFaults(const Json& j, Machine& m, Checker& c) {
  for (size_t i = 0; i < j.size(); ++i) {
    const JsonPath field = kRoot.Key("faults").Index(i);
    const Json& f = j[i];
    Fault fault;
    fault.call = f["call"].get<std::string>();
    uint64_t error = 0;
    if (!c.Unsigned(f["error"], field.Key("error"), &error)) return false;
    fault.error = static_cast<DWORD>(error);
    for (auto [name, target] : {std::pair<const char*, std::string*>{"path", &fault.path},
                                {"key", &fault.key},
                                {"name", &fault.name}}) {
      if (f.contains(name) && !c.Text(f[name], field.Key(name), target)) return false;
    }
    if (!fault.key.empty() && !KnownRoot(fault.key))
      return c.Fail(field.Key("key"), "unknown root key (HKLM, HKCU, HKCR, HKCC, HKU …)");
    if (f.contains("times")) {
      uint64_t times = 0;
      if (!c.Unsigned(f["times"], field.Key("times"), &times)) return false;
      fault.times = times > 1000000000 ? 1000000000 : static_cast<int>(times);
    }
    m.faults.list.push_back(fault);
  }
  return true;
}

bool LoadFiles(const Json& root, Machine& m, Checker& c) {
  if (root.contains("files")) {
    for (auto& [key, val] : root["files"].items()) {
      const JsonPath field = kRoot.Key("files").Key(key);
      std::string ansi, full;
      DWORD err = 0;
      if (!c.Text(key, field, &ansi)) return false;
      if (ansi.size() < 3 || ansi[1] != ':' || !m.files.FullPath(ansi, &full, &err))
        return c.Fail(field, "expected a full path such as C:\\dir\\file");
      bool ro = false, iu = false;
      if (val.contains("read_only") && !c.Bool(val["read_only"], field.Key("read_only"), &ro))
        return false;
      if (val.contains("in_use") && !c.Bool(val["in_use"], field.Key("in_use"), &iu)) return false;
      m.files.SetReadOnly(full, ro);
      m.files.SetInUse(full, iu);
    }
  }
  if (root.contains("short_names")) {
    for (auto& [key, val] : root["short_names"].items()) {
      const JsonPath field = kRoot.Key("short_names").Key(key);
      std::string ansi, full, shortName;
      DWORD err = 0;
      if (!c.Text(key, field, &ansi) || !c.Text(val, field, &shortName)) return false;
      if (ansi.size() < 3 || ansi[1] != ':' || !m.files.FullPath(ansi, &full, &err))
        return c.Fail(field, "expected a full path such as C:\\dir\\file");
      if (!IsShortName(shortName) || shortName.empty())
        return c.Fail(field, "\"" + Excerpt(val.get<std::string>()) + "\" is no 8.3 name");
      m.files.StoreShortName(full, UpperCase(shortName));
    }
  }
  if (root.contains("recycle_bin")) {
    const Json& list = root["recycle_bin"];
    for (size_t i = 0; i < list.size(); ++i) {
      const JsonPath field = kRoot.Key("recycle_bin").Index(i);
      RecycledItem item;
      for (auto [name, target] :
           {std::pair<const char*, std::string*>{"path", &item.path}, {"stored", &item.stored}}) {
        std::string ansi;
        DWORD err = 0;
        if (!c.Text(list[i][name], field.Key(name), &ansi)) return false;
        if (ansi.size() < 3 || ansi[1] != ':' || !m.files.FullPath(ansi, target, &err))
          return c.Fail(field.Key(name), "expected a full path such as C:\\dir\\file");
      }
      m.files.recycle_bin.items.push_back(item);
    }
  }
  return true;
}

bool LoadMachineJson(const Json& root, Machine& m, Checker& c) {
  if (root.contains("code_page")) {
    uint64_t cp = 0;
    if (!c.Unsigned(root["code_page"], kRoot.Key("code_page"), &cp)) return false;
    if (!IsSupportedCodePage(static_cast<unsigned>(cp)))
      return c.Fail(kRoot.Key("code_page"),
                    "code page " + std::to_string(cp) + " is not supported");
    m.code_page = static_cast<unsigned>(cp);
  }
  // Texts below are converted to the image's code page.
  sim::SetCodePage(m.code_page);
  if (!LoadWindows(root["windows"], m, c)) return false;
  if (root.contains("computer_name") &&
      !c.Text(root["computer_name"], kRoot.Key("computer_name"), &m.system.computer_name))
    return false;
  if (root.contains("later_shell")) {
    bool later = false;
    if (!c.Bool(root["later_shell"], kRoot.Key("later_shell"), &later)) return false;
    m.system.later_shell = later;
  }
  for (auto& [name, val] : root["directories"].items()) {
    if (val.is_null()) {
      m.system.directories[name] = std::nullopt;  // given as null: the call reports error 2
      continue;
    }
    std::string text;
    if (!c.Text(val, kRoot.Key("directories").Key(name), &text)) return false;
    m.system.directories[name] = text;
  }
  if (root.contains("drives") && !LoadDrives(root["drives"], m, c)) return false;
  if (root.contains("user")) {
    const Json& user = root["user"];
    const JsonPath field = kRoot.Key("user");
    if (user.contains("administrator") &&
        !c.Bool(user["administrator"], field.Key("administrator"), &m.system.administrator))
      return false;
    if (user.contains("sid")) {
      std::string sid;
      if (!c.Text(user["sid"], field.Key("sid"), &sid)) return false;
      if (sid.size() < 5 || sid.compare(0, 4, "S-1-") != 0 ||
          sid.find_first_not_of("S-0123456789") != std::string::npos)
        return c.Fail(field.Key("sid"),
                      "expected a security identifier such as S-1-5-21-1-2-3-1003");
      m.files.recycle_bin.sid = sid;
    }
    if (user.contains("privileges")) {
      const Json& list = user["privileges"];
      for (size_t i = 0; i < list.size(); ++i) {
        std::string text;
        if (!c.Text(list[i], field.Key("privileges").Index(i), &text)) return false;
        m.system.privileges.push_back(text);
      }
    }
  }
  if (root.contains("faults") && !LoadFaults(root["faults"], m, c)) return false;
  if (!LoadFiles(root, m, c)) return false;
  if (root.contains("local_time")) {
    if (!m.system.SetStartTime(root["local_time"].get<std::string>()))
      return c.Fail(kRoot.Key("local_time"), "expected a time such as 2003-03-05T09:07:04.021");
  } else {
    m.system.SetStartTimeFromHost();
  }
  if (root.contains("registry_access")) {
    for (auto& [key, val] : root["registry_access"].items()) {
      if (!KnownRoot(Utf8ToAnsi(key)))
        return c.Fail(kRoot.Key("registry_access").Key(key),
                      "unknown root key (HKLM, HKCU, HKCR, HKCC, HKU …)");
    }
  }
  if (root.contains("devices")) {
    const Json& list = root["devices"];
    for (size_t i = 0; i < list.size(); ++i) {
      const JsonPath field = kRoot.Key("devices").Index(i);
      GUID guid;
      if (list[i].contains("class_guid") &&
          !ParseGuid(Utf8ToAnsi(list[i]["class_guid"].get<std::string>()), &guid))
        return c.Fail(field.Key("class_guid"),
                      "expected a GUID such as {6bdd1fc6-810f-11d0-bec7-08002be2092f}");
      if (list[i].contains("enum_key") &&
          !KnownRoot(Utf8ToAnsi(list[i]["enum_key"].get<std::string>())))
        return c.Fail(field.Key("enum_key"), "unknown root key (HKLM, HKCU, HKCR, HKCC, HKU …)");
    }
  }
  if (root.contains("system_restore") && root["system_restore"].contains("points")) {
    // System Restore numbers its points once each.
    const Json& list = root["system_restore"]["points"];
    std::set<uint64_t> numbers;
    for (size_t i = 0; i < list.size(); ++i) {
      if (!numbers.insert(list[i]["sequence"].get<uint64_t>()).second)
        return c.Fail(kRoot.Key("system_restore").Key("points").Index(i).Key("sequence"),
                      "a sequence number an earlier restore point already has");
    }
  }
  // printers, printer_drivers, ports, monitors, services, devices,
  // installer_products, open_windows, clipboard, system_restore and restart stay in m.json,
  // where their subsystems read and change them.
  return c.ok();
}

// "[json.exception.parse_error.101] parse error at line 3, column 5: what" -> "what"
std::string ParseErrorText(const std::string& what) {
  size_t col = what.find("column ");
  size_t colon = col == std::string::npos ? std::string::npos : what.find(": ", col);
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

// The line of the first number the message quotes ("... parsing '1E999'"), 1 when none.
size_t LineOfNumber(const std::string& text, const std::string& what) {
  size_t open = what.find(" parsing '");
  size_t close = what.rfind('\'');
  if (open == std::string::npos || close <= open + 10) return 1;
  size_t at = text.find(what.substr(open + 10, close - open - 10));
  if (at == std::string::npos) return 1;
  return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + at, '\n'));
}

}  // namespace

bool LoadImage(const std::string& dir, Machine& m, std::string* error) {
  std::string dummy;
  if (!error) error = &dummy;
  const fs::path root(dir);
  std::error_code ec;
  // A save a killed vtsim left in flight is finished or undone first.
  if (!RecoverImage(dir, error)) {
    *error = dir + ": an interrupted save cannot be resolved: " + *error;
    return false;
  }
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
    *error = "machine.json line " + std::to_string(line) + ": " + Excerpt(ParseErrorText(e.what()));
    return false;
  } catch (const Json::exception& e) {
    // A number beyond a double's range: the parser names the number but not where it stands.
    std::string what = e.what();
    size_t bracket = what.find("] ");
    if (bracket != std::string::npos) what.erase(0, bracket + 2);
    *error = "machine.json line " + std::to_string(LineOfNumber(text, what)) + ": " + Excerpt(what);
    return false;
  }
  if (!json.is_object()) {
    *error = "machine.json line 1: expected an object { … }";
    return false;
  }
  Checker c(text, error);
  JsonPath duplicate;
  size_t duplicateLine = 0;
  if (FindDuplicateJsonKey(text, &duplicate, &duplicateLine)) {
    *error = "machine.json line " + std::to_string(duplicateLine) + ": " +
             Excerpt(duplicate.Text()) + ": given twice";
    return false;
  }
  SchemaError schemaError;
  if (!CheckMachineJsonSchema(json, &schemaError))
    return c.Fail(schemaError.path, schemaError.what);
  m.files.drives_root = (root / "drives").string();
  if (!LoadMachineJson(json, m, c)) return false;
  m.registry.nt_family = m.system.NtFamily();
  m.registry.administrator = m.system.administrator;

  std::string clash = m.files.FindUnsafeHostEntry();
  if (clash.empty()) clash = m.files.FindCaseClash();
  if (!clash.empty()) {
    *error = clash;
    return false;
  }
  if (const std::string* current = m.system.Directory("current")) {
    PathLookup p = m.files.Lookup(*current);
    if (!p.exists || !p.directory)
      return c.Fail(kRoot.Key("directories").Key("current"),
                    "\"" + Excerpt(AnsiToUtf8(*current)) + "\" is no folder of the image");
    m.files.current_dir = p.full;
  }

  // An empty registry is a file holding only its header: a missing file is
  // more likely a mistake than a PC without registry.
  std::string reg;
  if (!fs::exists(root / "registry.reg", ec)) {
    *error = "registry.reg: missing (an empty registry is a file holding only the line REGEDIT4)";
    return false;
  }
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

void SyncRecycleBin(Machine& m) {
  const auto& items = m.files.recycle_bin.items;
  if (!m.json.contains("recycle_bin") && items.empty()) return;
  Json out = Json::array();
  const Json* before = m.json.contains("recycle_bin") && m.json["recycle_bin"].is_array()
                           ? &m.json["recycle_bin"]
                           : nullptr;
  for (size_t i = 0; i < items.size(); ++i) {
    // An entry read from the image keeps its spelling.
    if (before && i < before->size()) {
      const Json& old = (*before)[i];
      std::string path, stored;
      DWORD err = 0;
      if (old.contains("path") && old.contains("stored") && old["path"].is_string() &&
          old["stored"].is_string() &&
          m.files.FullPath(Utf8ToAnsi(old["path"].get<std::string>()), &path, &err) &&
          m.files.FullPath(Utf8ToAnsi(old["stored"].get<std::string>()), &stored, &err) &&
          path == items[i].path && stored == items[i].stored) {
        out.push_back(old);
        continue;
      }
    }
    Json entry = Json::object();
    entry["path"] = AnsiToUtf8(items[i].path);
    entry["stored"] = AnsiToUtf8(items[i].stored);
    out.push_back(entry);
  }
  m.json["recycle_bin"] = out;
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
  SyncRecycleBin(m);
  if (m.json != m.saved_json) {
    if (!AtomicWrite(root / "machine.json", m.json.dump(2) + "\n", error)) return false;
    m.saved_json = m.json;
  }
  return true;
}

}  // namespace sim
