#include "sim/transcript.h"

#include <cstdio>
#include <iostream>
#include <ostream>

namespace sim {

std::string EscapeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  // Runs of printable bytes are copied whole: most lines have no escape.
  size_t plain = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c <= 0x7E && c != '\\') continue;
    out.append(text, plain, i - plain);
    plain = i + 1;
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  out.append(text, plain, std::string::npos);
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
