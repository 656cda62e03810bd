// The spooler's state over machine.json; see spooler.h.
#include "sim/spooler.h"

#include "sim/text.h"

namespace sim {

namespace {

using Json = nlohmann::ordered_json;

const std::vector<std::string> kFreshPorts = {
    "LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
const std::vector<std::string> kFreshMonitors = {"Local Port"};

// Environments the NT spooler knows; 95/98/ME know only their own.
const char* const kEnvironments[] = {
    "Windows NT x86",   "Windows 4.0",          "Windows IA64",      "Windows x64",
    "Windows NT R4000", "Windows NT Alpha_AXP", "Windows NT PowerPC"};

std::string Field(const Json& o, const char* name) {
  auto it = o.find(name);
  return it != o.end() && it->is_string() ? Utf8ToAnsi(it->get<std::string>()) : std::string();
}

// Entries of a list of names: strings, or objects with "name".
std::string EntryName(const Json& e) {
  if (e.is_string()) return Utf8ToAnsi(e.get<std::string>());
  return e.is_object() ? Field(e, "name") : std::string();
}

}  // namespace

std::optional<std::string> Spooler::Environment(const char* given) const {
  if (given == nullptr || *given == '\0') return OwnEnvironment();
  if (!Nt()) {
    // One environment only; the 9x spooler does not look further.
    return OwnEnvironment();
  }
  for (const char* env : kEnvironments)
    if (EqualNoCase(env, given)) return std::string(env);
  return std::nullopt;
}

DWORD Spooler::DriverVersion(const std::string& environment) const {
  if (environment == kWin40) return 0;
  return m_.system.version.major < 5 ? 2 : 3;
}

const Json* Spooler::Find(const char* key) const {
  auto it = m_.json.find(key);
  return it != m_.json.end() && it->is_array() ? &*it : nullptr;
}

Json& Spooler::List(const char* key, const std::vector<std::string>& fallback) {
  auto it = m_.json.find(key);
  if (it == m_.json.end() || !it->is_array()) {
    Json list = Json::array();
    for (const std::string& s : fallback) list.push_back(s);
    m_.json[key] = list;
  }
  return m_.json[key];
}

std::vector<SpoolPrinter> Spooler::Printers() const {
  std::vector<SpoolPrinter> out;
  if (const Json* list = Find("printers")) {
    for (const Json& e : *list) {
      if (!e.is_object()) continue;
      SpoolPrinter p;
      p.name = Field(e, "name");
      p.driver = Field(e, "driver");
      p.port = Field(e, "port");
      auto jobs = e.find("jobs");
      if (jobs != e.end() && jobs->is_number_unsigned()) p.jobs = jobs->get<DWORD>();
      auto pending = e.find("pending_deletion");
      p.pending_deletion = pending != e.end() && pending->is_boolean() && pending->get<bool>();
      out.push_back(p);
    }
  }
  return out;
}

std::optional<SpoolPrinter> Spooler::FindPrinter(const std::string& name) const {
  for (const SpoolPrinter& p : Printers())
    if (EqualNoCase(p.name, name)) return p;
  return std::nullopt;
}

void Spooler::AddPrinter(const SpoolPrinter& p) {
  Json e = Json::object();
  e["name"] = AnsiToUtf8(p.name);
  e["driver"] = AnsiToUtf8(p.driver);
  e["port"] = AnsiToUtf8(p.port);
  List("printers", {}).push_back(e);
}

void Spooler::RemovePrinter(const std::string& name) {
  Json& list = List("printers", {});
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->is_object() && EqualNoCase(Field(*it, "name"), name)) {
      list.erase(it);
      return;
    }
  }
}

void Spooler::MarkPendingDeletion(const std::string& name) {
  for (Json& e : List("printers", {}))
    if (e.is_object() && EqualNoCase(Field(e, "name"), name)) e["pending_deletion"] = true;
}

std::vector<SpoolDriver> Spooler::Drivers() const {
  std::vector<SpoolDriver> out;
  if (const Json* list = Find("printer_drivers")) {
    for (const Json& e : *list) {
      if (!e.is_object()) continue;
      SpoolDriver d;
      d.name = Field(e, "name");
      d.environment = Field(e, "environment");
      if (d.environment.empty()) d.environment = OwnEnvironment();
      d.driver_path = Field(e, "driver_path");
      d.data_file = Field(e, "data_file");
      d.config_file = Field(e, "config_file");
      out.push_back(d);
    }
  }
  return out;
}

std::optional<SpoolDriver> Spooler::FindDriver(const std::string& name,
                                               const std::string& environment) const {
  for (const SpoolDriver& d : Drivers())
    if (EqualNoCase(d.name, name) && EqualNoCase(d.environment, environment)) return d;
  return std::nullopt;
}

void Spooler::AddDriver(const SpoolDriver& d) {
  Json e = Json::object();
  e["name"] = AnsiToUtf8(d.name);
  e["environment"] = AnsiToUtf8(d.environment);
  if (!d.driver_path.empty()) e["driver_path"] = AnsiToUtf8(d.driver_path);
  if (!d.data_file.empty()) e["data_file"] = AnsiToUtf8(d.data_file);
  if (!d.config_file.empty()) e["config_file"] = AnsiToUtf8(d.config_file);
  Json& list = List("printer_drivers", {});
  for (Json& old : list) {
    std::string env = old.is_object() ? Field(old, "environment") : std::string();
    if (env.empty()) env = OwnEnvironment();
    if (old.is_object() && EqualNoCase(Field(old, "name"), d.name) &&
        EqualNoCase(env, d.environment)) {
      old = e;
      return;
    }
  }
  list.push_back(e);
}

void Spooler::RemoveDriver(const std::string& name, const std::string& environment) {
  Json& list = List("printer_drivers", {});
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (!it->is_object()) continue;
    std::string env = Field(*it, "environment");
    if (env.empty()) env = OwnEnvironment();
    if (EqualNoCase(Field(*it, "name"), name) && EqualNoCase(env, environment)) {
      list.erase(it);
      return;
    }
  }
}

bool Spooler::DriverInUse(const std::string& name, const std::string& environment) const {
  if (!EqualNoCase(environment, OwnEnvironment())) return false;
  for (const SpoolPrinter& p : Printers())
    if (EqualNoCase(p.driver, name)) return true;
  return false;
}

std::vector<std::string> Spooler::Ports() const {
  const Json* list = Find("ports");
  if (list == nullptr) return kFreshPorts;
  std::vector<std::string> out;
  for (const Json& e : *list) out.push_back(EntryName(e));
  return out;
}

bool Spooler::HasPort(const std::string& name) const {
  for (const std::string& p : Ports())
    if (EqualNoCase(p, name)) return true;
  return false;
}

bool Spooler::PortInUse(const std::string& name) const {
  for (const SpoolPrinter& p : Printers())
    if (EqualNoCase(p.port, name)) return true;
  return false;
}

void Spooler::RemovePort(const std::string& name) {
  Json& list = List("ports", kFreshPorts);
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (EqualNoCase(EntryName(*it), name)) {
      list.erase(it);
      return;
    }
  }
}

std::vector<std::string> Spooler::Monitors() const {
  const Json* list = Find("monitors");
  if (list == nullptr) return kFreshMonitors;
  std::vector<std::string> out;
  for (const Json& e : *list) out.push_back(EntryName(e));
  return out;
}

std::optional<std::string> Spooler::FindMonitor(const std::string& name) const {
  for (const std::string& mon : Monitors())
    if (EqualNoCase(mon, name)) return mon;
  return std::nullopt;
}

std::string Spooler::MonitorDll(const std::string& name) const {
  auto dlls = m_.json.find("monitor_dlls");
  if (dlls != m_.json.end() && dlls->is_object()) {
    for (auto& [key, value] : dlls->items())
      if (value.is_string() && EqualNoCase(Utf8ToAnsi(key), name))
        return Utf8ToAnsi(value.get<std::string>());
  }
  if (EqualNoCase(name, "Local Port"))
    return Nt() && m_.system.version.major >= 5 ? "localspl.dll" : "localmon.dll";
  return "";
}

bool Spooler::MonitorInUse(const std::string& name) const {
  auto map = m_.json.find("port_monitors");
  if (map == m_.json.end() || !map->is_object()) return false;
  for (auto& [port, monitor] : map->items()) {
    if (!monitor.is_string() || !EqualNoCase(Utf8ToAnsi(monitor.get<std::string>()), name))
      continue;
    const std::string ansiPort = Utf8ToAnsi(port);
    if (HasPort(ansiPort) && PortInUse(ansiPort)) return true;
  }
  return false;
}

void Spooler::AddMonitor(const std::string& name, const std::string& dll) {
  List("monitors", kFreshMonitors).push_back(AnsiToUtf8(name));
  if (!dll.empty()) {
    if (!m_.json.contains("monitor_dlls")) m_.json["monitor_dlls"] = Json::object();
    m_.json["monitor_dlls"][AnsiToUtf8(name)] = AnsiToUtf8(dll);
  }
}

void Spooler::RemoveMonitor(const std::string& name) {
  Json& list = List("monitors", kFreshMonitors);
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (EqualNoCase(EntryName(*it), name)) {
      list.erase(it);
      break;
    }
  }
  auto dlls = m_.json.find("monitor_dlls");
  if (dlls == m_.json.end() || !dlls->is_object()) return;
  for (auto it = dlls->begin(); it != dlls->end(); ++it) {
    if (EqualNoCase(Utf8ToAnsi(it.key()), name)) {
      dlls->erase(it);
      return;
    }
  }
}

}  // namespace sim
