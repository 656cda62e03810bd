#include "excerpt.h"

namespace windriver {

std::string Excerpt(const std::string& line) {
  return line.size() <= 200 ? line : line.substr(0, 200) + "...";
}

}  // namespace windriver
