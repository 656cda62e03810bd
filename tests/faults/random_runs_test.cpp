// The randomised run: seeded random PCs (tests/faults/random_pc.h) with
// random faults from the matrix's calls and codes, each run checked by the
// oracle. A failing seed is named with the line that re-runs it alone:
//   CVS_RANDOM_SEED=N CVS_RANDOM_RUNS=1 test_faults --gtest_filter=RandomPcs.*
// CVS_RANDOM_RUNS sets the number of runs (default below).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "faults/cell_checks.h"
#include "faults/cell_run.h"
#include "faults/fault_codes.h"
#include "faults/random_pc.h"
#include "faults/scenario_pcs.h"
#include "support/test_machine.h"

namespace {

constexpr int kDefaultRuns = 1000;
constexpr size_t kBatch = 100;  // runs whose folders exist at one time

int EnvInt(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text ? std::atoi(text) : fallback;
}

TEST(RandomPcs, EveryRunRemovesOnlyWhatTheControlDataNames) {
  TestMachine tm;
  // CVS_FAULT_KEEP=DIR keeps the runs' folders there, to look at a failing one.
  const char* keep = std::getenv("CVS_FAULT_KEEP");
  const std::string root = (keep ? std::string(keep) : tm.ImageDir()) + "/random";
  const std::vector<ScenarioPc> pcs = LoadScenarioPcs();
  const int jobs = std::max(1, EnvInt("CVS_FAULT_JOBS", 2));
  const int runs = EnvInt("CVS_RANDOM_RUNS", kDefaultRuns);
  const uint32_t firstSeed = static_cast<uint32_t>(EnvInt("CVS_RANDOM_SEED", 1));

  // The calls each PC makes, with their subjects, to aim faults at.
  std::vector<CellSpec> probes;
  for (const ScenarioPc& pc : pcs) probes.push_back({pc.image, pc.script, {}, pc.device, nullptr});
  const std::vector<CellResult> bases = RunCells(probes, root + "/base", jobs);
  std::vector<std::vector<FaultChoice>> choices(pcs.size());
  for (size_t i = 0; i < pcs.size(); ++i)
    for (const auto& [call, seen] : bases[i].calls)
      for (unsigned code : CodesFor(call)) {
        choices[i].push_back({call, code, seen.first_path, seen.first_key, seen.first_name});
        choices[i].push_back({call, code, seen.last_path, seen.last_key, seen.last_name});
      }

  int failed = 0;
  for (int start = 0; start < runs && failed < 10; start += static_cast<int>(kBatch)) {
    std::vector<CellSpec> cells;
    std::vector<uint32_t> seeds;
    for (int i = start; i < std::min(runs, start + static_cast<int>(kBatch)); ++i) {
      const uint32_t seed = firstSeed + static_cast<uint32_t>(i);
      const size_t pc = seed % pcs.size();
      std::mt19937 rng(seed * 7919u + 17u);
      const std::string device = pcs[pc].device;
      cells.push_back(
          {pcs[pc].image, pcs[pc].script, RandomFaults(choices[pc], rng, 2), device,
           [device, seed](const std::string& dir) { MakeRandomPc(dir, device, seed); }});
      seeds.push_back(seed);
    }
    const std::vector<CellResult> results = RunCells(cells, root + "/runs", jobs);
    for (size_t i = 0; i < results.size(); ++i) {
      const size_t pc = seeds[i] % pcs.size();
      const std::vector<std::string> problems = CellProblems(results[i]);
      std::string faults;
      for (const sim::Fault& f : cells[i].faults)
        faults += "\n  fault: " + f.call + " error " + std::to_string(f.error) + " times " +
                  std::to_string(f.times) + " [" + f.path + "|" + f.key + "|" + f.name + "]";
      for (const std::string& p : problems)
        ADD_FAILURE() << "seed " << seeds[i] << " (" << pcs[pc].name << "): " << p
                      << "\n  re-run: CVS_RANDOM_SEED=" << seeds[i]
                      << " CVS_RANDOM_RUNS=1 test_faults --gtest_filter=RandomPcs.*" << faults;
      if (!problems.empty()) ++failed;
    }
    if (!std::getenv("CVS_FAULT_KEEP")) std::filesystem::remove_all(root + "/runs");
  }
}

}  // namespace
