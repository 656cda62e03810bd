// Bytes as an INI file, read through the profile API: section and key lists,
// every section and key found in them, short buffers and integers.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/work_folder.h"
#include "sim/machine.h"

namespace {

struct Pc {
  Pc() : dir(fuzz::WorkDir("profile")) {
    std::filesystem::create_directories(dir / "C");
    m.files.drives_root = dir.string();
    m.system.SetDirectory("windows", "C:\\");
  }
  std::filesystem::path dir;
  sim::Machine m;
};

std::vector<std::string> SplitList(const char* buf, DWORD n) {
  std::vector<std::string> out;
  std::string cur;
  for (DWORD i = 0; i < n; ++i) {
    if (buf[i] == '\0') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += buf[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Pc pc;
  sim::ScopedMachine scope(pc.m);
  {
    std::ofstream out(pc.dir / "C" / "f.ini", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const char* file = "C:\\f.ini";
  static char buf[4096];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, file);
  for (const std::string& section : SplitList(buf, n)) {
    static char keys[4096];
    DWORD k = GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, file);
    for (const std::string& key : SplitList(keys, k)) {
      char small[7];
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "d", small, sizeof small, file);
      GetPrivateProfileStringA(section.c_str(), key.c_str(), nullptr, buf, sizeof buf, file);
      GetPrivateProfileIntA(section.c_str(), key.c_str(), 65536, file);
    }
    char tiny[3];
    GetPrivateProfileStringA(section.c_str(), nullptr, "", tiny, sizeof tiny, file);
  }
  return 0;
}
