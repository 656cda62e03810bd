// The work folder of one fuzzer process: a fresh folder named after the
// target and the process, removed when the fuzzer exits. It lives in memory
// (/dev/shm) where the host has it: the targets that build a PC on disk
// create, write and remove files for every input, and a disk-backed folder
// makes each of those a journal write, and an image save an fsync.
// CVS_FUZZ_TMP names another parent folder.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzz {

inline std::filesystem::path WorkParent() {
  if (const char* chosen = std::getenv("CVS_FUZZ_TMP"); chosen != nullptr && *chosen != '\0')
    return chosen;
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

inline const std::filesystem::path& WorkDir(const char* target) {
  struct Folder {
    std::filesystem::path dir;
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  };
  static const Folder folder{
      WorkParent() / (std::string("cvs_fuzz_") + target + "_" + std::to_string(::getpid()))};
  return folder.dir;
}

}  // namespace fuzz
