// Bytes as a batch file run at the next start of Windows, on a small PC of
// two drives (the first byte picks cmd.exe or COMMAND.COM). Whatever the
// lines say, the interpreter must neither crash nor touch a host file outside
// the PC's drives/ folder: a folder beside drives/ and a file in it are
// checked after every run.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz/work_folder.h"
#include "sim/batch_interpreter.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

namespace {

const fs::path& WorkDir() { return fuzz::WorkDir("batch"); }

void Write(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

// The host tree of the PC, made afresh for each input.
void MakeDrives(const fs::path& drives) {
  std::error_code ec;
  fs::remove_all(drives, ec);
  for (const char* file :
       {"C/WINDOWS/system32/x.dll", "C/WINDOWS/TEMP/EraseVtc.bat", "C/Program Files/Fax/My",
        "C/Program Files/Fax/Fax.tif", "C/Program Files/R&D/50%.txt", "C/a.txt", "D/Data/y.dll"})
    Write(drives / file, "x");
  fs::create_directories(drives / "C/Empty");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const fs::path image = WorkDir() / "pc";
  const fs::path outside = WorkDir() / "outside";
  static const bool once = (Write(outside / "keep.txt", "keep"), true);
  (void)once;
  MakeDrives(image / "drives");

  sim::Machine m;
  m.files.drives_root = (image / "drives").string();
  const bool nt = (data[0] & 1) != 0;
  if (!nt) sim::VersionFromName("98", &m.system.version);
  m.system.SetDirectory("windows", "C:\\WINDOWS");
  m.system.SetDirectory("system", nt ? "C:\\WINDOWS\\system32" : "C:\\WINDOWS\\SYSTEM");
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.SetReadOnly("C:\\a.txt", true);
  m.files.current_dir = nt ? "C:\\WINDOWS\\system32" : "C:\\WINDOWS";

  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::ostringstream out;
  {
    sim::ScopedMachine scope(m);
    sim::BatchInterpreter(m, out).Run(text, {"C:\\WINDOWS\\TEMP\\EraseVtc.bat", "..\\..\\.."});
  }
  std::error_code ec;
  if (!fs::is_regular_file(outside / "keep.txt", ec) || !fs::is_directory(image / "drives", ec))
    __builtin_trap();
  if (!m.handles.All().empty()) __builtin_trap();  // every search closed
  return 0;
}
