// Host files for tests that build a machine image by hand.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
