// A simulated PC with a device's printers, drivers, ports, monitors,
// services, devices and installer package, and the run log as text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/run_state.h"
#include "log/run_log.h"
#include "printing/handle_pnp.h"
#include "support/log_entries.h"
#include "support/test_machine.h"

using Json = nlohmann::ordered_json;

constexpr char kProduct[] = "{5A1B2C3D-0000-4000-8000-00000000AA01}";
constexpr char kProductKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5A1B2C3D-0000-4000-8000-"
    "00000000AA01}";

class PrintingTest : public ::testing::Test {
 protected:
  explicit PrintingTest(const std::string& windows = "xp") : tm(windows) {
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);
    logPath_ = std::string(logDir) + "VtCvScrubber.log";
  }

  // The device's printer and fax printer on one DOT4 port each, another
  // maker's printer on LPT1:, the device's monitor and one other, two
  // services of the device and one other, three devices.
  void AddDevice(const std::string& env = "Windows NT x86") {
    tm.m.json["printers"] = Json::parse(R"([
      {"name": "VT TRX 5100", "driver": "VT TRX 5100 series", "port": "DOT4_001"},
      {"name": "Office Laser", "driver": "Acme Laser 4", "port": "LPT1:"},
      {"name": "VT TRX 5100 Fax", "driver": "VT TRX 5100 Fax", "port": "DOT4_002"}])");
    tm.m.json["printer_drivers"] = Json::array();
    for (const char* driver : {"VT TRX 5100 series", "Acme Laser 4", "VT TRX 5100 Fax"}) {
      tm.m.json["printer_drivers"].push_back({{"name", driver}, {"environment", env}});
    }
    tm.m.json["ports"] = Json::parse(R"(["LPT1:", "DOT4_001", "DOT4_002", "USB001"])");
    tm.m.json["monitors"] = Json::parse(R"(["Local Port", "VT Dot4 Monitor", "Acme Net Port"])");
    tm.m.json["port_monitors"] = Json::parse(R"({"DOT4_001": "VT Dot4 Monitor"})");
    tm.m.json["services"] = Json::parse(R"([
      {"name": "VtScanSvc", "state": "running"},
      {"name": "Spooler", "state": "running"},
      {"name": "VtStatusMon", "state": "stopped"}])");
    tm.m.json["devices"] = Json::parse(R"([
      {"class": "Image", "hardware_ids": ["USB\\VID_1234&PID_5678&REV_0100"]},
      {"class": "Image", "hardware_ids": ["USB\\VID_9999&PID_0001", "VID_1234&PID_5678"]},
      {"class": "Printer", "hardware_ids": ["DOT4\\VID_1234&PID_5678&PRINT"]},
      {"class": "Printer", "hardware_ids": ["LPTENUM\\ACMELASER4"]}])");
  }

  // The device's installer package, installed and removable in `seconds`.
  void AddProduct(int seconds = 20, int exitCode = 0) {
    tm.m.registry.Create(kProductKey);
    Json product = {{"code", kProduct}, {"seconds", seconds}, {"exit_code", exitCode}};
    tm.m.json["installer_products"] = Json::array({product});
  }

  // A machine.json fault matched by printer, driver, port, service or device.
  void AddNameFault(const std::string& call, DWORD error, const std::string& name, int times = -1) {
    sim::Fault f;
    f.call = call;
    f.name = name;
    f.error = error;
    f.times = times;
    tm.m.faults.list.push_back(f);
  }

  // Names of a machine.json list, in order (objects by their "name").
  std::string Names(const char* list) const {
    std::string names;
    if (!tm.m.json.contains(list)) return names;
    for (const Json& e : tm.m.json[list]) {
      if (!names.empty()) names += ",";
      names += e.is_string() ? e.get<std::string>() : e.value("name", "?");
    }
    return names;
  }
  size_t DeviceCount() const {
    return tm.m.json.contains("devices") ? tm.m.json["devices"].size() : 0;
  }

  std::string Log() const {
    std::string log = tm.ReadFile(logPath_);
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
  }
  bool LogHas(const std::string& part) const { return Log().find(part) != std::string::npos; }

  TestMachine tm;
  std::string logPath_;
};

inline CStringArray List(std::initializer_list<const char*> items) {
  CStringArray list;
  for (const char* i : items) list.push_back(i);
  return list;
}
