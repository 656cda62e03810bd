#include "dat_lines.h"

namespace vtlint {

namespace {

constexpr size_t kPiece = 258;  // the reader's buffer holds 258 characters and the zero
constexpr char kCtrlZ = 0x1A;

// The text-mode lines: CR LF becomes the line end, a lone CR stays.
std::vector<std::string> TextLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == kCtrlZ) break;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      continue;
    }
    line += c;
    open = true;
  }
  if (open) lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<DatLine> ReadDatLines(const std::string& bytes) {
  std::vector<DatLine> out;
  const std::vector<std::string> lines = TextLines(bytes);
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& text = lines[n];
    size_t at = 0;
    do {
      DatLine d;
      d.line = static_cast<int>(n + 1);
      d.text = text.substr(at, kPiece);
      d.piece = at > 0;
      d.full_size = text.size();
      out.push_back(d);
      at += kPiece;
    } while (at < text.size());
  }
  return out;
}

std::string FirstTextLine(const std::string& bytes) {
  const std::vector<std::string> lines = TextLines(bytes);
  return lines.empty() ? std::string() : lines[0];
}

}  // namespace vtlint
