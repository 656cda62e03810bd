// The profile API's rules as the control file reader relies on them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

const char* kIni = "C:\\Scrubber\\test.ini";

class Profile : public ::testing::Test {
 protected:
  void Write(const std::string& text) { tm.AddFile(kIni, text); }
  std::string Get(const char* section, const char* key, const char* def = "NotFound",
                  DWORD size = 512, DWORD* ret = nullptr) {
    char buf[600];
    std::memset(buf, 'X', sizeof buf);
    DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, kIni);
    if (ret) *ret = n;
    return std::string(buf, n);
  }
  TestMachine tm;
};

TEST_F(Profile, SectionsKeysAndValues) {
  Write(
      "; Version 2.03\r\n"
      "[Dev A -- XP Files]\r\n"
      "  FilesPath =  xp.dat  \r\n"
      "Empty=\r\n"
      "Quoted=\"  keep blanks  \"\r\n"
      "Single='x'\r\n"
      "Half=\"open\r\n"
      "Dup=first\r\n"
      "dup=second\r\n"
      "NoEquals\r\n"
      "[dev a -- xp files]\r\n"
      "Other=later\r\n"
      "[Common]\r\n"
      "Monitors=x, y\r\n");
  EXPECT_EQ(Get("dev A -- XP FILES", "filespath"), "xp.dat");
  EXPECT_EQ(Get("  Dev A -- XP Files ", " FilesPath "), "xp.dat");  // names trimmed
  EXPECT_EQ(Get("Dev A -- XP Files", "Empty"), "");
  EXPECT_EQ(Get("Dev A -- XP Files", "Quoted"), "  keep blanks  ");
  EXPECT_EQ(Get("Dev A -- XP Files", "Single"), "x");
  EXPECT_EQ(Get("Dev A -- XP Files", "Half"), "\"open");
  EXPECT_EQ(Get("Dev A -- XP Files", "DUP"), "first");
  EXPECT_EQ(Get("Dev A -- XP Files", "NoEquals"), "NotFound");
  EXPECT_EQ(Get("Dev A -- XP Files", "Other"), "NotFound");  // only the first section counts
  EXPECT_EQ(Get("Common", "Monitors"), "x, y");
  EXPECT_EQ(Get("Missing", "Monitors"), "NotFound");
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Get("Common", "None", "dflt   "), "dflt");  // the default loses trailing blanks
  EXPECT_EQ(Get("Common", "None", nullptr), "");
}

TEST_F(Profile, CutsToBufferSize) {
  Write("[S]\r\nK=0123456789\r\n");
  DWORD n = 0;
  EXPECT_EQ(Get("S", "K", "", 5, &n), "0123");
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(Get("S", "K", "", 11, &n), "0123456789");
  char one[1] = {'X'};
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", one, 1, kIni), 0u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", one, 0, kIni), 0u);
}

TEST_F(Profile, EnumeratesSectionsAndKeys) {
  Write("[A]\r\nk1=1\r\n;c=2\r\nk2=\r\n[B]\r\n");
  char buf[64];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, kIni);
  EXPECT_EQ(std::string(buf, n + 1), std::string("A\0B\0", 5));
  n = GetPrivateProfileStringA("a", nullptr, "", buf, sizeof buf, kIni);
  EXPECT_EQ(std::string(buf, n + 1), std::string("k1\0k2\0", 7));
  n = GetPrivateProfileStringA("A", nullptr, "", buf, 5, kIni);  // cut: two zeros, nSize - 2
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(std::string(buf, 5), std::string("k1\0\0\0", 5));
}

TEST_F(Profile, Integers) {
  Write(
      "[S]\r\nneg=-1\r\nmixed=42abc\r\nhex=0x10\r\nword=many\r\nempty=\r\nbig=65536\r\n"
      "blank=  7  \r\n");
  EXPECT_EQ(GetPrivateProfileIntA("S", "neg", 65536, kIni), 4294967295u);  // as Windows
  EXPECT_EQ(GetPrivateProfileIntA("S", "mixed", 65536, kIni), 42u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "hex", 65536, kIni), 16u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "word", 65536, kIni), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "empty", 65536, kIni), 65536u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "big", 0, kIni), 65536u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "blank", 0, kIni), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("S", "absent", 100000, kIni), 100000u);
}

TEST_F(Profile, FileLocationAndMissingFile) {
  tm.AddFile("C:\\WINDOWS\\bare.ini", "[S]\r\nK=windir\r\n");
  tm.AddFile("C:\\Scrubber\\bare.ini", "[S]\r\nK=current\r\n");
  char buf[32];
  // A bare name is looked for in the Windows directory, a relative path from
  // the current directory.
  GetPrivateProfileStringA("S", "K", "", buf, sizeof buf, "bare.ini");
  EXPECT_STREQ(buf, "windir");
  GetPrivateProfileStringA("S", "K", "", buf, sizeof buf, ".\\bare.ini");
  EXPECT_STREQ(buf, "current");
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "dflt", buf, sizeof buf, "C:\\none.ini"), 4u);
  EXPECT_STREQ(buf, "dflt");
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  tm.SetInUse("C:\\WINDOWS\\bare.ini");  // cannot be opened: the default
  GetPrivateProfileStringA("S", "K", "dflt", buf, sizeof buf, "bare.ini");
  EXPECT_STREQ(buf, "dflt");
}

TEST_F(Profile, LinesWithoutEqualsEndAtTheirLine) {
  // Each line is read on its own: neither "=" nor "]" of a later line belongs
  // to it, however many lines come between.
  std::string text = "[S]\r\n[Open\r\n";
  for (int i = 0; i < 5000; ++i)
    text += "C:\\Program Files\\VT\\m" + std::to_string(i) + ".dll\r\n";
  text += "Plain\r\n=orphan\r\nK=a]b\r\n[T]\r\nLast=found\r\n";
  Write(text);
  EXPECT_EQ(Get("S", "K"), "a]b");
  EXPECT_EQ(Get("S", "Plain"), "NotFound");
  EXPECT_EQ(Get("S", "C:\\Program Files\\VT\\m4999.dll"), "NotFound");
  EXPECT_EQ(Get("T", "Last"), "found");
  char buf[16];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, kIni);
  EXPECT_EQ(std::string(buf, n + 1), std::string("S\0T\0", 5));  // "[Open" is no section
}

TEST_F(Profile, LargeFileReadRepeatedlySeesChanges) {
  std::string text = "[S]\r\n";
  for (int i = 0; i < 1000; ++i)
    text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
  Write(text);
  for (int i = 0; i < 300; ++i)
    EXPECT_EQ(Get("S", ("key" + std::to_string(i * 3)).c_str()), "v" + std::to_string(i * 3));
  Write("[S]\r\nKey0=changed\r\n");  // the file changed: read again
  EXPECT_EQ(Get("S", "Key0"), "changed");
}

}  // namespace
