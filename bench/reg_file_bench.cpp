// Throughput of registry.reg reading and writing on a ~100 MB export, the
// size of a technician's full export of a well-used PC.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

// A registry whose export is about `targetBytes` long: vendors, products
// and components with strings, numbers, paths and binary blobs.
void Fill(sim::Registry& reg, size_t targetBytes) {
  size_t written = 0;
  char path[160];
  for (int vendor = 0; written < targetBytes; ++vendor) {
    for (int product = 0; product < 50 && written < targetBytes; ++product) {
      for (int part = 0; part < 20 && written < targetBytes; ++part) {
        std::snprintf(path, sizeof path,
                      "HKLM\\SOFTWARE\\Vendor %04d\\Product %03d\\Components\\{%08X-1234-5678}",
                      vendor, product, vendor * 100000 + product * 100 + part);
        reg.SetString(path, "", "Component of the product");
        reg.SetString(path, "InstallPath",
                      std::string("C:\\Program Files\\Vendor\\Product \"") +
                          std::to_string(product) + "\"\\bin\\module.dll");
        reg.SetDword(path, "Version", static_cast<DWORD>(vendor * 7 + part));
        reg.SetValue(path, "Blob", REG_BINARY, std::string(120, static_cast<char>(part)));
        reg.SetString(path, "Expand", "%SystemRoot%\\system32\\drivers\\x.sys", REG_EXPAND_SZ);
        reg.SetValue(path, "Multi", REG_MULTI_SZ, std::string("one\0two\0three\0\0", 15));
        written += 160 + 60 + 60 + 20 + 400 + 120 + 60;
      }
    }
  }
}

const std::string& Export() {
  static const std::string text = [] {
    sim::Registry reg;
    Fill(reg, 100u << 20);
    return sim::WriteRegFile(reg);
  }();
  return text;
}

void BM_ReadRegFile(benchmark::State& state) {
  const std::string& text = Export();
  for (auto _ : state) {
    sim::Registry reg;
    std::string error;
    bool ok = sim::ReadRegFile(text, reg, &error);
    benchmark::DoNotOptimize(ok);
    if (!ok) state.SkipWithError(error.c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_WriteRegFile(benchmark::State& state) {
  const std::string& text = Export();
  sim::Registry reg;
  std::string error;
  sim::ReadRegFile(text, reg, &error);
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = sim::WriteRegFile(reg);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteRegFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
