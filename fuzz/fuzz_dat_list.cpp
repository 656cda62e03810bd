// libFuzzer: the input bytes are a DAT list file, read by a registry-list
// reader (three directories) and a files-list reader (all nine).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/dat_list.h"
#include "fuzz/work_folder.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

const fs::path& ImageDir() {
  static const fs::path dir = [] {
    fs::path d = fuzz::WorkDir("dat");
    fs::create_directories(d / "drives" / "C" / "Scrubber");
    fs::create_directories(d / "drives" / "C" / "WINDOWS" / "TEMP");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path drive = ImageDir() / "drives" / "C";
  {
    std::ofstream dat(drive / "Scrubber" / "list.dat", std::ios::binary | std::ios::trunc);
    dat.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::error_code ec;
  fs::remove(drive / "WINDOWS" / "TEMP" / "VtCvScrubber.log", ec);

  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.SetCodePage(1252);
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.drives_root = (ImageDir() / "drives").string();
  m.files.drives['C'] = sim::DriveInfo{};
  m.files.current_dir = "C:\\Scrubber";
  ResetRunLogState();
  CListFromFile::ResetFirstRead();
  char dir[260];
  GetRunLogDir(dir);

  CStringArray list;
  CListFromFile registryList;
  registryList.SetVTInstallDir("C:\\Program Files\\VT\\");
  registryList.SetSystemDir("C:\\WINDOWS\\system32");
  registryList.SetWindowsDir("C:\\WINDOWS");
  registryList.ListFromFile("C:\\Scrubber\\list.dat", list);

  CListFromFile filesList;
  filesList.SetVTInstallDir("C:\\VT");
  filesList.SetDesktopDir("C:\\Desk\\");
  filesList.SetOCRDir("C:\\OCR");
  filesList.SetUserProgramsDir("C:\\Programs\\");
  filesList.SetDeviceIDDir("C:\\ID");
  filesList.SetTempDir();
  filesList.ListFromFile("C:\\Scrubber\\list.dat", list);
  return 0;
}
