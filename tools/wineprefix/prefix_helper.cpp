// Helper run inside a new Wine prefix by make_prefix.py:
//   prefix_helper setup LIST   creates what LIST names through the real calls:
//                              "monitor NAME|DLL", "driver NAME|ENVIRONMENT",
//                              "printer NAME|DRIVER|PORT", "service NAME|PATH"
//   prefix_helper hold LIST    opens each file LIST names (one a line) without
//                              FILE_SHARE_DELETE and keeps it open until ended;
//                              writes LIST.ready once all are open
// Each setup line's outcome is printed ("ok LINE" or "failed ERROR LINE").
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& rest) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t bar = rest.find('|', start);
    fields.push_back(
        rest.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) return fields;
    start = bar + 1;
  }
}

std::vector<std::string> Lines(const char* path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// 0 when the line's object was made, else the Windows error.
DWORD SetUp(const std::string& kind, std::vector<std::string> f) {
  f.resize(3);
  if (kind == "monitor") {
    MONITOR_INFO_2A info = {};
    info.pName = &f[0][0];
    info.pDLLName = &f[1][0];
    return AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&info)) ? 0 : GetLastError();
  }
  if (kind == "driver") {
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = &f[0][0];
    info.pEnvironment = f[1].empty() ? nullptr : &f[1][0];
    std::string file = "UNIDRV.DLL";
    std::string data = f[0] + ".PPD";
    std::string config = "UNIDRVUI.DLL";
    info.pDriverPath = &file[0];
    info.pDataFile = &data[0];
    info.pConfigFile = &config[0];
    return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) ? 0 : GetLastError();
  }
  if (kind == "printer") {
    PRINTER_INFO_2A info = {};
    std::string processor = "WinPrint";
    std::string datatype = "RAW";
    info.pPrinterName = &f[0][0];
    info.pDriverName = &f[1][0];
    info.pPortName = &f[2][0];
    info.pPrintProcessor = &processor[0];
    info.pDatatype = &datatype[0];
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer == nullptr) return GetLastError();
    ClosePrinter(printer);
    return 0;
  }
  if (kind == "service") {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager == nullptr) return GetLastError();
    SC_HANDLE service =
        CreateServiceA(manager, f[0].c_str(), f[0].c_str(), SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                       f[1].c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    const DWORD error = service == nullptr ? GetLastError() : 0;
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return error;
  }
  return ERROR_INVALID_PARAMETER;
}

int Setup(const char* list) {
  int failed = 0;
  for (const std::string& line : Lines(list)) {
    const size_t blank = line.find(' ');
    const std::string kind = line.substr(0, blank);
    const DWORD error = blank == std::string::npos ? ERROR_INVALID_PARAMETER
                                                   : SetUp(kind, Fields(line.substr(blank + 1)));
    if (error == 0) {
      std::printf("ok %s\n", line.c_str());
    } else {
      std::printf("failed %lu %s\n", static_cast<unsigned long>(error), line.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

int Hold(const char* list) {
  std::vector<HANDLE> held;
  int failed = 0;
  for (const std::string& path : Lines(list)) {
    // Sharing read and write but not delete: deleting or renaming the file
    // fails with 32 while it is held, as for a running program's files.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::printf("failed %lu %s\n", static_cast<unsigned long>(GetLastError()), path.c_str());
      ++failed;
    } else {
      held.push_back(file);
    }
  }
  const std::string ready = std::string(list) + ".ready";
  HANDLE mark = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  std::fflush(stdout);
  Sleep(INFINITE);  // until the Wine session ends
  return failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "setup") return Setup(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "hold") return Hold(argv[2]);
  std::fprintf(stderr, "usage: prefix_helper setup|hold LIST\n");
  return 2;
}
