// registry.reg reading and writing: every value form, errors with their line,
// UTF-16 input, control sets, and byte-stable round trips.
#include "sim/reg_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "sim/registry.h"

namespace {

std::string Bytes(const sim::Registry& reg, const char* key, const char* name, DWORD* type) {
  const sim::RegValue* v = reg.GetValue(key, name);
  if (!v) return "<missing>";
  *type = v->type;
  return std::string(v->data());
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

std::string ReadError(const std::string& text) {
  sim::Registry reg;
  std::string error;
  EXPECT_FALSE(sim::ReadRegFile(text, reg, &error)) << text;
  return error;
}

TEST(RegFile, ReadsEveryValueForm) {
  const std::string text =
      "REGEDIT4\r\n"
      "\r\n"
      "; a comment\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel]\r\n"
      "@=\"default\"\r\n"
      "\"Path\"=\"C:\\\\Program Files\\\\Vt \\\"x\\\"\"\r\n"
      "\"Count\"=dword:0000012a\r\n"
      "\"Blob\"=hex:01,02,ff\r\n"
      "\"Exp\"=hex(2):25,00\r\n"
      "\"Multi\"=hex(7):61,00,62,00,00\r\n"
      "\"Long\"=hex:00,01,02,\\\r\n"
      "  03,04\r\n"
      "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"Empty\"=hex:\r\n"
      "\"@\"=\"a value named @\"\r\n"
      "\r\n"
      "[HKLM\\SOFTWARE\\Vantrel\\Sub]\n"  // LF alone and a hive code
      "\"x\"=\"\"\n";
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(text, reg, &error)) << error;
  const char* key = "HKLM\\SOFTWARE\\Vantrel";
  DWORD type = 0;
  EXPECT_EQ(Bytes(reg, key, "", &type), std::string("default\0", 8));
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(Bytes(reg, key, "Path", &type), std::string("C:\\Program Files\\Vt \"x\"\0", 24));
  EXPECT_EQ(Bytes(reg, key, "Count", &type), std::string("\x2a\x01\0\0", 4));
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(Bytes(reg, key, "Blob", &type), "\x01\x02\xff");
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(Bytes(reg, key, "Exp", &type), std::string("%\0", 2));
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(Bytes(reg, key, "Multi", &type), std::string("a\0b\0\0", 5));
  EXPECT_EQ(type, REG_MULTI_SZ);
  EXPECT_EQ(Bytes(reg, key, "Long", &type), std::string("\0\x01\x02\x03\x04", 5));
  EXPECT_EQ(Bytes(reg, key, "Q", &type).size(), 8u);
  EXPECT_EQ(type, REG_QWORD);
  EXPECT_EQ(Bytes(reg, key, "Empty", &type), "");
  EXPECT_EQ(Bytes(reg, key, "@", &type), std::string("a value named @\0", 16));
  EXPECT_EQ(Bytes(reg, "HKLM\\SOFTWARE\\Vantrel\\Sub", "x", &type), std::string("\0", 1));
  EXPECT_FALSE(reg.dirty);  // loading is not a change
}

TEST(RegFile, ErrorsNameTheLine) {
  EXPECT_EQ(ReadError("REGEDIT5\r\n").substr(0, 8), "line 1: ");
  EXPECT_EQ(ReadError("REGEDIT4\r\n\"a\"=\"b\"\r\n"), "line 2: value outside of a key");
  EXPECT_EQ(ReadError("REGEDIT4\r\n[HKEY_NOWHERE\\X]\r\n"),
            "line 2: unknown root key in \"HKEY_NOWHERE\\X\"");
  EXPECT_EQ(ReadError("REGEDIT4\r\n[HKLM\\X\r\n").substr(0, 8), "line 2: ");
  EXPECT_EQ(ReadError("REGEDIT4\r\n[HKLM\\A\\\\B]\r\n").substr(0, 8), "line 2: ");
  const std::string head = "REGEDIT4\r\n\r\n[HKLM\\X]\r\n";
  EXPECT_EQ(ReadError(head + "\"a\"=dword:123456789\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a\"=dword:\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a\"=hex:01,zz\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a\"=hex:01,\\\r\n  02,q\r\n").substr(0, 8), "line 5: ");
  EXPECT_EQ(ReadError(head + "\"a\"=hex:01,\\\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a\"=\"unterminated\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a=\"x\"\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "\"a\"=str:x\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError(head + "garbage\r\n").substr(0, 8), "line 4: ");
  EXPECT_EQ(ReadError("REGEDIT4\r\n[HKLM\\" + std::string(256, 'k') + "]\r\n").substr(0, 8),
            "line 2: ");
}

TEST(RegFile, DeletionsApplyInOrder) {
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(
      sim::ReadRegFile("REGEDIT4\r\n[HKLM\\A\\B]\r\n\"v\"=\"1\"\r\n\"w\"=\"2\"\r\n"
                       "[HKLM\\A]\r\n[-HKLM\\A\\B]\r\n\"ignored\"=\"x\"\r\n"
                       "[HKLM\\C]\r\n\"k\"=\"1\"\r\n\"k\"=-\r\n",
                       reg, &error))
      << error;
  EXPECT_NE(reg.Find("HKLM\\A"), nullptr);
  EXPECT_EQ(reg.Find("HKLM\\A\\B"), nullptr);
  EXPECT_EQ(reg.GetValue("HKLM\\C", "k"), nullptr);
}

// Key lines in any order: each one lands where its whole path says, however
// much of it the line before shares (the reader walks on from there).
TEST(RegFile, KeyLinesInAnyOrderLandWhereTheirPathsSay) {
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(
      sim::ReadRegFile("REGEDIT4\r\n"
                       "[HKLM\\A\\B\\C]\r\n\"v\"=\"c\"\r\n"
                       "[HKLM\\A\\B\\D]\r\n\"v\"=\"d\"\r\n"  // a sibling
                       "[HKLM\\A\\E]\r\n\"v\"=\"e\"\r\n"     // an uncle
                       "[HKLM\\a\\b\\F]\r\n\"v\"=\"f\"\r\n"  // another case
                       "[HKLM\\A\\B]\r\n\"v\"=\"b\"\r\n"     // a parent again
                       "[HKLM\\AB]\r\n\"v\"=\"ab\"\r\n"      // shares bytes, not a name
                       "[HKLM\\A\\K\\]\r\n\"v\"=\"k\"\r\n"   // a trailing backslash
                       "[HKLM\\A\\L]\r\n\"v\"=\"l\"\r\n"
                       "[HKEY_LOCAL_MACHINE\\A\\G]\r\n\"v\"=\"g\"\r\n"
                       "[HKEY_CLASSES_ROOT\\X]\r\n\"v\"=\"x\"\r\n"
                       "[HKEY_CLASSES_ROOT\\X\\Y]\r\n\"v\"=\"y\"\r\n"
                       "[HKEY_CLASSES_ROOT\\Z]\r\n\"v\"=\"z\"\r\n"
                       "[HKLM\\SOFTWARE\\Classes\\X\\W]\r\n\"v\"=\"w\"\r\n"
                       "[-HKLM\\A\\B]\r\n"
                       "[HKLM\\A\\B\\H]\r\n\"v\"=\"h\"\r\n",
                       reg, &error))
      << error;
  DWORD type = 0;
  const std::pair<const char*, const char*> expected[] = {
      {"HKLM\\A\\E", "e"},
      {"HKLM\\AB", "ab"},
      {"HKLM\\A\\G", "g"},
      {"HKLM\\A\\K", "k"},
      {"HKLM\\A\\L", "l"},
      {"HKLM\\SOFTWARE\\Classes\\X", "x"},
      {"HKLM\\SOFTWARE\\Classes\\X\\Y", "y"},
      {"HKLM\\SOFTWARE\\Classes\\Z", "z"},
      {"HKLM\\SOFTWARE\\Classes\\X\\W", "w"},
      {"HKLM\\A\\B\\H", "h"},
  };
  for (const auto& [key, text] : expected)
    EXPECT_EQ(Bytes(reg, key, "v", &type), std::string(text) + '\0') << key;
  // The deleted subtree took C, D, F and B's own value with it.
  EXPECT_EQ(reg.GetValue("HKLM\\A\\B", "v"), nullptr);
  EXPECT_EQ(reg.Find("HKLM\\A\\B\\C"), nullptr);
  EXPECT_EQ(reg.Find("HKLM\\A\\B\\F"), nullptr);
  // Nothing landed anywhere else: A holds B, E, G, K and L; the root A, AB
  // and SOFTWARE.
  EXPECT_EQ(reg.Find("HKLM\\A")->subkeys().size(), 5u);
  EXPECT_EQ(reg.Find("HKLM")->subkeys().size(), 3u);
  EXPECT_EQ(reg.Find("HKLM\\AB")->subkeys().size(), 0u);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\Classes\\X")->subkeys().size(), 2u);
  EXPECT_EQ(reg.Find("HKLM\\SOFTWARE\\Classes")->subkeys().size(), 2u);
}

TEST(RegFile, Utf16FileConvertsToTheCodePage) {
  std::u16string text =
      u"Windows Registry Editor Version 5.00\r\n\r\n"
      u"[HKEY_CURRENT_USER\\Software\\Caf\u00e9]\r\n"
      u"\"Name\"=\"\u20ac 5 \u4e2d\"\r\n"
      u"\"Exp\"=hex(2):25,00,e9,00,00,00\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(bytes, reg, &error)) << error;
  DWORD type = 0;
  // HKCU is HKEY_USERS\.DEFAULT; the euro sign is 0x80 in 1252, the CJK sign is not there.
  EXPECT_EQ(Bytes(reg, "HKU\\.DEFAULT\\Software\\Caf\xe9", "Name", &type),
            std::string("\x80 5 ?\0", 6));
  EXPECT_EQ(Bytes(reg, "HKU\\.DEFAULT\\Software\\Caf\xe9", "Exp", &type),
            std::string("%\xe9\0", 3));
}

TEST(RegFile, CurrentControlSetGoesToTheSelectedSet) {
  // Select comes after CurrentControlSet in a sorted export.
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet002\\Services\\A]\r\n\"x\"=\"1\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\B]\r\n\"y\"=\"2\"\r\n\r\n"
      "[HKEY_CURRENT_CONFIG\\Software]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\Select]\r\n\"Current\"=dword:00000002\r\n\r\n";
  sim::Registry reg;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(text, reg, &error)) << error;
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet002\\Services\\A"), nullptr);
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet002\\Services\\B"), nullptr);
  EXPECT_NE(reg.Find("HKLM\\SYSTEM\\ControlSet002\\Hardware Profiles\\Current\\Software"), nullptr);
  EXPECT_EQ(reg.Find("HKLM\\SYSTEM\\ControlSet001"), nullptr);
  std::string out = sim::WriteRegFile(reg);
  EXPECT_EQ(out.find("CurrentControlSet"), std::string::npos);

  // Windows 9x keeps CurrentControlSet as a key of its own.
  sim::Registry old;
  old.nt_family = false;
  ASSERT_TRUE(sim::ReadRegFile(text, old, &error)) << error;
  EXPECT_NE(old.Find("HKLM\\SYSTEM\\CurrentControlSet\\Services\\B"), nullptr);
  EXPECT_NE(old.Find("HKLM\\Config\\0001\\Software"), nullptr);
}

TEST(RegFile, WritesRegeditLayoutAndRoundTrips) {
  sim::Registry reg;
  reg.SetString("HKLM\\SOFTWARE\\Vt", "Path", "C:\\Vt \"q\"");
  reg.SetDword("HKLM\\SOFTWARE\\Vt", "N", 0xBEEF);
  reg.SetString("HKLM\\SOFTWARE\\Vt", "", "def");  // written where it was made, not first
  reg.SetValue("HKLM\\SOFTWARE\\Vt", "Bin", REG_BINARY, std::string(40, '\x11'));
  reg.SetValue("HKLM\\SOFTWARE\\Vt", "Odd", REG_SZ, std::string("a\r\nb\0", 5));
  reg.SetValue("HKLM\\SOFTWARE\\Vt", "NoZero", REG_SZ, "abc");
  reg.SetValue("HKLM\\SOFTWARE\\Vt", "Short", REG_DWORD, "\x01\x02");
  reg.Create("HKLM\\SOFTWARE\\Vt\\empty");
  reg.Create("HKLM\\SOFTWARE\\Vt\\B");
  reg.SetString("HKU\\.DEFAULT\\Software\\Vt", "u", "1");
  const std::string out = sim::WriteRegFile(reg);
  const std::string expected =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt]\r\n"
      "\"Path\"=\"C:\\\\Vt \\\"q\\\"\"\r\n"
      "\"N\"=dword:0000beef\r\n"
      "@=\"def\"\r\n"
      "\"Bin\"=hex:" +
      Repeat("11,", 23) +
      "\\\r\n"  // wrapped at regedit's 80 columns
      "  " +
      Repeat("11,", 16) +
      "11\r\n"
      "\"Odd\"=hex(1):61,0d,0a,62,00\r\n"
      "\"NoZero\"=hex(1):61,62,63\r\n"
      "\"Short\"=hex(4):01,02\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\B]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vt\\empty]\r\n\r\n"
      "[HKEY_USERS\\.DEFAULT]\r\n\r\n"
      "[HKEY_USERS\\.DEFAULT\\Software]\r\n\r\n"
      "[HKEY_USERS\\.DEFAULT\\Software\\Vt]\r\n"
      "\"u\"=\"1\"\r\n\r\n";
  EXPECT_EQ(out, expected);

  sim::Registry again;
  std::string error;
  ASSERT_TRUE(sim::ReadRegFile(out, again, &error)) << error;
  EXPECT_EQ(sim::WriteRegFile(again), out);
  DWORD type = 0;
  EXPECT_EQ(Bytes(again, "HKLM\\SOFTWARE\\Vt", "Odd", &type), std::string("a\r\nb\0", 5));
  EXPECT_EQ(type, REG_SZ);
}

}  // namespace
