// Bytes as machine.json of an otherwise minimal image: the loader must refuse
// or accept it without crashing, and an accepted image must save. The line
// locator of its error messages also gets the raw bytes, valid JSON or not.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/work_folder.h"
#include "sim/image.h"
#include "sim/json_path.h"
#include "sim/machine.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path image = fuzz::WorkDir("machine_json") / "pc";
  std::error_code ec;
  fs::remove_all(image, ec);
  fs::create_directories(image / "drives" / "C" / "Scrubber", ec);
  fs::create_directories(image / "drives" / "C" / "WINDOWS" / "TEMP", ec);
  {
    std::ofstream out(image / "machine.json", std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::ofstream(image / "registry.reg", std::ios::binary) << "REGEDIT4\r\n";
  const std::string text(reinterpret_cast<const char*>(data), size);
  const sim::JsonPath root;
  sim::LineOfJsonPath(text, root.Key("printers").Index(1).Key("name"));
  sim::LineOfJsonPath(text, root.Key("files").Key("C:\\x").Key("in_use"));
  sim::JsonPath duplicate;
  size_t line = 0;
  sim::FindDuplicateJsonKey(text, &duplicate, &line);
  sim::Machine m;
  std::string error;
  if (sim::LoadImage(image.string(), m, &error)) {
    sim::ScopedMachine scope(m);
    sim::SaveImage(m, &error);
  }
  return 0;
}
