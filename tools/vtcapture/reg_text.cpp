#include "tools/vtcapture/reg_text.h"

namespace vtcapture {
namespace {

const char kHex[] = "0123456789abcdef";
constexpr size_t kHexLineLimit = 77;  // regedit's wrap column for hex data

void AppendEscaped(std::string& out, const std::string& s) {
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
}

// A string regedit writes as "text": one terminating zero, none inside, no
// line break that would split the line. Anything else keeps its bytes as hex.
bool PlainString(const std::string& data) {
  if (data.empty() || data.back() != '\0') return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    const char c = data[i];
    if (c == '\0' || c == '\r' || c == '\n') return false;
  }
  return true;
}

}  // namespace

std::string RegFileHeader() { return "REGEDIT4\r\n\r\n"; }

std::string RegKeyLines(const std::string& path) { return "[" + path + "]\r\n"; }

std::string RegKeyEnd() { return "\r\n"; }

std::string RegValueLines(const std::string& name, uint32_t type, const std::string& data) {
  std::string out;
  if (name.empty()) {
    out = "@=";
  } else {
    out = "\"";
    AppendEscaped(out, name);
    out += "\"=";
  }
  if (type == kRegSz && PlainString(data)) {
    out += '"';
    AppendEscaped(out, data.substr(0, data.size() - 1));
    out += "\"\r\n";
    return out;
  }
  const unsigned char* d = reinterpret_cast<const unsigned char*>(data.data());
  if (type == kRegDword && data.size() == 4) {
    const uint32_t x = static_cast<uint32_t>(d[0]) | static_cast<uint32_t>(d[1]) << 8 |
                       static_cast<uint32_t>(d[2]) << 16 | static_cast<uint32_t>(d[3]) << 24;
    out += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(x >> shift) & 0xF];
    out += "\r\n";
    return out;
  }
  if (type == kRegBinary) {
    out += "hex:";
  } else {
    out += "hex(";
    bool started = false;
    for (int shift = 28; shift >= 0; shift -= 4) {
      const unsigned digit = (type >> shift) & 0xF;
      if (digit || started || shift == 0) {
        out += kHex[digit];
        started = true;
      }
    }
    out += "):";
  }
  size_t lineLen = out.size();
  for (size_t i = 0; i < data.size(); ++i) {
    out += kHex[d[i] >> 4];
    out += kHex[d[i] & 0xF];
    if (i + 1 == data.size()) break;
    out += ',';
    lineLen += 3;
    if (lineLen >= kHexLineLimit) {
      out += "\\\r\n  ";
      lineLen = 2;
    }
  }
  out += "\r\n";
  return out;
}

}  // namespace vtcapture
