// Reading a big DAT list as the program does (through the C runtime's text
// mode over ReadFile): its time grows with the file's size, not faster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/dat_list.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace {

namespace fs = std::filesystem;

void BM_DatList(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("cvs_bench_dat_" + std::to_string(::getpid()));
  fs::create_directories(dir / "C" / "Scrubber");
  fs::create_directories(dir / "C" / "WINDOWS" / "TEMP");
  const size_t bytes = static_cast<size_t>(state.range(0)) << 20;
  {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) {
      text += "; module " + std::to_string(i) + "\r\n";
      text += "@\\Vantrel\\Device\\bin\\module" + std::to_string(i) + ".dll\r\n";
      text +=
          "   C:\\Program Files\\Vantrel\\Device\\data\\file" + std::to_string(i) + ".dat  \r\n";
    }
    std::ofstream(dir / "C" / "Scrubber" / "list.dat", std::ios::binary) << text;
  }
  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
  m.files.drives_root = dir.string();
  m.files.current_dir = "C:\\Scrubber";
  size_t entries = 0;
  for (auto _ : state) {
    ResetRunLogState();
    CListFromFile::ResetFirstRead();
    CListFromFile reader;
    reader.SetVTInstallDir("C:\\Program Files");
    CStringArray list;
    reader.ListFromFile("C:\\Scrubber\\list.dat", list);
    entries = list.size();
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_DatList)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
