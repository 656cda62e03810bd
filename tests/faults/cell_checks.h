// What every run must hold, faults or not: no crash, no fault of the
// simulation, nothing outside the image touched, and only named removals.
#pragma once

#include <string>
#include <vector>

#include "faults/cell_run.h"

// Problems of one finished run; empty when sound.
std::vector<std::string> CellProblems(const CellResult& r);
