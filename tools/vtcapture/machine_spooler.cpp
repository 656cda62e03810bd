// Printers, drivers, ports and monitors as the spooler lists them.
#include <windows.h>
// After windows.h, whose types it uses.
#include <winspool.h>

#include <vector>

#include "tools/vtcapture/machine_parts.h"
#include "tools/vtcapture/win_text.h"

namespace vtcapture {
namespace {

// One Enum* call of the spooler at LEVEL, sized by a first call; empty when
// it fails. ENUM is called as (level, buffer, size, &needed, &count).
template <typename Enum>
std::vector<BYTE> Listed(Enum call, DWORD level, DWORD* count) {
  DWORD needed = 0;
  *count = 0;
  call(level, nullptr, 0, &needed, count);
  std::vector<BYTE> buffer(needed ? needed : 1);
  if (!call(level, buffer.data(), needed, &needed, count)) {
    *count = 0;
    buffer.clear();
  }
  return buffer;
}

std::string Text(const char* s) { return s ? AnsiToUtf8(s) : std::string(); }

void Optional(JsonText& json, const char* key, const char* value) {
  if (!value || !*value) return;
  json.Key(key);
  json.String(Text(value));
}

}  // namespace

void WriteSpooler(JsonText& json) {
  DWORD count = 0;
  std::vector<BYTE> buf = Listed(
      [](DWORD level, BYTE* b, DWORD size, DWORD* needed, DWORD* n) {
        return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, level, b, size, needed, n);
      },
      2, &count);
  json.Key("printers");
  json.BeginArray();
  for (DWORD i = 0; i < count; ++i) {
    const auto& p = reinterpret_cast<const PRINTER_INFO_2A*>(buf.data())[i];
    json.BeginObject();
    json.Key("name");
    json.String(Text(p.pPrinterName));
    Optional(json, "driver", p.pDriverName);
    Optional(json, "port", p.pPortName);
    if (p.cJobs) {
      json.Key("jobs");
      json.Number(p.cJobs);
    }
    json.EndObject();
  }
  json.EndArray();

  buf = Listed(
      [](DWORD level, BYTE* b, DWORD size, DWORD* needed, DWORD* n) {
        return EnumPrinterDriversA(nullptr, nullptr, level, b, size, needed, n);
      },
      2, &count);
  json.Key("printer_drivers");
  json.BeginArray();
  for (DWORD i = 0; i < count; ++i) {
    const auto& d = reinterpret_cast<const DRIVER_INFO_2A*>(buf.data())[i];
    json.BeginObject();
    json.Key("name");
    json.String(Text(d.pName));
    Optional(json, "environment", d.pEnvironment);
    Optional(json, "driver_path", d.pDriverPath);
    Optional(json, "data_file", d.pDataFile);
    Optional(json, "config_file", d.pConfigFile);
    json.EndObject();
  }
  json.EndArray();

  // Ports with their monitors where the spooler tells them (level 2).
  bool level2 = true;
  buf = Listed([](DWORD level, BYTE* b, DWORD size, DWORD* needed,
                  DWORD* n) { return EnumPortsA(nullptr, level, b, size, needed, n); },
               2, &count);
  if (buf.empty()) {
    level2 = false;
    buf = Listed([](DWORD level, BYTE* b, DWORD size, DWORD* needed,
                    DWORD* n) { return EnumPortsA(nullptr, level, b, size, needed, n); },
                 1, &count);
  }
  json.Key("ports");
  json.BeginArray();
  for (DWORD i = 0; i < count; ++i) {
    json.String(Text(level2 ? reinterpret_cast<const PORT_INFO_2A*>(buf.data())[i].pPortName
                            : reinterpret_cast<const PORT_INFO_1A*>(buf.data())[i].pName));
  }
  json.EndArray();
  if (level2) {
    json.Key("port_monitors");
    json.BeginObject();
    for (DWORD i = 0; i < count; ++i) {
      const auto& p = reinterpret_cast<const PORT_INFO_2A*>(buf.data())[i];
      if (!p.pMonitorName || !*p.pMonitorName) continue;
      json.Key(Text(p.pPortName));
      json.String(Text(p.pMonitorName));
    }
    json.EndObject();
  }

  level2 = true;
  buf = Listed([](DWORD level, BYTE* b, DWORD size, DWORD* needed,
                  DWORD* n) { return EnumMonitorsA(nullptr, level, b, size, needed, n); },
               2, &count);
  if (buf.empty()) {
    level2 = false;
    buf = Listed([](DWORD level, BYTE* b, DWORD size, DWORD* needed,
                    DWORD* n) { return EnumMonitorsA(nullptr, level, b, size, needed, n); },
                 1, &count);
  }
  json.Key("monitors");
  json.BeginArray();
  for (DWORD i = 0; i < count; ++i) {
    json.String(Text(level2 ? reinterpret_cast<const MONITOR_INFO_2A*>(buf.data())[i].pName
                            : reinterpret_cast<const MONITOR_INFO_1A*>(buf.data())[i].pName));
  }
  json.EndArray();
  if (level2) {
    json.Key("monitor_dlls");
    json.BeginObject();
    for (DWORD i = 0; i < count; ++i) {
      const auto& m = reinterpret_cast<const MONITOR_INFO_2A*>(buf.data())[i];
      if (!m.pDLLName || !*m.pDLLName) continue;
      json.Key(Text(m.pName));
      json.String(Text(m.pDLLName));
    }
    json.EndObject();
  }
}

}  // namespace vtcapture
