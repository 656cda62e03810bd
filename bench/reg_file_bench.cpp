// Throughput and memory of registry.reg reading and writing on a ~98 MB
// export (400k keys, 1.2M values), the size of a technician's full export of
// a well-used PC. Counters: MB/s, and the peak resident size one load or
// save adds to the process (the registry and any text it makes), in MB and
// as a multiple of the file size.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The memory counters come from a fresh run of this program (a heap no
// earlier run fragmented, as one start of vtsim has): it finds
// REG_FILE_BENCH_MEASURE=<read|write|image>:<path> in its environment, does
// that one job before main, prints the peak it added in MB and exits.
double Measure(const std::string& job, const std::string& path) {
  const std::string command = "REG_FILE_BENCH_MEASURE='" + job + ":" + path + "' /proc/" +
                              std::to_string(getpid()) + "/exe";
  FILE* child = popen(command.c_str(), "r");
  if (!child) return -1;
  double added = -1;
  if (std::fscanf(child, "%lf", &added) != 1) added = -1;
  pclose(child);
  return added;
}

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The job of a measuring run; the file text it reads does not count.
struct MeasuringRun {
  MeasuringRun() {
    const char* spec = std::getenv("REG_FILE_BENCH_MEASURE");
    if (!spec) return;
    const std::string job(spec, std::strchr(spec, ':') - spec);
    const std::string path = std::strchr(spec, ':') + 1;
    const std::string bytes = job == "image" ? std::string() : ReadHost(path);
    ResetPeak();
    const double base = StatusMb("VmRSS");
    std::string error;
    if (job == "image") {
      sim::Machine m;
      sim::LoadImage(path, m, &error);
      std::printf("%f\n", StatusMb("VmHWM") - base);
    } else {
      sim::Registry reg;
      sim::ReadRegFile(bytes, reg, &error);
      if (job == "write") {
        ResetPeak();  // the loaded registry counts, not the load's passing peak
        std::string out = sim::WriteRegFile(reg);
        benchmark::DoNotOptimize(out.data());
      }
      std::printf("%f\n", StatusMb("VmHWM") - base);
    }
    std::fflush(stdout);
    std::_Exit(0);
  }
};
const MeasuringRun g_measuring_run;

// A file of the bench's own for the measuring runs; removed at exit.
class TempFolder {
 public:
  TempFolder()
      : dir_(std::filesystem::temp_directory_path() /
             ("reg_file_bench_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_ / "drives" / "C");
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return (dir_ / name).string();
  }
  std::string Path() const { return dir_.string(); }

 private:
  std::filesystem::path dir_;
};

const TempFolder& Folder() {
  static const TempFolder folder;
  return folder;
}

void Report(benchmark::State& state, size_t bytes, double addedMb) {
  const double fileMb = static_cast<double>(bytes) / (1 << 20);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["file_MB"] = fileMb;
  state.counters["added_peak_MB"] = addedMb;
  state.counters["added_x_file"] = addedMb / fileMb;
}

void Read(benchmark::State& state, const std::string& bytes, const char* name) {
  for (auto _ : state) {
    sim::Registry reg;
    std::string error;
    bool ok = sim::ReadRegFile(bytes, reg, &error);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError(error.c_str());
  }
  Report(state, bytes.size(), Measure("read", Folder().Write(name, bytes)));
}

// The save: its peak holds the loaded registry and the text written.
void Write(benchmark::State& state, const std::string& bytes, const char* name) {
  sim::Registry reg;
  std::string error;
  sim::ReadRegFile(bytes, reg, &error);
  size_t size = 0;
  for (auto _ : state) {
    std::string out = sim::WriteRegFile(reg);
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  Report(state, size, Measure("write", Folder().Write(name, bytes)));
}

void BM_ReadRegFile(benchmark::State& state) { Read(state, Export(), "export.reg"); }
BENCHMARK(BM_ReadRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadUnicodeRegFile(benchmark::State& state) { Read(state, UnicodeExport(), "unicode.reg"); }
BENCHMARK(BM_ReadUnicodeRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteRegFile(benchmark::State& state) { Write(state, Export(), "export.reg"); }
BENCHMARK(BM_WriteRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteUnicodeRegFile(benchmark::State& state) {
  Write(state, UnicodeExport(), "unicode.reg");
}
BENCHMARK(BM_WriteUnicodeRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// vtsim's start: a machine image whose registry.reg is the export (the
// loader also keeps the written form to see at the end whether it changed).
void BM_LoadImage(benchmark::State& state) {
  const std::string& text = Export();
  Folder().Write("machine.json",
                 R"({ "windows": "xp", "directories": { "current": "C:\\", "temp": null,
                      "windows": "C:\\WINDOWS", "system": "C:\\WINDOWS\\system32" } })");
  Folder().Write("registry.reg", text);
  for (auto _ : state) {
    sim::Machine m;
    std::string error;
    bool ok = sim::LoadImage(Folder().Path(), m, &error);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError(error.c_str());
  }
  Report(state, text.size(), Measure("image", Folder().Path()));
}
BENCHMARK(BM_LoadImage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
