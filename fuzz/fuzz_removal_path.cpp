// libFuzzer: the input bytes are one path of a files list. A path the file
// remover accepts must name something below a drive root or a share as
// Windows resolves it (never a root, never the current directory), and
// the batch text keeps each path byte, "%" doubled.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/batch_lines.h"
#include "files/removal_path_rules.h"
#include "sim/machine.h"

namespace {

bool IsDrivePath(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  if (path.find('\0') != std::string::npos) return 0;

  const std::string doubled = DoublePercent(path);
  std::string undone;
  for (size_t i = 0; i < doubled.size(); ++i) {
    undone += doubled[i];
    if (doubled[i] == '%') ++i;
  }
  if (undone != path) std::abort();

  if (!IsSafeRemovalPath(path)) return 0;
  if (path[0] != '\\' && path[0] != '/' && !IsDrivePath(path)) std::abort();
  if (IsDrivePath(path)) {
    sim::Machine m;
    sim::ScopedMachine scope(m);
    m.files.current_dir = "C:\\Scrubber\\Sub";
    std::string full;
    DWORD error = 0;
    // Windows' own resolution: "C:\x\.." or "C:\..." would be the root.
    if (m.files.FullPath(path, &full, &error) && full.size() <= 3) std::abort();
  }
  BatchPathParts parts;
  if (IsDrivePath(path) && path[2] == '\\' && !SplitBatchPath(path, parts)) std::abort();
  return 0;
}
