// A Unicode registry.reg holding names and text the code page lacks: written
// back byte for byte, changed only where the program changed it, and seen by
// the A calls as Windows shows it to them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/image.h"
#include "sim/machine.h"
#include "sim/reg_file.h"
#include "sim/registry.h"
#include "support/host_io.h"
#include "support/test_machine.h"

namespace {

std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// As regedit exports it: version 5, UTF-16LE, sorted as NT sorts, hex data wrapped.
const std::u16string kHead =
    u"Windows Registry Editor Version 5.00\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt]\r\n"
    u"@=\"既定 \\\"q\\\"\"\r\n"
    u"\"名前\"=\"値 € é\"\r\n"
    u"\"名字\"=\"x\"\r\n"
    u"\"Path\"=\"C:\\\\Программы\\\\Vt\"\r\n"
    u"\"展開\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
    u"  25,00,5c,00,2d,4e,87,65,2e,00,64,00,6c,00,6c,00,00,00\r\n"
    u"\"Multi\"=hex(7):3e,04,34,04,38,04,3d,04,00,00,74,00,77,00,6f,00,00,00,00,00\r\n"
    u"\"Odd\"=hex(2):41,00,42\r\n"
    u"\"N\"=dword:0000002a\r\n\r\n";
const std::u16string kKeyA = u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\A]\r\n\r\n";
const std::u16string kTail =
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\Z]\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\Ω]\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\中]\r\n"
    u"\"v\"=\"中\"\r\n\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\文]\r\n"
    u"\"v\"=\"文\"\r\n\r\n";

class UnicodeRegFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim::ReadRegFile(Utf16File(kHead + kKeyA + kTail), reg, &error)) << error;
  }
  HKEY OpenVt() {
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt", 0, KEY_ALL_ACCESS, &h), 0);
    return h;
  }
  sim::Machine m;
  sim::ScopedMachine scope{m};
  sim::Registry& reg = m.registry;
};

TEST_F(UnicodeRegFile, WritesBackTheSameBytes) {
  EXPECT_EQ(sim::WriteRegFile(reg), Utf16File(kHead + kKeyA + kTail));
}

TEST_F(UnicodeRegFile, AChangeLeavesEveryOtherByte) {
  HKEY vt = OpenVt();
  EXPECT_EQ(RegDeleteKeyA(vt, "A"), ERROR_SUCCESS);
  EXPECT_EQ(sim::WriteRegFile(reg), Utf16File(kHead + kTail));

  // A value the program sets again is stored as it wrote it, in the code page.
  const char path[] = "D:\\Vt";
  EXPECT_EQ(RegSetValueExA(vt, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), 6), 0);
  std::u16string changed = kHead + kTail;
  const std::u16string before = u"C:\\\\Программы\\\\Vt";
  changed.replace(changed.find(before), before.size(), u"D:\\\\Vt");
  EXPECT_EQ(sim::WriteRegFile(reg), Utf16File(changed));
  RegCloseKey(vt);
}

TEST_F(UnicodeRegFile, NamesTheCodePageLacksStayApart) {
  HKEY vt = OpenVt();
  std::vector<std::string> keys;
  char name[64];
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (RegEnumKeyExA(vt, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != 0) break;
    keys.push_back(name);
  }
  // On NT an A caller gets '?' for each character the code page lacks ...
  EXPECT_EQ(keys, (std::vector<std::string>{"A", "Z", "?", "?", "?"}));
  // ... but "?" is U+003F, the name of no key here.
  HKEY h = nullptr;
  EXPECT_EQ(RegOpenKeyExA(vt, "?", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);

  std::vector<std::string> values;
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (RegEnumValueA(vt, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != 0) break;
    values.push_back(name);
  }
  EXPECT_EQ(values, (std::vector<std::string>{"", "??", "??", "Path", "??", "Multi", "Odd", "N"}));
  EXPECT_EQ(RegQueryValueExA(vt, "??", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

  BYTE data[64];
  DWORD size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(vt, "Path", nullptr, nullptr, data, &size), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size),
            std::string("C:\\?????????\\Vt\0", 16));
  size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(vt, "", nullptr, nullptr, data, &size), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("?? \"q\"\0", 7));
  size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(vt, "Multi", nullptr, nullptr, data, &size), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("????\0two\0\0", 10));
  RegCloseKey(vt);

  // Two keys shown alike stay two: each keeps its own value.
  const sim::RegKey* key = reg.Find("HKLM\\SOFTWARE\\Vt");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->subkeys().size(), 5u);
}

TEST(UnicodeRegFileImage, SavedInTheFormatItWasLoadedIn) {
  namespace fs = std::filesystem;
  TestMachine tm;
  const fs::path dir = fs::path(tm.ImageDir()) / "img";
  fs::create_directories(dir / "drives" / "C");
  WriteHost(dir / "machine.json", kMinimalMachineJson);
  std::filesystem::create_directories(dir / "drives" / "C" / "Scrubber");
  std::ofstream(dir / "registry.reg", std::ios::binary) << Utf16File(kHead + kKeyA + kTail);
  sim::Machine m;
  std::string error;
  ASSERT_TRUE(sim::LoadImage(dir.string(), m, &error)) << error;
  {
    sim::ScopedMachine scope(m);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vt\\A"), ERROR_SUCCESS);
  }
  ASSERT_TRUE(sim::SaveImage(m, &error)) << error;
  std::ifstream in(dir / "registry.reg", std::ios::binary);
  std::ostringstream saved;
  saved << in.rdbuf();
  EXPECT_EQ(saved.str(), Utf16File(kHead + kTail));
}

TEST(UnicodeRegFileFormat, Regedit4StaysRegedit4AndCaseFoldsAsNt) {
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile("REGEDIT4\r\n\r\n[HKLM\\SOFTWARE\\x]\r\n", reg, &error)) << error;
  EXPECT_EQ(sim::WriteRegFile(reg).substr(0, 10), "REGEDIT4\r\n");

  // Greek and Cyrillic names differing only in case are one key, as on NT.
  sim::Registry wide;
  ASSERT_TRUE(sim::ReadRegFile(Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                         u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\ωя]\r\n"
                                         u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\ΩЯ]\r\n"
                                         u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ωя\\ā]\r\n"),
                               wide, &error))
      << error;
  const sim::RegKey* software = wide.Find("HKLM\\SOFTWARE");
  ASSERT_NE(software, nullptr);
  ASSERT_EQ(software->subkeys().size(), 1u);
  EXPECT_EQ(software->subkeys().begin()->get()->subkeys().size(), 1u);
}

TEST_F(UnicodeRegFile, SubkeysSortAsNtSortsUnicode) {
  // NT orders by upper-cased UTF-16: "\x8a" is U+0160 and "\x80" U+20AC, so both
  // come after every Latin-1 letter whatever their code-page bytes.
  for (const char* name : {"\x80", "\x9a", "\xe9", "z"})
    reg.Create(std::string("HKLM\\O\\") + name);
  const sim::RegKey* key = reg.Find("HKLM\\O");
  ASSERT_NE(key, nullptr);
  std::vector<std::string> order;
  for (const sim::KeyRef& child : key->subkeys()) order.push_back(child->name);
  EXPECT_EQ(order, (std::vector<std::string>{"z", "\xe9", "\x9a", "\x80"}));
  EXPECT_NE(reg.Find("HKLM\\O\\\x8a"), nullptr);  // S caron, either case
}

TEST(UnicodeRegFileFormat, UnusualNamesKeepTheirExactForm) {
  // A lone surrogate and a character beyond the BMP, in a key and a value name.
  std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\a";
  text += static_cast<char16_t>(0xD800);
  text += u"]\r\n\"\U0001F600\"=\"\U0001F600\"\r\n\r\n";
  const std::string file = Utf16File(text);
  sim::Registry wide;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(file, wide, &error)) << error;
  EXPECT_EQ(sim::WriteRegFile(wide), file);

  // NUL bytes in an 8-bit value name.
  const std::string regedit4 =
      std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"\0\0a\"=\"x\"\r\n\r\n", 56);
  sim::Registry narrow;
  ASSERT_TRUE(sim::ReadRegFile(regedit4, narrow, &error)) << error;
  EXPECT_EQ(sim::WriteRegFile(narrow), regedit4);
}

}  // namespace
