// Seeded random PCs for the randomised run: a scenario PC changed so that
// only part of the device software is present, with foreign keys, values and
// files beside the named ones (names that share a prefix or a folder with
// them, which must survive), locked and read-only files, and shared counters
// at random values.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "sim/faults.h"

// Changes the image in `dir` (a copy) into the random PC of `seed` for the
// device `device`.
void MakeRandomPc(const std::string& dir, const std::string& device, uint32_t seed);

// A faultable call and a code to fail it with, as the matrix uses them.
struct FaultChoice {
  std::string call;
  unsigned code;
  std::string path, key, name;  // the subjects of one call seen ("" = any)
};

// Up to `most` faults picked from `choices` by `rng`.
std::vector<sim::Fault> RandomFaults(const std::vector<FaultChoice>& choices, std::mt19937& rng,
                                     int most);
