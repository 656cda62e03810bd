#include "sim/transcript.h"

#include <cstdio>
#include <iostream>
#include <ostream>

namespace sim {

std::string EscapeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c > 0x7E) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += ch;
    }
  }
  return out;
}

void Transcript::Write(const std::string& line) {
  lines_.push_back(line);
  if (out_ != nullptr) {
    *out_ << line << '\n';
    // A person at the terminal sees each line as it happens; a transcript
    // file is whole only once vtsim closes and renames it, so a flush per
    // line (hundreds of thousands in a long INF search) would buy nothing.
    if (out_ == &std::cout) out_->flush();
  }
}

}  // namespace sim
