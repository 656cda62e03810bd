// Throughput and memory of registry.reg reading and writing on a ~98 MB
// export (400k keys, 1.2M values), the size of a technician's full export of
// a well-used PC. Counters: MB/s, and the peak resident size one load or
// save adds to the process (the registry and any text it makes), in MB and
// as a multiple of the file size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

constexpr int kVendors = 40;
constexpr int kProducts = 100;
constexpr int kComponents = 100;  // 40 * 100 * 100 = 400k component keys

// One value of a /proc/self/status line such as "VmHWM:  1234 kB", in MB.
double StatusMb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') {
      return std::stod(line.substr(n + 1)) / 1024.0;
    }
  }
  return 0;
}

// Starts a new peak: the kernel resets VmHWM to the current size. Memory
// freed by an earlier run is given back first, so it does not count.
void ResetPeak() {
  malloc_trim(0);
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
}

void AppendHex(std::string& out, const std::string& data, size_t prefix) {
  static const char kHex[] = "0123456789abcdef";
  size_t lineLen = prefix;
  for (size_t i = 0; i < data.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(data[i]);
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
    if (i + 1 == data.size()) break;
    out += ',';
    lineLen += 3;
    if (lineLen >= 77) {
      out += "\\\r\n  ";
      lineLen = 2;
    }
  }
  out += "\r\n";
}

// The export written straight as text, so no registry is built (and counted)
// to make it: components with a path, a version number and a binary blob.
const std::string& Export() {
  static const std::string text = [] {
    std::string out = "REGEDIT4\r\n\r\n";
    out.reserve(100u << 20);
    char line[256];
    for (int v = 0; v < kVendors; ++v) {
      for (int p = 0; p < kProducts; ++p) {
        std::snprintf(
            line, sizeof line,
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor %04d\\Product %03d\\Components]\r\n\r\n", v, p);
        out += line;
        for (int c = 0; c < kComponents; ++c) {
          const int id = (v * kProducts + p) * kComponents + c;
          std::snprintf(line, sizeof line,
                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor %04d\\Product %03d\\Components\\"
                        "{%08X-1234-5678-9ABC}]\r\n",
                        v, p, id);
          out += line;
          std::snprintf(line, sizeof line,
                        "\"InstallPath\"=\"C:\\\\Program Files\\\\Common Files\\\\Vendor "
                        "%d\\\\Product %d\\\\bin\\\\"
                        "module%d.dll\"\r\n\"Version\"=dword:%08x\r\n\"Data\"=hex:",
                        v, p, c, id);
          out += line;
          AppendHex(out, std::string(11, static_cast<char>(id)), 11);
          out += "\r\n";
        }
      }
    }
    return out;
  }();
  return text;
}

// The same export as regedit's version 5 writes it: UTF-16LE with a BOM.
const std::string& UnicodeExport() {
  static const std::string bytes = [] {
    const std::string& text = Export();
    const std::string header = "Windows Registry Editor Version 5.00";
    const size_t skip = std::strlen("REGEDIT4");
    std::string out = "\xFF\xFE";
    out.reserve(2 + 2 * (header.size() + text.size()));
    for (char c : header) out.append({c, '\0'});
    for (size_t i = skip; i < text.size(); ++i) out.append({text[i], '\0'});
    return out;
  }();
  return bytes;
}

// Peak resident size that `setup` and then one run of `body` add, measured
// in a child process so the timed runs' heap does not count.
template <class Setup, class Body>
double AddedMb(Setup setup, Body body) {
  int fd[2];
  if (pipe(fd) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    ResetPeak();
    const double base = StatusMb("VmRSS");
    auto kept = setup();
    ResetPeak();  // what setup held counts, its passing peak does not
    body(kept);
    const double added = StatusMb("VmHWM") - base;
    ssize_t n = write(fd[1], &added, sizeof added);
    _exit(n == sizeof added ? 0 : 1);
  }
  double added = -1;
  if (pid > 0) {
    if (read(fd[0], &added, sizeof added) != sizeof added) added = -1;
    waitpid(pid, nullptr, 0);
  }
  close(fd[0]);
  close(fd[1]);
  return added;
}

void Report(benchmark::State& state, size_t bytes, double addedMb) {
  const double fileMb = static_cast<double>(bytes) / (1 << 20);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["file_MB"] = fileMb;
  state.counters["added_peak_MB"] = addedMb;
  state.counters["added_x_file"] = addedMb / fileMb;
}

void Read(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    sim::Registry reg;
    std::string error;
    bool ok = sim::ReadRegFile(bytes, reg, &error);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError(error.c_str());
  }
  Report(state, bytes.size(),
         AddedMb([] { return 0; },
                 [&bytes](int) {
                   sim::Registry reg;
                   std::string error;
                   sim::ReadRegFile(bytes, reg, &error);
                 }));
}

// The save alone: its peak holds the loaded registry and the text written.
void Write(benchmark::State& state, const std::string& bytes) {
  sim::Registry reg;
  std::string error;
  sim::ReadRegFile(bytes, reg, &error);
  size_t size = 0;
  for (auto _ : state) {
    std::string out = sim::WriteRegFile(reg);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  Report(state, size,
         AddedMb(
             [&bytes] {
               auto loaded = std::make_unique<sim::Registry>();
               std::string e;
               sim::ReadRegFile(bytes, *loaded, &e);
               return loaded;
             },
             [](const std::unique_ptr<sim::Registry>& loaded) {
               std::string out = sim::WriteRegFile(*loaded);
               benchmark::DoNotOptimize(out.data());
             }));
}

void BM_ReadRegFile(benchmark::State& state) { Read(state, Export()); }
BENCHMARK(BM_ReadRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadUnicodeRegFile(benchmark::State& state) { Read(state, UnicodeExport()); }
BENCHMARK(BM_ReadUnicodeRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteRegFile(benchmark::State& state) { Write(state, Export()); }
BENCHMARK(BM_WriteRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteUnicodeRegFile(benchmark::State& state) { Write(state, UnicodeExport()); }
BENCHMARK(BM_WriteUnicodeRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// vtsim's start: a machine image whose registry.reg is the export (the
// loader also keeps the written form to see at the end whether it changed).
void BM_LoadImage(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("reg_file_bench_" + std::to_string(getpid()));
  fs::create_directories(dir / "drives" / "C");
  std::ofstream(dir / "machine.json") << "{ \"windows\": \"xp\" }\n";
  const std::string& text = Export();
  std::ofstream(dir / "registry.reg", std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  for (auto _ : state) {
    sim::Machine m;
    std::string error;
    bool ok = sim::LoadImage(dir.string(), m, &error);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError(error.c_str());
  }
  Report(state, text.size(),
         AddedMb([] { return 0; },
                 [&dir](int) {
                   sim::Machine m;
                   std::string error;
                   sim::LoadImage(dir.string(), m, &error);
                 }));
  fs::remove_all(dir);
}
BENCHMARK(BM_LoadImage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
