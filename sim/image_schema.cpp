#include "sim/image_schema.h"

#include <cstdint>
#include <limits>

#include "sim/closest_name.h"
#include "sim/excerpt.h"

namespace sim {

namespace {

using Json = nlohmann::ordered_json;

struct Schema;

struct Member {
  std::string name;
  const Schema* schema;
  bool required;
};

struct Schema {
  enum class Kind { kString, kBool, kUnsigned, kObject, kArray, kMap };
  Kind kind = Kind::kString;
  bool nullable = false;
  bool string_too = false;           // kObject: a string is also accepted (windows)
  std::vector<std::string> choices;  // kString: the only values allowed (empty: any)
  uint64_t max = std::numeric_limits<uint64_t>::max();  // kUnsigned
  std::vector<Member> members;                          // kObject
  const Schema* element = nullptr;                      // kArray, kMap
  std::string description;                              // overrides the generated one
};

Schema Text(std::vector<std::string> choices = {}) {
  Schema s;
  s.kind = Schema::Kind::kString;
  s.choices = std::move(choices);
  return s;
}
Schema Flag() {
  Schema s;
  s.kind = Schema::Kind::kBool;
  return s;
}
Schema Number(uint64_t max) {
  Schema s;
  s.kind = Schema::Kind::kUnsigned;
  s.max = max;
  return s;
}
Schema Object(std::vector<Member> members) {
  Schema s;
  s.kind = Schema::Kind::kObject;
  s.members = std::move(members);
  return s;
}
Schema ArrayOf(const Schema& element) {
  Schema s;
  s.kind = Schema::Kind::kArray;
  s.element = &element;
  return s;
}
Schema MapOf(const Schema& element) {
  Schema s;
  s.kind = Schema::Kind::kMap;
  s.element = &element;
  return s;
}
Schema OrNull(Schema s) {
  s.nullable = true;
  return s;
}

constexpr uint64_t kDword = 0xFFFFFFFFu;
constexpr uint64_t kAny = std::numeric_limits<uint64_t>::max();

// Every schema of machine.json, built once; members point at each other.
struct MachineSchema {
  Schema text = Text();
  Schema text_or_null = OrNull(Text());
  Schema flag = Flag();
  Schema dword = Number(kDword);
  Schema bytes = Number(kAny);
  Schema texts = ArrayOf(text);

  Schema windows = Object({{"platform", &dword, true},
                           {"major", &dword, true},
                           {"minor", &dword, true},
                           {"build", &dword, false},
                           {"csd", &text, false}});
  Schema directories;
  Schema drive_type = Text({"fixed", "removable", "cdrom", "remote", "ramdisk", "none"});
  Schema drive = Object({{"type", &drive_type, false},
                         {"free_bytes", &bytes, false},
                         {"total_bytes", &bytes, false}});
  Schema drives = MapOf(drive);
  Schema user = Object(
      {{"administrator", &flag, false}, {"privileges", &texts, false}, {"sid", &text, false}});
  Schema recycled = Object({{"path", &text, true}, {"stored", &text, true}});
  Schema recycle_bin = ArrayOf(recycled);
  Schema printer = Object({{"name", &text, true},
                           {"driver", &text, false},
                           {"port", &text, false},
                           {"jobs", &dword, false},
                           {"pending_deletion", &flag, false}});
  Schema printer_driver = Object({{"name", &text, true},
                                  {"environment", &text, false},
                                  {"driver_path", &text, false},
                                  {"data_file", &text, false},
                                  {"config_file", &text, false}});
  Schema service_state = Text({"running", "stopped", "paused", "stop_pending"});
  Schema service_type =
      Text({"own_process", "share_process", "kernel_driver", "file_system_driver"});
  Schema start_type = Text({"boot", "system", "auto", "demand", "disabled"});
  Schema service = Object({{"name", &text, true},
                           {"state", &service_state, false},
                           {"display_name", &text, false},
                           {"binary_path", &text, false},
                           {"start_type", &start_type, false},
                           {"type", &service_type, false},
                           {"stop_seconds", &dword, false},
                           {"accepts_stop", &flag, false}});
  Schema device = Object({{"class", &text, false},
                          {"hardware_ids", &texts, false},
                          {"description", &text, false},
                          {"class_guid", &text, false},
                          {"present", &flag, false},
                          {"enum_key", &text, false}});
  Schema setupapi = Object({{"present", &flag, false}, {"missing", &texts, false}});
  Schema restore_state = Text({"begun", "ended"});
  Schema restore_point = Object({{"sequence", &dword, true},
                                 {"description", &text, false},
                                 {"type", &dword, false},
                                 {"state", &restore_state, false}});
  Schema restore_points = ArrayOf(restore_point);
  Schema system_restore = Object({{"present", &flag, false},
                                  {"enabled", &flag, false},
                                  {"next_sequence", &dword, false},
                                  {"points", &restore_points, false}});
  Schema product = Object({{"code", &text, true},
                           {"seconds", &dword, false},
                           {"removes", &texts, false},
                           {"exit_code", &dword, false}});
  Schema file_flags = Object({{"read_only", &flag, false}, {"in_use", &flag, false}});
  Schema access = Text({"read_only", "protected", "normal"});
  Schema fault = Object({{"call", &text, true},
                         {"error", &dword, true},
                         {"path", &text, false},
                         {"key", &text, false},
                         {"name", &text, false},
                         {"times", &dword, false}});
  Schema window =
      Object({{"class", &text, false}, {"title", &text, false}, {"minimised", &flag, false}});
  Schema clipboard = Object({{"text", &text, false}, {"open_elsewhere", &flag, false}});
  Schema restart = OrNull(Object({{"call", &text, true},
                                  {"flags", &dword, false},
                                  {"reboot", &flag, false},
                                  {"force", &flag, false},
                                  {"timeout", &dword, false},
                                  {"message", &text, false}}));
  Schema printers = ArrayOf(printer);
  Schema printer_drivers = ArrayOf(printer_driver);
  Schema services = ArrayOf(service);
  Schema devices = ArrayOf(device);
  Schema products = ArrayOf(product);
  Schema files = MapOf(file_flags);
  Schema short_names = MapOf(text);
  Schema text_map = MapOf(text);
  Schema registry_access = MapOf(access);
  Schema faults = ArrayOf(fault);
  Schema windows_list = ArrayOf(window);
  Schema root;

  MachineSchema() {
    windows.string_too = true;
    windows.description =
        "expected a version name (95, 98, me, nt4, 2000, xp) or an object "
        "{platform, major, minor}";
    std::vector<Member> dirs;
    for (const std::string& name : KnownDirectoryNames()) {
      const bool required =
          name == "current" || name == "temp" || name == "windows" || name == "system";
      dirs.push_back({name, &text_or_null, required});
    }
    directories = Object(dirs);
    root = Object({{"windows", &windows, true},
                   {"code_page", &dword, false},
                   {"computer_name", &text, false},
                   {"later_shell", &flag, false},
                   {"directories", &directories, true},
                   {"drives", &drives, false},
                   {"user", &user, false},
                   {"printers", &printers, false},
                   {"printer_drivers", &printer_drivers, false},
                   {"ports", &texts, false},
                   {"monitors", &texts, false},
                   {"monitor_dlls", &text_map, false},
                   {"port_monitors", &text_map, false},
                   {"services", &services, false},
                   {"devices", &devices, false},
                   {"setupapi", &setupapi, false},
                   {"system_restore", &system_restore, false},
                   {"installer_products", &products, false},
                   {"files", &files, false},
                   {"short_names", &short_names, false},
                   {"recycle_bin", &recycle_bin, false},
                   {"registry_access", &registry_access, false},
                   {"faults", &faults, false},
                   {"local_time", &text, false},
                   {"open_windows", &windows_list, false},
                   {"clipboard", &clipboard, false},
                   {"restart", &restart, false}});
  }
};

// "read_only, protected or normal"
std::string JoinChoices(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 == names.size() ? " or " : ", ";
    out += names[i];
  }
  return out;
}

std::string Expected(const Schema& s) {
  if (!s.description.empty()) return s.description;
  std::string what;
  switch (s.kind) {
    case Schema::Kind::kString:
      what = s.choices.empty() ? "a string" : JoinChoices(s.choices);
      break;
    case Schema::Kind::kBool:
      what = "true or false";
      break;
    case Schema::Kind::kUnsigned:
      what = s.max == kAny ? "a whole number of 0 or more"
                           : "a whole number from 0 to " + std::to_string(s.max);
      break;
    case Schema::Kind::kObject:
    case Schema::Kind::kMap:
      what = "an object";
      break;
    case Schema::Kind::kArray:
      what = "an array";
      break;
  }
  return "expected " + what + (s.nullable ? " or null" : "");
}

bool Check(const Json& v, const Schema& s, const JsonPath& path, SchemaError* error) {
  auto fail = [&](const JsonPath& where, const std::string& what) {
    error->path = where;
    error->what = what;
    return false;
  };
  if (v.is_null() && s.nullable) return true;
  switch (s.kind) {
    case Schema::Kind::kString:
      if (!v.is_string()) return fail(path, Expected(s));
      if (!s.choices.empty()) {
        for (const std::string& c : s.choices)
          if (v.get<std::string>() == c) return true;
        return fail(path, "\"" + Excerpt(v.get<std::string>()) + "\": " + Expected(s));
      }
      return true;
    case Schema::Kind::kBool:
      return v.is_boolean() || fail(path, Expected(s));
    case Schema::Kind::kUnsigned:
      if (v.is_number_unsigned() && v.get<uint64_t>() <= s.max) return true;
      if (v.is_number_integer() && v.get<int64_t>() >= 0 &&
          static_cast<uint64_t>(v.get<int64_t>()) <= s.max)
        return true;
      return fail(path, Expected(s));
    case Schema::Kind::kArray:
      if (!v.is_array()) return fail(path, Expected(s));
      for (size_t i = 0; i < v.size(); ++i)
        if (!Check(v[i], *s.element, path.Index(i), error)) return false;
      return true;
    case Schema::Kind::kMap:
      if (!v.is_object()) return fail(path, Expected(s));
      for (auto& [key, val] : v.items())
        if (!Check(val, *s.element, path.Key(key), error)) return false;
      return true;
    case Schema::Kind::kObject:
      break;
  }
  if (v.is_string() && s.string_too) return true;
  if (!v.is_object()) return fail(path, Expected(s));
  std::vector<std::string> names;
  for (const Member& m : s.members) names.push_back(m.name);
  for (auto& [key, val] : v.items()) {
    const Member* member = nullptr;
    for (const Member& m : s.members)
      if (m.name == key) member = &m;
    if (member == nullptr) {
      const std::string close = ClosestName(key, names);
      return fail(path.Key(key), close.empty() ? "unknown field; known are " + JoinChoices(names)
                                               : "unknown field; did you mean " + close + "?");
    }
    if (!Check(val, *member->schema, path.Key(key), error)) return false;
  }
  for (const Member& m : s.members)
    if (m.required && !v.contains(m.name)) return fail(path.Key(m.name), "required field missing");
  return true;
}

}  // namespace

const std::vector<std::string>& KnownDirectoryNames() {
  // The two the loader and the temp-path call read, then the special folders
  // of SHGetSpecialFolderPathA.
  static const std::vector<std::string> kNames = {"current",         "temp",
                                                  "windows",         "system",
                                                  "desktop",         "programs",
                                                  "personal",        "favorites",
                                                  "startup",         "recent",
                                                  "sendto",          "start_menu",
                                                  "fonts",           "common_start_menu",
                                                  "common_programs", "common_startup",
                                                  "common_desktop",  "appdata",
                                                  "local_appdata",   "common_appdata",
                                                  "program_files"};
  return kNames;
}

bool CheckMachineJsonSchema(const nlohmann::ordered_json& root, SchemaError* error) {
  static const MachineSchema schema;
  return Check(root, schema.root, JsonPath(), error);
}

}  // namespace sim
