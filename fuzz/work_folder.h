// The work folder of one fuzzer process: a fresh folder below the host's
// temporary directory, named after the target and the process, removed when
// the fuzzer exits.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace fuzz {

inline const std::filesystem::path& WorkDir(const char* target) {
  struct Folder {
    std::filesystem::path dir;
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  };
  static const Folder folder{
      std::filesystem::temp_directory_path() /
      (std::string("cvs_fuzz_") + target + "_" + std::to_string(::getpid()))};
  return folder.dir;
}

}  // namespace fuzz
