// The print spooler's own state on the simulated PC: printers, printer
// drivers, ports and monitors, kept in machine.json ("printers",
// "printer_drivers", "ports", "monitors", "monitor_dlls", "port_monitors")
// and changed there, so a save writes back what a run removed. Deleting
// registry keys does not touch them. Texts are handed out and taken in the
// code page the program sees; JSON holds UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/machine.h"

namespace sim {

struct SpoolPrinter {
  std::string name;
  std::string driver;
  std::string port;
  DWORD jobs = 0;
  bool pending_deletion = false;
};

struct SpoolDriver {
  std::string name;
  std::string environment;
  std::string driver_path;
  std::string data_file;
  std::string config_file;
};

class Spooler {
 public:
  explicit Spooler(Machine& m) : m_(m) {}

  static constexpr const char* kNtX86 = "Windows NT x86";
  static constexpr const char* kWin40 = "Windows 4.0";

  bool Nt() const { return m_.system.NtFamily(); }
  // "Windows NT x86" on the NT family, "Windows 4.0" on 95/98/ME.
  std::string OwnEnvironment() const { return Nt() ? kNtX86 : kWin40; }
  // A caller's environment in its canonical spelling: NULL or "" is the PC's
  // own; names compare without case; nullopt for an unknown environment.
  std::optional<std::string> Environment(const char* given) const;
  // The version number a driver of `environment` reports (cVersion).
  DWORD DriverVersion(const std::string& environment) const;

  std::vector<SpoolPrinter> Printers() const;
  std::optional<SpoolPrinter> FindPrinter(const std::string& name) const;
  void AddPrinter(const SpoolPrinter& p);
  void RemovePrinter(const std::string& name);
  void MarkPendingDeletion(const std::string& name);

  std::vector<SpoolDriver> Drivers() const;
  std::optional<SpoolDriver> FindDriver(const std::string& name,
                                        const std::string& environment) const;
  // Adds the driver, or replaces the one of that name and environment.
  void AddDriver(const SpoolDriver& d);
  void RemoveDriver(const std::string& name, const std::string& environment);
  // True while a printer (also one pending deletion) uses the driver of the
  // PC's own environment.
  bool DriverInUse(const std::string& name, const std::string& environment) const;

  // Absent "ports": a fresh installation's (LPT1:-LPT3:, COM1:-COM4:, FILE:).
  std::vector<std::string> Ports() const;
  bool HasPort(const std::string& name) const;
  bool PortInUse(const std::string& name) const;
  void RemovePort(const std::string& name);

  // Absent "monitors": a fresh installation's "Local Port".
  std::vector<std::string> Monitors() const;
  std::optional<std::string> FindMonitor(const std::string& name) const;
  std::string MonitorDll(const std::string& name) const;
  // True while a port the monitor controls ("port_monitors") is in use.
  bool MonitorInUse(const std::string& name) const;
  void AddMonitor(const std::string& name, const std::string& dll);
  void RemoveMonitor(const std::string& name);

 private:
  nlohmann::ordered_json& List(const char* key, const std::vector<std::string>& fallback);
  const nlohmann::ordered_json* Find(const char* key) const;

  Machine& m_;
};

}  // namespace sim
