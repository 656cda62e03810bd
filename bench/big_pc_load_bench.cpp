// The load of a given image, as vtsim starts: bench/run points it at the
// synthetic PC's registry.reg (CVS_BENCH_REG) and at an image holding only
// that registry (CVS_BENCH_IMAGE), to set beside Wine's import of the same
// file. Without them the benchmarks say so and measure nothing.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

// Frees the last iteration's registry untimed, and gives its memory back
// whole: vtsim loads once into a fresh heap, and the allocator's tidying of
// 200,000 freed keys at the next big allocation is no part of a load.
template <class T>
void FreeUntimed(benchmark::State& state, std::unique_ptr<T>& p) {
  state.PauseTiming();
  p.reset();
  malloc_trim(0);
  state.ResumeTiming();
}

// The file read from disk and parsed; the registry is freed untimed.
void BM_ReadGivenRegistry(benchmark::State& state) {
  const char* path = std::getenv("CVS_BENCH_REG");
  if (path == nullptr) return state.SkipWithError("CVS_BENCH_REG names no registry.reg");
  size_t size = 0;
  for (auto _ : state) {
    auto reg = std::make_unique<sim::Registry>();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size = bytes.size();
    std::string error;
    if (!sim::ReadRegFile(bytes, *reg, &error)) return state.SkipWithError(error.c_str());
    FreeUntimed(state, reg);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadGivenRegistry)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

// The whole image load of vtsim (machine.json, the registry and the form it
// keeps to tell at the end whether it changed, drives/).
void BM_LoadGivenImage(benchmark::State& state) {
  const char* image = std::getenv("CVS_BENCH_IMAGE");
  if (image == nullptr) return state.SkipWithError("CVS_BENCH_IMAGE names no image");
  for (auto _ : state) {
    auto m = std::make_unique<sim::Machine>();
    std::string error;
    if (!sim::LoadImage(image, *m, &error)) return state.SkipWithError(error.c_str());
    FreeUntimed(state, m);
  }
}
BENCHMARK(BM_LoadGivenImage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace
