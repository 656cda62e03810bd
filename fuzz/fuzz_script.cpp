// Bytes as the simulated user's script, driving the whole program on a fresh
// copy of the XP sample PC: script parsing, every window's dispatch of actions,
// and the uninstall sequence's branches. Bytes the script check refuses are
// typed by a person at the terminal instead, where every line is checked on
// its own and a refused one is explained and asked again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/program_entry.h"
#include "app/run_state.h"
#include "fuzz/work_folder.h"
#include "sim/image.h"
#include "sim/machine.h"
#include "sim/user.h"

namespace fs = std::filesystem;

namespace {

const fs::path& WorkDir() { return fuzz::WorkDir("script"); }

// The sample PC, copied once into the work folder: each input's fresh copy
// is then made from memory-backed files beside it, not from the checkout.
const fs::path& Pristine() {
  static const fs::path dir = [] {
    const fs::path d = WorkDir() / "xp";
    std::error_code ec;
    fs::create_directories(WorkDir(), ec);
    fs::copy(fs::path(CVS_SOURCE_DIR) / "samples" / "xp", d, fs::copy_options::recursive, ec);
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path image = WorkDir() / "pc";
  std::error_code ec;
  fs::remove_all(image, ec);
  fs::copy(Pristine(), image, fs::copy_options::recursive, ec);
  if (ec) return 0;

  sim::Machine m;
  std::string error;
  if (!sim::LoadImage(image.string(), m, &error)) return 0;
  m.user.SetTranscriptStream(nullptr);
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream typed(text);
  std::ostringstream shown;
  sim::ScopedMachine scope(m);
  if (!m.user.SetScript(text, "fuzz")) {
    // The check names a line of the input; then a person types the same bytes.
    if (m.user.script().error().compare(0, 10, "fuzz line ") != 0) __builtin_trap();
    m.user.SetTerminal(typed, shown);
  }
  ResetAllRunState();
  try {
    ProgramMain();
  } catch (const sim::ProcessExit&) {
  } catch (const sim::ScriptAbort&) {
  }
  return 0;
}
