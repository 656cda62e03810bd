// A script line as the driver's error messages quote it.
#pragma once

#include <string>

namespace windriver {

// At most 200 bytes of a line.
std::string Excerpt(const std::string& line);

}  // namespace windriver
