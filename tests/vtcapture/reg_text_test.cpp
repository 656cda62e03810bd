// The capture's registry.reg lines, read back by the simulated PC's own
// reader: every value must come back byte for byte, and a file of the
// capture must be what the simulated PC writes for the same registry.
#include "tools/vtcapture/reg_text.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

using vtcapture::RegFileHeader;
using vtcapture::RegKeyEnd;
using vtcapture::RegKeyLines;
using vtcapture::RegValueLines;

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel";

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += static_cast<char>(x);
  return s;
}

std::string FileWith(const std::string& valueLines) {
  return RegFileHeader() + RegKeyLines(kKey) + valueLines + RegKeyEnd();
}

// The value NAME read back from a file holding only LINES.
void ExpectReadBack(const std::string& name, uint32_t type, const std::string& data) {
  sim::Registry reg;
  std::string error;
  const std::string file = FileWith(RegValueLines(name, type, data));
  ASSERT_TRUE(sim::ReadRegFile(file, reg, &error)) << error << "\n" << file;
  const sim::RegValue* v = reg.GetValue("HKLM\\SOFTWARE\\Vantrel", name);
  ASSERT_NE(v, nullptr) << file;
  EXPECT_EQ(v->type, type) << file;
  EXPECT_EQ(std::string(v->data()), data) << file;
}

TEST(RegText, StringsKeepBackslashesQuotesAndEightBitBytes) {
  ExpectReadBack("Path", vtcapture::kRegSz, std::string("C:\\Program Files\\\"VT\"\\x", 24) + '\0');
  ExpectReadBack("Caf\xe9", vtcapture::kRegSz, std::string("na\xefve \xa9", 7) + '\0');
  ExpectReadBack("", vtcapture::kRegSz, std::string("default", 7) + '\0');
  ExpectReadBack("quote\"and\\slash", vtcapture::kRegSz, std::string("", 0) + '\0');
  // Each of these would not survive as "text": kept as their bytes.
  ExpectReadBack("NoZero", vtcapture::kRegSz, "abc");
  ExpectReadBack("Inner", vtcapture::kRegSz, Bytes({'a', 0, 'b', 0}));
  ExpectReadBack("Break", vtcapture::kRegSz, std::string("line1\r\nline2", 12) + '\0');
  ExpectReadBack("Empty", vtcapture::kRegSz, "");
}

TEST(RegText, NumbersAndBinaryForms) {
  ExpectReadBack("Count", vtcapture::kRegDword, Bytes({0x78, 0x56, 0x34, 0x12}));
  ExpectReadBack("Top", vtcapture::kRegDword, Bytes({0xff, 0xff, 0xff, 0xff}));
  // A DWORD of the wrong size keeps its bytes.
  ExpectReadBack("Short", vtcapture::kRegDword, Bytes({1, 2}));
  ExpectReadBack("Blob", vtcapture::kRegBinary, Bytes({0, 0x10, 0xab, 0xff}));
  ExpectReadBack("NoBytes", vtcapture::kRegBinary, "");
  ExpectReadBack("Expand", 2, std::string("%SystemRoot%\\x", 14) + '\0');
  ExpectReadBack("Multi", 7, Bytes({'a', 0, 'b', 'c', 0, 0}));
  ExpectReadBack("Odd", 0x1234, Bytes({9}));
}

TEST(RegText, LongDataWrapsWhereRegeditWrapsIt) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i & 0xFF);
  ExpectReadBack("Long", vtcapture::kRegBinary, data);
  ExpectReadBack("A rather long value name that pushes the first line", 7, data);
  // The simulated PC writes the same bytes for what it read: the capture's
  // file is regedit's layout, not merely readable.
  sim::Registry reg;
  std::string error;
  const std::string file =
      RegFileHeader() + RegKeyLines(kKey) + RegValueLines("Long", vtcapture::kRegBinary, data) +
      // Prefixes of every length modulo 3 meet the wrap column differently.
      RegValueLines("Lon", vtcapture::kRegBinary, data) +
      RegValueLines("Lo", vtcapture::kRegBinary, data) +
      RegValueLines("Name", vtcapture::kRegSz, std::string("x\\\"y", 4) + '\0') +
      RegValueLines("", vtcapture::kRegDword, Bytes({1, 0, 0, 0})) + RegKeyEnd() +
      RegKeyLines(kKey + "\\Sub") + RegKeyEnd();
  ASSERT_TRUE(sim::ReadRegFile(file, reg, &error)) << error;
  const std::string written = sim::WriteRegFile(reg);
  EXPECT_NE(written.find(file.substr(RegFileHeader().size())), std::string::npos)
      << "capture:\n"
      << file << "\nsimulated PC:\n"
      << written;
}

}  // namespace
