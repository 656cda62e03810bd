// An ordered, growable list of 8-bit texts.
#pragma once

#include <string>
#include <vector>

using CStringArray = std::vector<std::string>;
