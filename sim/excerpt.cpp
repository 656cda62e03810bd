#include "sim/excerpt.h"

#include "sim/transcript.h"

namespace sim {

std::string Excerpt(const std::string& line, size_t limit) {
  if (line.size() <= limit) return EscapeText(line);
  return EscapeText(line.substr(0, limit)) + " ... (" + std::to_string(line.size()) + " bytes)";
}

}  // namespace sim
