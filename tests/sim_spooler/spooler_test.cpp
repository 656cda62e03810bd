// The simulated print spooler: records as the caller's buffer receives them,
// what a printer's jobs, driver and port hold back, the 9x family's answers,
// faults, and machine.json written back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/image.h"
#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

using Json = nlohmann::ordered_json;

char* S(const char* s) { return const_cast<char*>(s); }

// Two printers of one driver family: the first with two jobs queued.
void AddTrx(TestMachine& tm, const char* env = "Windows NT x86") {
  tm.m.json["printers"] = Json::parse(R"([
    {"name": "VT TRX 5100", "driver": "VT TRX 5100 series", "port": "DOT4_001", "jobs": 2},
    {"name": "VT TRX 5100 Fax", "driver": "VT TRX 5100 series Fax", "port": "DOT4_002"}])");
  tm.m.json["printer_drivers"] = Json::array();
  tm.m.json["printer_drivers"].push_back({{"name", "VT TRX 5100 series"}, {"environment", env}});
  tm.m.json["printer_drivers"].push_back(
      {{"name", "VT TRX 5100 series Fax"}, {"environment", env}});
  tm.m.json["ports"] = Json::parse(R"(["LPT1:", "DOT4_001", "DOT4_002"])");
  tm.m.json["monitors"] = Json::parse(R"(["Local Port", "VT Dot4 Monitor"])");
  tm.m.json["port_monitors"] = Json::parse(R"({"DOT4_001": "VT Dot4 Monitor"})");
}

std::vector<BYTE> EnumLevel2(DWORD* count) {
  DWORD needed = 0;
  *count = 99;
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, count));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(needed);
  DWORD again = 0;
  EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &again, count));
  EXPECT_EQ(again, needed);
  return buffer;
}

HANDLE Open(const char* name) {
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE h = nullptr;
  EXPECT_TRUE(OpenPrinterA(S(name), &h, &defaults)) << name << " " << GetLastError();
  return h;
}

TEST(SpoolerEnumPrinters, Level2RecordsAndStringsStayInsideTheBuffer) {
  TestMachine tm("xp");
  AddTrx(tm);
  DWORD count = 0;
  std::vector<BYTE> buffer = EnumLevel2(&count);
  ASSERT_EQ(count, 2u);
  // NT counts the strings as UTF-16: 2 bytes a character and its zero.
  size_t strings = 0;
  for (const char* s : {"VT TRX 5100",
                        "",
                        "DOT4_001",
                        "VT TRX 5100 series",
                        "",
                        "",
                        "",
                        "WinPrint",
                        "RAW",
                        "",
                        "VT TRX 5100 Fax",
                        "",
                        "DOT4_002",
                        "VT TRX 5100 series Fax",
                        "",
                        "",
                        "",
                        "WinPrint",
                        "RAW",
                        ""})
    strings += 2 * (std::strlen(s) + 1);
  EXPECT_EQ(buffer.size(), 2 * sizeof(PRINTER_INFO_2A) + strings);
  auto* p = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  const char* begin = reinterpret_cast<const char*>(buffer.data()) + 2 * sizeof(PRINTER_INFO_2A);
  const char* end = reinterpret_cast<const char*>(buffer.data()) + buffer.size();
  for (LPSTR s : {p[0].pPrinterName, p[0].pPortName, p[1].pDriverName, p[1].pDatatype}) {
    EXPECT_GE(s, begin);
    EXPECT_LT(s, end);
  }
  EXPECT_EQ(p[0].pServerName, nullptr);  // a local printer
  EXPECT_STREQ(p[0].pPrinterName, "VT TRX 5100");
  EXPECT_STREQ(p[1].pPortName, "DOT4_002");
  EXPECT_STREQ(p[1].pDriverName, "VT TRX 5100 series Fax");
  EXPECT_EQ(p[0].cJobs, 2u);
  EXPECT_EQ(p[0].Status, 0u);
  EXPECT_EQ(p[0].Attributes & PRINTER_ATTRIBUTE_LOCAL, PRINTER_ATTRIBUTE_LOCAL);
  // One byte short is refused, with the same size asked for.
  DWORD needed = 0;
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(),
                             DWORD(buffer.size() - 1), &needed, &count));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, buffer.size());
}

TEST(SpoolerEnumPrinters, NoPrinterSucceedsWithNothingAndLevelsDifferByFamily) {
  TestMachine tm("xp");
  DWORD needed = 7, count = 7;
  EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count));
  EXPECT_EQ(needed, 0u);
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 3, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));

  TestMachine nine("98");
  AddTrx(nine, "Windows 4.0");
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
  // 95/98/ME count ANSI bytes.
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4 - 3, nullptr, 0, &needed, &count));
  EXPECT_EQ(needed, 2 * sizeof(PRINTER_INFO_1A) + sizeof("VT TRX 5100,VT TRX 5100 series,") +
                        sizeof("VT TRX 5100") + 1 +
                        sizeof("VT TRX 5100 Fax,VT TRX 5100 series Fax,") +
                        sizeof("VT TRX 5100 Fax") + 1);
}

TEST(SpoolerDelete, JobsDriverAndPortHoldBackInWindowsOrder) {
  TestMachine tm("xp");
  AddTrx(tm);
  // A printer with jobs stays listed, marked pending deletion.
  HANDLE h = Open("vt trx 5100");
  EXPECT_TRUE(DeletePrinter(h));
  EXPECT_TRUE(ClosePrinter(h));
  DWORD count = 0;
  std::vector<BYTE> buffer = EnumLevel2(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())[0].Status,
            PRINTER_STATUS_PENDING_DELETION);
  // ... and so still holds its driver and port.
  EXPECT_FALSE(DeletePrinterDriverA(nullptr, S("Windows NT x86"), S("VT TRX 5100 series")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DRIVER_IN_USE));
  EXPECT_FALSE(DeletePortA(nullptr, nullptr, S("DOT4_001")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
  // The same driver for 95/98/ME clients is not what the printer uses.
  tm.m.json["printer_drivers"].push_back(
      {{"name", "VT TRX 5100 series"}, {"environment", "Windows 4.0"}});
  EXPECT_TRUE(DeletePrinterDriverA(nullptr, S("Windows 4.0"), S("VT TRX 5100 series")));
  EXPECT_FALSE(DeleteMonitorA(nullptr, S("Windows NT x86"), S("VT Dot4 Monitor")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_MONITOR_IN_USE));

  // A printer without jobs goes at once; its driver and port are then free.
  h = Open("VT TRX 5100 Fax");
  EXPECT_TRUE(DeletePrinter(h));
  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(OpenPrinterA(S("VT TRX 5100 Fax"), &h, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
  EXPECT_TRUE(DeletePrinterDriverA(nullptr, S("windows nt X86"), S("vt trx 5100 SERIES FAX")));
  EXPECT_FALSE(DeletePrinterDriverA(nullptr, S("Windows NT x86"), S("VT TRX 5100 series Fax")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_FALSE(DeletePrinterDriverA(nullptr, S("Windows XYZ"), S("VT TRX 5100 series")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ENVIRONMENT));
  EXPECT_TRUE(DeletePortA(nullptr, nullptr, S("dot4_002")));
  EXPECT_FALSE(DeletePortA(nullptr, nullptr, S("DOT4_002")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PORT));
  EXPECT_FALSE(DeleteMonitorA(nullptr, S("Windows NT x86"), S("No Such Monitor")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINT_MONITOR));

  EXPECT_EQ(tm.m.json["printers"].size(), 1u);
  EXPECT_EQ(tm.m.json["printers"][0]["pending_deletion"], true);
  EXPECT_EQ(tm.m.json["ports"], Json::parse(R"(["LPT1:", "DOT4_001"])"));
}

TEST(SpoolerDelete, NeedsDeleteAccessOnTheHandle) {
  TestMachine tm("xp");
  AddTrx(tm);
  HANDLE h = nullptr;
  ASSERT_TRUE(OpenPrinterA(S("VT TRX 5100 Fax"), &h, nullptr));  // PRINTER_ACCESS_USE
  EXPECT_FALSE(DeletePrinter(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(ClosePrinter(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  tm.m.system.administrator = false;
  PRINTER_DEFAULTSA all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  EXPECT_FALSE(OpenPrinterA(S("VT TRX 5100 Fax"), &h, &all));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST(SpoolerDriver, Level2ByEnvironmentAndFamily) {
  TestMachine tm("xp");
  AddTrx(tm);
  tm.m.json["printer_drivers"][0]["driver_path"] = "C:\\WINDOWS\\system32\\spool\\vt5100.dll";
  HANDLE h = Open("VT TRX 5100");
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterDriverA(h, S("Windows NT x86"), 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterDriverA(h, S("Windows NT x86"), 2, buffer.data(), needed, &needed));
  auto* d = reinterpret_cast<DRIVER_INFO_2A*>(buffer.data());
  EXPECT_EQ(d->cVersion, 3u);
  EXPECT_STREQ(d->pName, "VT TRX 5100 series");
  EXPECT_STREQ(d->pEnvironment, "Windows NT x86");
  EXPECT_STREQ(d->pDriverPath, "C:\\WINDOWS\\system32\\spool\\vt5100.dll");
  // Installed for another environment only: unknown for this one.
  EXPECT_FALSE(GetPrinterDriverA(h, S("Windows 4.0"), 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_FALSE(GetPrinterDriverA(h, S("Windows 3.1"), 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ENVIRONMENT));
  ClosePrinter(h);

  // 95/98/ME answer with their own "Windows 4.0" driver whatever is asked.
  TestMachine nine("98");
  AddTrx(nine, "Windows 4.0");
  h = Open("VT TRX 5100 Fax");
  ASSERT_FALSE(GetPrinterDriverA(h, S("Windows NT x86"), 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  buffer.assign(needed, 0);
  ASSERT_TRUE(GetPrinterDriverA(h, S("Windows NT x86"), 2, buffer.data(), needed, &needed));
  d = reinterpret_cast<DRIVER_INFO_2A*>(buffer.data());
  EXPECT_STREQ(d->pEnvironment, "Windows 4.0");
  EXPECT_EQ(d->cVersion, 0u);
  EXPECT_TRUE(DeletePrinter(h));
  EXPECT_TRUE(DeletePrinterDriverA(nullptr, d->pEnvironment, d->pName));
}

TEST(SpoolerMonitors, LevelsFreshDefaultAndNineXCodes) {
  TestMachine tm("xp");
  DWORD needed = 0, count = 0;
  ASSERT_FALSE(EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &count));
  ASSERT_EQ(count, 1u);  // a fresh installation's monitor
  auto* mi = reinterpret_cast<MONITOR_INFO_2A*>(buffer.data());
  EXPECT_STREQ(mi->pName, "Local Port");
  EXPECT_STREQ(mi->pDLLName, "localspl.dll");
  MONITOR_INFO_2A add = {S("VT Dot4 Monitor"), S("Windows NT x86"), S("vtdot4.dll")};
  EXPECT_TRUE(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&add)));
  EXPECT_FALSE(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&add)));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
  EXPECT_TRUE(DeleteMonitorA(nullptr, S("any environment"), S("vt dot4 monitor")));
  EXPECT_EQ(tm.m.json["monitors"], Json::parse(R"(["Local Port"])"));
  EXPECT_TRUE(tm.m.json["monitor_dlls"].empty());

  TestMachine nine("me");
  EXPECT_FALSE(EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
  EXPECT_FALSE(DeleteMonitorA(nullptr, S("Windows 4.0"), S("No Such Monitor")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(SpoolerFaults, MatchByNameAndCount) {
  TestMachine tm("xp");
  AddTrx(tm);
  sim::Fault f;
  f.call = "DeletePortA";
  f.name = "dot4_002";
  f.error = ERROR_ACCESS_DENIED;
  f.times = 1;
  tm.m.faults.list.push_back(f);
  EXPECT_TRUE(DeletePortA(nullptr, nullptr, S("LPT1:")));  // another name: no fault
  // The fault comes before the spooler's own checks, and only once.
  EXPECT_FALSE(DeletePortA(nullptr, nullptr, S("DOT4_002")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(DeletePortA(nullptr, nullptr, S("DOT4_002")));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
}

TEST(SpoolerImage, RemovalsAreSavedWithKeyOrderKept) {
  TestMachine tm("xp");
  namespace fs = std::filesystem;
  const char* src = std::getenv("CVS_SOURCE_DIR");
  ASSERT_NE(src, nullptr);
  const fs::path dir = fs::path(tm.ImageDir()) / "image";
  fs::copy(fs::path(src) / "samples" / "xp", dir, fs::copy_options::recursive);
  sim::Machine m;
  std::string error;
  ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
  std::vector<std::string> keysBefore;
  for (auto& [k, v] : m.json.items()) keysBefore.push_back(k);
  {
    sim::ScopedMachine scope(m);
    HANDLE h = Open("VT TRX 5100 Fax");
    EXPECT_TRUE(DeletePrinter(h));
    EXPECT_TRUE(ClosePrinter(h));
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, S("Windows NT x86"), S("VT TRX 5100 series Fax")));
    EXPECT_TRUE(DeletePortA(nullptr, nullptr, S("DOT4_002")));
  }
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  std::ifstream in(dir / "machine.json");
  std::stringstream text;
  text << in.rdbuf();
  const Json saved = Json::parse(text.str());
  std::vector<std::string> keysAfter;
  for (auto& [k, v] : saved.items()) keysAfter.push_back(k);
  EXPECT_EQ(keysAfter, keysBefore);
  EXPECT_EQ(saved["printers"].size(), 2u);
  EXPECT_EQ(saved["printer_drivers"].size(), 2u);
  EXPECT_EQ(saved["ports"], Json::parse(R"(["LPT1:", "COM1:", "FILE:", "DOT4_001"])"));
  sim::Machine again;
  EXPECT_TRUE(sim::LoadImage(dir.string(), again, &error)) << error;
}

}  // namespace
