// Reading a big control file through the profile API as the program does:
// the list of sections, then a key of the last section. Each iteration reads
// a file whose bytes differ from the last one read, so the file is read and
// parsed every time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/machine.h"

namespace {

namespace fs = std::filesystem;

// The process's peak resident memory so far ("VmHWM"), in MB.
double PeakRssMb() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, 6, "VmHWM:") == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

// A simulated PC over a temporary drives/ folder holding two control files
// that differ in their first line only.
class Pc {
 public:
  Pc() : dir_(fs::temp_directory_path() / ("cvs_bench_profile_" + std::to_string(::getpid()))) {
    fs::create_directories(dir_ / "C" / "Scrubber");
    m.files.drives_root = dir_.string();
    m.files.current_dir = "C:\\Scrubber";
  }
  ~Pc() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void Write(const std::string& body) {
    for (const char* name : {"a.ini", "b.ini"}) {
      std::ofstream out(dir_ / "C" / "Scrubber" / name, std::ios::binary | std::ios::trunc);
      out << "; " << name << "\r\n" << body;
    }
  }
  sim::Machine m;

 private:
  fs::path dir_;
};

// About `bytes` of control file: device sections with their keys, comment
// blocks and file lists (lines without "="), as the shipped files have.
std::string ControlFile(size_t bytes) {
  std::string text = "; Version 2.03\r\n";
  char line[160];
  for (int section = 0; text.size() < bytes; ++section) {
    std::snprintf(line, sizeof line, "[Dev %05d -- XP Files]\r\n", section);
    text += line;
    std::snprintf(line, sizeof line, "FilesPath=dev%05d.dat\r\nRegPath=dev%05d_reg.dat\r\n",
                  section, section);
    text += line;
    for (int i = 0; i < 40; ++i) {
      std::snprintf(line, sizeof line,
                    "; C:\\Program Files\\Vantrel\\Device %05d\\module%02d.dll\r\n", section, i);
      text += line;
    }
    text += "Count=40\r\n\r\n";
  }
  text += "[Last]\r\nKey=found\r\n";
  return text;
}

// The worst case of a line-by-line reader: lines without "=" and one key at
// the very end.
std::string LinesWithoutEquals(size_t bytes) {
  std::string text = "[S]\r\n";
  while (text.size() < bytes) text += "C:\\Program Files\\Vantrel\\bin\\a module.dll\r\n";
  text += "[Last]\r\nKey=found\r\n";
  return text;
}

void ReadAsTheProgramDoes(benchmark::State& state, const std::string& body) {
  Pc pc;
  pc.Write(body);
  sim::ScopedMachine scope(pc.m);
  static char sections[1 << 16];
  char value[64];
  bool flip = false;
  for (auto _ : state) {
    const char* file = (flip = !flip) ? "C:\\Scrubber\\a.ini" : "C:\\Scrubber\\b.ini";
    GetPrivateProfileStringA(nullptr, nullptr, "", sections, sizeof sections, file);
    GetPrivateProfileStringA("Last", "Key", "NotFound", value, sizeof value, file);
    if (std::string(value) != "found") state.SkipWithError("key of the last section not found");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
  state.counters["file_MB"] = static_cast<double>(body.size()) / (1 << 20);
  state.counters["peak_RSS_MB"] = PeakRssMb();  // the whole process: both files' texts included
}

void BM_ProfileControlFile(benchmark::State& state) {
  ReadAsTheProgramDoes(state, ControlFile(static_cast<size_t>(state.range(0)) << 20));
}
BENCHMARK(BM_ProfileControlFile)->Arg(50)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ProfileLinesWithoutEquals(benchmark::State& state) {
  ReadAsTheProgramDoes(state, LinesWithoutEquals(static_cast<size_t>(state.range(0)) << 20));
}
BENCHMARK(BM_ProfileLinesWithoutEquals)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace
