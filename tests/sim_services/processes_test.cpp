// msiexec on the simulated clock: waits, time-outs, removals, refusals and
// the transcript line of each started program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/image.h"
#include "sim/machine.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace {

using Json = nlohmann::ordered_json;

const char kCode[] = "{28ABC70E-91EF-A4C9-C665-284CB0F07586}";
const std::string kUninstall = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Installed {
  TestMachine tm{"xp"};
  explicit Installed(Json product = Json::object()) {
    product["code"] = kCode;
    if (!product.contains("seconds")) product["seconds"] = 20;
    product["removes"] = {"HKLM\\SOFTWARE\\Vantrel\\PhotoDesk", "C:\\Program Files\\Vantrel"};
    tm.m.json["installer_products"] = Json::array({product});
    tm.m.registry.SetString(kUninstall + kCode, "DisplayName", "Photo Desk");
    tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\PhotoDesk\\Components", "x", "y");
    tm.m.registry.SetString("HKLM\\SOFTWARE\\Vantrel\\Keep", "x", "y");
    tm.AddFile("C:\\Program Files\\Vantrel\\bin\\a.dll");
    tm.SetReadOnly("C:\\Program Files\\Vantrel\\bin\\a.dll");
  }
  bool Removed() const {
    return !tm.m.registry.Find(kUninstall + kCode) &&
           !tm.m.registry.Find("HKLM\\SOFTWARE\\Vantrel\\PhotoDesk") &&
           !tm.Exists("C:\\Program Files\\Vantrel") && tm.m.json["installer_products"].empty();
  }
  bool Untouched() const {
    return tm.m.registry.Find(kUninstall + kCode) &&
           tm.m.registry.Find("HKLM\\SOFTWARE\\Vantrel\\PhotoDesk\\Components") &&
           tm.Exists("C:\\Program Files\\Vantrel\\bin\\a.dll") &&
           tm.m.json["installer_products"].size() == 1;
  }
};

std::string Uninstall(const std::string& code) {
  return "msiexec /x" + code + " /qb! REBOOT=\"ReallySuppress\"";
}

// Starts a command line as the uninstaller does; returns the process info.
bool Start(const std::string& line, PROCESS_INFORMATION* pi, const char* app = nullptr) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  *pi = PROCESS_INFORMATION{};
  std::string buffer = line;
  return CreateProcessA(app, line.empty() ? nullptr : &buffer[0], nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, pi);
}

std::vector<std::string> ProcessLines(TestMachine& tm) {
  std::vector<std::string> out;
  for (const std::string& l : tm.m.user.Lines())
    if (l.rfind("[process] ", 0) == 0) out.push_back(l);
  return out;
}

TEST(Installer, RunsOnTheClockAndRemovesTheProductWhenItEnds) {
  Installed pc;
  PROCESS_INFORMATION pi;
  const DWORD start = GetTickCount();
  ASSERT_TRUE(Start(Uninstall(kCode), &pi));
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(pi.hThread, 19999), WAIT_TIMEOUT);
  EXPECT_EQ(GetTickCount() - start, 19999u);
  EXPECT_TRUE(pc.Untouched());
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 100000), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount() - start, 20000u);  // the clock stops where the process ended
  EXPECT_TRUE(pc.Removed());
  EXPECT_TRUE(pc.tm.m.registry.Find("HKLM\\SOFTWARE\\Vantrel\\Keep"));
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(CloseHandle(pi.hProcess));
  EXPECT_TRUE(CloseHandle(pi.hThread));
  EXPECT_FALSE(CloseHandle(pi.hThread));
  // One line per process: the first wait that decided.
  EXPECT_EQ(ProcessLines(pc.tm),
            std::vector<std::string>{"[process] " + Uninstall(kCode) + " -> timeout"});

  // The product is gone now: a second removal finds nothing.
  ASSERT_TRUE(Start(Uninstall(kCode), &pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 1000), WAIT_OBJECT_0);
  EXPECT_EQ(GetTickCount() - start, 20000u);
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 1605u);
  EXPECT_EQ(ProcessLines(pc.tm).back(), "[process] " + Uninstall(kCode) + " -> 1605");
}

TEST(Installer, SecondInstallerWhileOneRunsAndOneLeftRunning) {
  Installed pc;
  PROCESS_INFORMATION first, second;
  ASSERT_TRUE(Start(Uninstall(kCode), &first));
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 5000), WAIT_TIMEOUT);
  ASSERT_TRUE(Start(Uninstall("{00000000-0000-0000-0000-000000000000}"), &second));
  EXPECT_EQ(WaitForSingleObject(second.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(second.hProcess, &code));
  EXPECT_EQ(code, 1618u);
  // The first is still running when the program ends: nothing of it happens.
  EXPECT_TRUE(pc.Untouched());
}

TEST(Installer, FailingInstallerRollsBack) {
  Installed pc(Json{{"seconds", 3}, {"exit_code", 1603}});
  PROCESS_INFORMATION pi;
  ASSERT_TRUE(Start(Uninstall(kCode), &pi));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(code, 1603u);
  EXPECT_TRUE(pc.Untouched());
}

TEST(Installer, WhichProgramsStart) {
  Installed pc(Json{{"seconds", 0}});
  PROCESS_INFORMATION pi;
  // Found on the search path, named with its path, or as application name.
  EXPECT_TRUE(Start("MSIEXEC.EXE /x {nothing}", &pi));
  EXPECT_TRUE(Start("\"C:\\WINDOWS\\system32\\msiexec.exe\" /x{nothing}", &pi));
  EXPECT_TRUE(Start("msiexec /x{nothing}", &pi, "C:\\WINDOWS\\System32\\msiexec.exe"));
  EXPECT_TRUE(Start("", &pi, "C:\\WINDOWS\\system32\\msiexec.exe"));
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ProcessLines(pc.tm).back(),
            "[process] C:\\\\WINDOWS\\\\system32\\\\msiexec.exe -> 1639");

  const struct {
    std::string line;
    const char* app;
    DWORD error;
  } refused[] = {
      {"notepad.exe x.txt", nullptr, 2},
      {"C:\\Program Files\\msiexec.exe /x{nothing}", nullptr, 2},
      {"C:\\NoSuchDir\\msiexec.exe /x{nothing}", nullptr, 3},
      {"msiexec /x{nothing}", "C:\\WINDOWS\\system32\\msiexec", 2},  // no extension is added
      {"msiexec /x{nothing}", "msiexec.exe", 2},  // the current directory is C:\Scrubber
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(Start(r.line, &pi, r.app)) << r.line;
    EXPECT_EQ(GetLastError(), r.error) << r.line;
  }
  EXPECT_EQ(ProcessLines(pc.tm).back(), "[process] msiexec /x{nothing} -> failed 2");
  EXPECT_TRUE(pc.Untouched());
}

TEST(Installer, RemovalsReachTheSavedImage) {
  TestMachine tm("xp");
  const std::filesystem::path dir = std::filesystem::path(tm.ImageDir()) / "img";
  const Json machine = {
      {"windows", "xp"},
      {"directories",
       {{"current", "C:\\"},
        {"temp", "C:\\"},
        {"windows", "C:\\WINDOWS"},
        {"system", "C:\\WINDOWS\\system32"}}},
      {"services", {{{"name", "VtSvc"}, {"state", "running"}}, {{"name", "Other"}}}},
      {"installer_products", {{{"code", kCode}, {"seconds", 1}, {"removes", {"C:\\gone.txt"}}}}}};
  WriteHost(dir / "machine.json", machine.dump(2));
  WriteHost(dir / "registry.reg", "REGEDIT4\r\n\r\n");
  WriteHost(dir / "drives" / "C" / "gone.txt", "x");
  std::string error;
  sim::Machine m;
  ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
  {
    sim::ScopedMachine scope(m);
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(Start(Uninstall(kCode), &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE svc = OpenServiceA(scm, "VtSvc", 0x10025);
    SERVICE_STATUS status;
    EXPECT_TRUE(ControlService(svc, SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(DeleteService(svc));
    EXPECT_TRUE(CloseServiceHandle(svc));
    EXPECT_TRUE(CloseServiceHandle(scm));
  }
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(dir / "drives" / "C" / "gone.txt"));
  const Json saved = Json::parse(ReadHost(dir / "machine.json"));
  EXPECT_EQ(saved["services"], Json::parse(R"([{"name": "Other"}])"));
  EXPECT_TRUE(saved["installer_products"].empty());
  // Key order kept: the lists stay where they were.
  std::vector<std::string> keys;
  for (auto& [key, value] : saved.items()) keys.push_back(key);
  EXPECT_EQ(keys,
            (std::vector<std::string>{"windows", "directories", "services", "installer_products"}));
}

}  // namespace
