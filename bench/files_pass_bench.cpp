// The files pass over a big list, half of it locked (put off to the erase
// batch), against a bare loop that deletes the same files and appends one
// log line per file: the pass should cost a small factor over the bare work.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace {

namespace fs = std::filesystem;

const char kRunOnce[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// A simulated XP PC over a fresh drives/ folder holding `count` files in
// folders of 500, every second one in use.
class BenchPc {
 public:
  BenchPc(const fs::path& dir, size_t count) : dir_(dir) {
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "C" / "WINDOWS" / "TEMP");
    m_ = std::make_unique<sim::Machine>();
    scope_ = std::make_unique<sim::ScopedMachine>(*m_);
    m_->SetCodePage(1252);
    m_->system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
    m_->files.drives_root = dir_.string();
    m_->files.drives['C'] = sim::DriveInfo{};
    m_->registry.Create(kRunOnce);
    for (size_t i = 0; i < count; ++i) {
      const std::string folder = "D" + std::to_string(i / 500);
      const std::string name = "f" + std::to_string(i) + ".dll";
      fs::create_directories(dir_ / "C" / "Bench" / folder);
      std::ofstream(dir_ / "C" / "Bench" / folder / name) << "x";
      list.push_back("C:\\Bench\\" + folder + "\\" + name);
      if (i % 2 == 1) m_->files.SetInUse(m_->files.Lookup(list.back()).full, true);
    }
    ResetAllRunState();
    char logDir[260];
    GetRunLogDir(logDir);
  }
  ~BenchPc() {
    scope_.reset();
    m_.reset();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  CStringArray list;

 private:
  fs::path dir_;
  std::unique_ptr<sim::Machine> m_;
  std::unique_ptr<sim::ScopedMachine> scope_;
};

fs::path BenchDir() {
  return fs::temp_directory_path() / ("cvs_bench_files_" + std::to_string(::getpid()));
}

void BM_DeleteFilesPass(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    {
      BenchPc pc(BenchDir(), count);
      state.ResumeTiming();
      CRemoveSoftware remover;
      benchmark::DoNotOptimize(remover.DeleteFiles(pc.list, 5));
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

// The least any pass must do: one delete and one appended log line a file.
void BM_BareDeleteAndLogLoop(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    {
      BenchPc pc(BenchDir(), count);
      state.ResumeTiming();
      for (const std::string& path : pc.list) {
        const BOOL deleted = DeleteFileA(path.c_str());
        const std::string line = (deleted ? "==> Deleted file " : "++> Later ") + path + " \r\n";
        HANDLE log = CreateFileA("C:\\WINDOWS\\TEMP\\VtCvScrubber.log", GENERIC_WRITE, 0, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        SetFilePointer(log, 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(log);
      }
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

// Sizes doubling from 10,000: time per item (items_per_second) should hold
// steady along a row, and the pass stay within a small factor of the loop.
void FileCounts(benchmark::internal::Benchmark* b) {
  for (int64_t count : {2000, 10000, 20000, 40000}) b->Arg(count);
  b->Unit(benchmark::kMillisecond)->Iterations(2);
}

BENCHMARK(BM_DeleteFilesPass)->Apply(FileCounts);
BENCHMARK(BM_BareDeleteAndLogLoop)->Apply(FileCounts);

}  // namespace
