// Host files for tests that build a machine image by hand.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/image.h"

// Writes `text` to `p`, making its folders.
inline void WriteHost(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

// The bytes of `p` ("" when it cannot be read).
inline std::string ReadHost(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The smallest machine.json an image may have: the version and the required
// directories (the folders need not exist unless the test needs them).
constexpr const char kMinimalMachineJson[] = R"({ "windows": "xp", "directories": {
    "current": "C:\\Scrubber", "temp": "C:\\WINDOWS\\TEMP\\",
    "windows": "C:\\WINDOWS", "system": "C:\\WINDOWS\\system32" } })";

// Why the image in `dir` does not load, or "" when it loads.
inline std::string ImageLoadError(const std::filesystem::path& dir) {
  sim::Machine fresh;
  std::string error;
  return sim::LoadImage(dir.string(), fresh, &error) ? std::string() : error;
}
