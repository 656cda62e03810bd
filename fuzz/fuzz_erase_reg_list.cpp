// libFuzzer: the input bytes are the lines of a registry list, erased on a
// small registry holding shared counters, a device class, USB device keys
// (one protected) and a few program keys. The first byte picks the Windows
// version code.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

const fs::path& ImageDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / "cvs_fuzz_erase";
    fs::create_directories(d / "drives" / "C" / "WINDOWS" / "TEMP");
    return d;
  }();
  return dir;
}

void FillRegistry(sim::Registry& reg) {
  const std::string shared = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  reg.SetDword(shared, "C:\\a.dll", 1);
  reg.SetDword(shared, "C:\\b.dll", 300);
  reg.SetValue(shared, "C:\\c.dll", REG_BINARY, std::string("\x02\x00", 2));
  reg.SetString(shared, "C:\\d.dll", "text");
  const std::string cls = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Class\\{6bdd}";
  reg.SetString(cls + "\\0000", "DriverDesc", "VT Scanner");
  reg.SetString(cls + "\\0001", "DriverDesc", "Other");
  const std::string usb = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB";
  reg.SetString(usb + "\\Vid_04f1&Pid_5100\\5&1", "Driver", "x");
  reg.SetString(usb + "\\Vid_04f1&Pid_5100&MI_00", "Driver", "y");
  reg.SetAccess(usb + "\\Vid_04f1&Pid_5100", sim::KeyAccess::kProtected);
  reg.SetString("HKLM\\SOFTWARE\\Vantrel\\Scan\\Sub", "Path", "C:\\VT");
  reg.SetString("HKCU\\Software\\Vantrel", "vid_04f1&pid_5100", "1");
  reg.SetString("HKCR\\.vpa", "", "VtPd.Album");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const fs::path drive = ImageDir() / "drives" / "C";
  std::error_code ec;
  fs::remove(drive / "WINDOWS" / "TEMP" / "VtCvScrubber.log", ec);

  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.SetCodePage(1252);
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.drives_root = (ImageDir() / "drives").string();
  m.files.drives['C'] = sim::DriveInfo{};
  FillRegistry(m.registry);
  ResetAllRunState();
  g_RemovalData.PnP = {"VID_9999", "VID_04F1&PID_5100"};
  char dir[260];
  GetRunLogDir(dir);

  const int versionCode = static_cast<int>(data[0] % 7) - 1;
  CStringArray list;
  std::string line;
  for (size_t i = 1; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == '\n') {
      list.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  list.push_back(line);

  CRemoveSoftware remover;
  remover.EraseRegList(list, versionCode);
  return 0;
}
