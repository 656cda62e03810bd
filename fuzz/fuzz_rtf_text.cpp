// Bytes as an RTF stream for the terminal's rich-text control: the reader
// must end on anything, never grow the text beyond its input (every
// character it shows stands for at least one byte), and leave plain text
// without control characters as it is, line ends of the file dropped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/vtsim/text_ui/rtf_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string rtf(reinterpret_cast<const char*>(data), size);
  const std::string text = textui::RtfToText(rtf);
  if (text.size() > rtf.size()) std::abort();
  if (rtf.find_first_of("\\{}") == std::string::npos) {
    std::string plain;
    for (char c : rtf) {
      if (c != '\r' && c != '\n' && c != '\0') plain += c;
    }
    if (text != plain) std::abort();
  }
  // The transcript's lines: none holds a line end.
  for (const std::string& line : textui::TextLines(text)) {
    if (line.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
