// The error codes a faultable call is failed with: those its removal step
// names, and 5, 32 and 112 for every call.
#pragma once

#include <string>
#include <vector>

std::vector<unsigned> CodesFor(const std::string& call);
