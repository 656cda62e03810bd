// The registry list eraser over a big registry and a big list holding every
// kind of entry (keys, values, counters, variable keys, Plug-and-Play tags):
// its time should grow with the sizes, not faster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/run_state.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "sim/machine.h"

namespace {

namespace fs = std::filesystem;

const char kShared[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kUsb[] = "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_04f1&Pid_5100";

// One list entry of each kind per group of five.
void FillRegistryAndList(sim::Registry& reg, CStringArray& list, size_t keys, size_t entries) {
  size_t made = 0;
  for (size_t i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    const std::string group = "HKLM\\SOFTWARE\\Bench\\G" + std::to_string(i / 64) + "\\K" + n;
    switch (i % 5) {
      case 0:  // a whole key with two subkeys
        reg.SetString(group + "\\S0", "A", "x");
        reg.SetString(group + "\\S1", "A", "x");
        made += 3;
        list.push_back(group);
        break;
      case 1:  // one value
        reg.SetString(group, "V", "x");
        reg.SetString(group, "W", "y");
        made += 1;
        list.push_back(group + "\\");
        list.push_back("V");
        break;
      case 2:  // a shared counter: half reach zero, half stay
        reg.SetDword(kShared, "C:\\Bench\\f" + n + ".dll", (i / 5) % 2 == 0 ? 1 : 3);
        list.push_back(std::string("-") + kShared + "\\");
        list.push_back("C:\\Bench\\f" + n + ".dll");
        break;
      case 3:  // a variable key among eight siblings
        for (int k = 0; k < 8; ++k) {
          reg.SetString(group + "\\V" + std::to_string(k), "Id", "v" + n + "_" + std::to_string(k));
        }
        made += 9;
        list.push_back("*" + group);
        list.push_back("Id= v" + n + "_5");
        break;
      default:  // a Plug-and-Play tag: a device instance key, or a value name
        if ((i / 5) % 2 == 0) {
          reg.SetString(std::string(kUsb) + "\\Inst" + n, "Driver", "x");
          made += 1;
          list.push_back("HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USB\\$pnp$\\inst" + n);
        } else {
          reg.SetString("HKCU\\Software\\Vantrel", "vid_04f1&pid_5100_" + n, "1");
          list.push_back("HKCU\\Software\\Vantrel\\");
          list.push_back("$pnp$_" + n);
        }
        break;
    }
  }
  // Keys the list does not name, up to the registry's size.
  for (size_t i = 0; made < keys; ++i, ++made) {
    reg.Create("HKLM\\SOFTWARE\\Filler\\F" + std::to_string(i / 100) + "\\X" + std::to_string(i));
  }
}

void BM_EraseRegList(benchmark::State& state) {
  const fs::path dir =
      fs::temp_directory_path() / ("cvs_bench_erase_" + std::to_string(::getpid()));
  fs::create_directories(dir / "C" / "WINDOWS" / "TEMP");
  const size_t keys = static_cast<size_t>(state.range(0)) * 1000;
  const size_t entries = static_cast<size_t>(state.range(1)) * 1000;
  size_t removed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<sim::Machine>();
    {
      sim::ScopedMachine scope(*m);
      m->SetCodePage(1252);
      m->system.SetDirectory("temp", "C:\\WINDOWS\\TEMP\\");
      m->files.drives_root = dir.string();
      m->files.drives['C'] = sim::DriveInfo{};
      CStringArray list;
      FillRegistryAndList(m->registry, list, keys, entries);
      std::error_code ec;
      fs::remove(dir / "C" / "WINDOWS" / "TEMP" / "VtCvScrubber.log", ec);
      ResetAllRunState();
      g_RemovalData.PnP = {"VID_04F1&PID_5100"};
      char logDir[260];
      GetRunLogDir(logDir);
      state.ResumeTiming();

      CRemoveSoftware remover;
      benchmark::DoNotOptimize(remover.EraseRegList(list, 3));

      state.PauseTiming();
      removed = m->registry.Find(std::string(kUsb) + "\\Inst0") ? 0 : 1;
    }
    m.reset();
    state.ResumeTiming();
  }
  state.counters["usb_key_removed"] = static_cast<double>(removed);
  std::error_code ec;
  fs::remove_all(dir, ec);
}
BENCHMARK(BM_EraseRegList)
    ->Args({200, 20})
    ->Args({400, 40})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
