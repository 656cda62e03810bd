// libFuzzer: the input bytes are the control file, read as at start-up and by
// the uninstall sequence on a simulated PC whose boxes are answered OK.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/ini_reader.h"
#include "fuzz/work_folder.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

class FirstEntries : public IDeviceTreeSink {
 public:
  TreeItem AddTreeEntry(const std::string& text, TreeItem parent) override {
    texts.push_back(parent == 0 ? text : texts.back() + ", " + text);
    return static_cast<TreeItem>(texts.size());
  }
  std::vector<std::string> texts;
};

const fs::path& ImageDir() {
  static const fs::path dir = [] {
    fs::path d = fuzz::WorkDir("ini");
    fs::create_directories(d / "drives" / "C" / "Scrubber");
    fs::create_directories(d / "drives" / "C" / "WINDOWS" / "TEMP");
    std::ofstream(d / "drives" / "C" / "Scrubber" / "files.dat") << "x\r\n";
    return d;
  }();
  return dir;
}

void SetUpMachine(sim::Machine& m) {
  m.SetCodePage(1252);
  sim::VersionFromName("xp", &m.system.version);
  m.system.SetStartTime("2003-03-05T09:07:04.021");
  m.system.SetDirectory("current", "C:\\Scrubber");
  m.system.SetDirectory("windows", "C:\\WINDOWS");
  m.system.SetDirectory("system", "C:\\WINDOWS\\system32");
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.drives_root = (ImageDir() / "drives").string();
  m.files.drives['C'] = sim::DriveInfo{};
  m.files.current_dir = "C:\\Scrubber";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path drive = ImageDir() / "drives" / "C";
  {
    std::ofstream ini(drive / "Scrubber" / "VtCvScrubber.ini", std::ios::binary | std::ios::trunc);
    ini.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::error_code ec;
  fs::remove(drive / "WINDOWS" / "TEMP" / "VtCvScrubber.log", ec);

  sim::Machine m;
  sim::ScopedMachine scope(m);
  SetUpMachine(m);
  ResetRunLogState();
  char dir[260];
  GetRunLogDir(dir);

  FirstEntries tree;
  CGetDataFromINI startUp;
  if (!startUp.LoadDeviceTree("VtCvScrubber.ini", tree)) return 0;
  std::vector<std::string> devices = tree.texts;
  if (devices.size() > 3) devices.resize(3);
  devices.push_back("A, B");
  for (const std::string& device : devices) {
    CGetDataFromINI ini;
    for (int code = -1; code <= 5; code += 3) ini.PathToUninstallFile(device, code, "FilesPath");
    ini.GetDefaultDirs();
    ini.GetCommonINIvalues(device);
    ini.GetTestRegEntry();
    ini.GetUnregisterData(device);
  }
  return 0;
}
