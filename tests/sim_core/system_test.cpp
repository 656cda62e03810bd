// System information, error texts, modules and code page texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sim/excerpt.h"
#include "sim/machine.h"
#include "sim/text.h"
#include "support/test_machine.h"

namespace {

TEST(Version, NamesMapToWindowsNumbers) {
  struct Case {
    const char* name;
    DWORD platform, major, minor;
  } cases[] = {{"95", 1, 4, 0},  {"98", 1, 4, 10},  {"me", 1, 4, 90},
               {"nt4", 2, 4, 0}, {"2000", 2, 5, 0}, {"xp", 2, 5, 1}};
  for (const Case& c : cases) {
    TestMachine tm(c.name);
    OSVERSIONINFOA v;
    std::memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v)) << c.name;
    EXPECT_EQ(v.dwPlatformId, c.platform) << c.name;
    EXPECT_EQ(v.dwMajorVersion, c.major) << c.name;
    EXPECT_EQ(v.dwMinorVersion, c.minor) << c.name;
    EXPECT_EQ(tm.m.registry.nt_family, c.platform == 2) << c.name;
  }
}

TEST(Version, SizeFieldIsChecked) {
  TestMachine tm("xp");
  unsigned char ex[156] = {};
  auto* v = reinterpret_cast<OSVERSIONINFOA*>(ex);
  v->dwOSVersionInfoSize = 156;
  EXPECT_TRUE(GetVersionExA(v));
  EXPECT_EQ(ex[148], 2);  // service pack major
  v->dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(v));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  TestMachine nine("98");
  v->dwOSVersionInfoSize = 156;  // Windows 9x knows only the short form
  EXPECT_FALSE(GetVersionExA(v));
}

std::string SystemText(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0,
      nullptr);
  if (n == 0) return "none " + std::to_string(GetLastError());
  std::string s(text, n);
  EXPECT_EQ(LocalFree(text), nullptr);
  return s;
}

TEST(FormatMessage, WindowsTextsEndInCrLf) {
  TestMachine tm;
  EXPECT_EQ(SystemText(2), "The system cannot find the file specified.\r\n");
  EXPECT_EQ(SystemText(5), "Access is denied.\r\n");
  EXPECT_EQ(SystemText(32),
            "The process cannot access the file because it is being used by another process.\r\n");
  EXPECT_EQ(SystemText(145), "The directory is not empty.\r\n");
  EXPECT_EQ(SystemText(1060), "The specified service does not exist as an installed service.\r\n");
  EXPECT_EQ(SystemText(193), "%1 is not a valid Win32 application.\r\n");  // inserts kept
  EXPECT_EQ(SystemText(12345), "none 317");
  EXPECT_TRUE(tm.m.local_allocations.empty());
  // Every code of the run log's cause table has a text.
  for (DWORD code :
       {2,   6,   18,  107, 3,   15,  17,   34,   52,   53,   55,   67,  70,   85,  111,
        123, 124, 125, 144, 154, 161, 206,  208,  267,  4,    36,   68,  113,  5,   12,
        19,  29,  54,  58,  64,  65,  71,   80,   82,   86,   170,  183, 999,  11,  26,
        60,  66,  114, 182, 191, 193, 16,   145,  62,   24,   25,   27,  30,   131, 132,
        20,  21,  22,  23,  57,  59,  88,   117,  995,  996,  997,  32,  33,   108, 167,
        39,  112, 38,  122, 234, 259, 1010, 1011, 1072, 1300, 1797, 120, 1313, 3000})
    EXPECT_EQ(SystemText(code).substr(0, 5) == "none ", false) << code;
}

TEST(FormatMessage, CallerBuffer) {
  TestMachine tm;
  char small[8];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 5,
                           0, small, sizeof small, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  char big[64];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 5,
                           0, big, sizeof big, nullptr),
            19u);
}

TEST(SystemInfo, DirectoriesNameAndTime) {
  TestMachine tm("98");
  char buf[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");
  EXPECT_EQ(GetSystemDirectoryA(buf, 5), 18u);  // C:\WINDOWS\SYSTEM + terminator
  tm.SetDirectoryNull("system");
  EXPECT_EQ(GetSystemDirectoryA(buf, sizeof buf), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

  DWORD size = 4;
  EXPECT_FALSE(GetComputerNameA(buf, &size));
  EXPECT_EQ(size, 8u);
  size = sizeof buf;
  EXPECT_TRUE(GetComputerNameA(buf, &size));
  EXPECT_STREQ(buf, "SHOP-PC");
  EXPECT_EQ(size, 7u);

  SYSTEMTIME t;
  GetLocalTime(&t);
  EXPECT_EQ(t.wYear, 2003);
  EXPECT_EQ(t.wMonth, 3);
  EXPECT_EQ(t.wDay, 5);
  EXPECT_EQ(t.wDayOfWeek, 3);  // a Wednesday
  EXPECT_EQ(t.wMilliseconds, 21);
  tm.m.system.AdvanceClock(15 * 3600 * 1000ULL);  // past midnight
  GetLocalTime(&t);
  EXPECT_EQ(t.wDay, 6);
  EXPECT_EQ(t.wHour, 0);
  EXPECT_EQ(t.wMinute, 7);
}

TEST(SystemInfo, SpecialFolders) {
  TestMachine xp("xp");
  char buf[MAX_PATH];
  EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE));
  EXPECT_STREQ(buf, "C:\\Documents and Settings\\All Users\\Desktop");
  EXPECT_FALSE(xp.Exists(buf));  // not created unless asked
  EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_PROGRAMS, TRUE));
  EXPECT_TRUE(xp.IsDir(buf));
  xp.SetDirectoryNull("desktop");
  SetLastError(0);
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_DESKTOPDIRECTORY, FALSE));
  EXPECT_EQ(GetLastError(), 2u);  // the caller logs this code
  TestMachine nine("98");
  nine.SetDirectory("common_programs", "C:\\WINDOWS\\All");
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_COMMON_PROGRAMS, FALSE));
  EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_PROGRAMS, FALSE));
}

TEST(Modules, KnownModulesAndFaults) {
  TestMachine tm;
  HMODULE rich = LoadLibraryA("RICHED32.DLL");
  EXPECT_NE(rich, nullptr);
  HMODULE setup = LoadLibraryA("setupapi");
  EXPECT_NE(setup, nullptr);
  EXPECT_NE(setup, rich);
  EXPECT_EQ(GetProcAddress(setup, "NoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(setup));
  EXPECT_EQ(LoadLibraryA("nothere.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
  tm.AddFault("LoadLibraryA", ERROR_MOD_NOT_FOUND, "SetupApi.dll", 1);
  EXPECT_EQ(LoadLibraryA("SETUPAPI.DLL"), nullptr);
  EXPECT_NE(LoadLibraryA("SETUPAPI.DLL"), nullptr);
}

// Windows 95 and NT 4 without Internet Explorer 4's desktop update: shell32
// lacks SHGetSpecialFolderPathA and there is no shlwapi.
TEST(Modules, NoLaterShellOnWindowsFourZero) {
  for (const char* version : {"95", "nt4"}) {
    TestMachine tm(version);
    const DWORD missingModule = tm.m.system.NtFamily() ? ERROR_MOD_NOT_FOUND : 1157;
    HMODULE shell = LoadLibraryA("shell32.dll");
    ASSERT_NE(shell, nullptr) << version;
    EXPECT_EQ(GetProcAddress(shell, "SHGetSpecialFolderPathA"), nullptr) << version;
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("SHLWAPI"), nullptr) << version;
    EXPECT_EQ(GetLastError(), missingModule) << version;
    char buf[MAX_PATH] = "untouched";
    SetLastError(0);
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_DESKTOPDIRECTORY, TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));  // as a GetProcAddress fallback sees
    EXPECT_STREQ(buf, "untouched");
    EXPECT_FALSE(tm.Exists(*tm.m.system.Directory("desktop")));  // fCreate ignored

    tm.m.system.later_shell = true;  // the update installed
    HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
    ASSERT_NE(shlwapi, nullptr) << version;
    EXPECT_EQ(GetProcAddress(shlwapi, "SHDeleteKeyA"),
              reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SHDeleteKeyA)));
    EXPECT_NE(GetProcAddress(shell, "SHGetSpecialFolderPathA"), nullptr);
    EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, CSIDL_DESKTOPDIRECTORY, FALSE));
  }
  TestMachine xp("xp");
  EXPECT_NE(LoadLibraryA("shlwapi.dll"), nullptr);
  xp.m.system.later_shell = false;
  EXPECT_EQ(LoadLibraryA("shlwapi.dll"), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST(Modules, NineXReportsMissingModuleAsDllNotFound) {
  TestMachine nine("98");
  EXPECT_EQ(LoadLibraryA("nothere.dll"), nullptr);
  EXPECT_EQ(GetLastError(), 1157u);
  char text[128] = {};
  EXPECT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           1157, 0, text, sizeof text, nullptr),
            0u);
}

TEST(SystemInfo, WrongVersionSizeSetsNoErrorOnNineX) {
  TestMachine nine("98");
  union {
    OSVERSIONINFOA info;
    BYTE ex[156];  // OSVERSIONINFOEXA: NT only
  } v = {};
  OSVERSIONINFOA& info = v.info;
  info.dwOSVersionInfoSize = sizeof v.ex;
  SetLastError(7);
  EXPECT_FALSE(GetVersionExA(&info));
  EXPECT_EQ(GetLastError(), 7u);
  TestMachine nt("2000");
  EXPECT_TRUE(GetVersionExA(&info));
  info.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&info));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

// lstrcmpiA by word sort; the registry and file names keep comparing by
// upper case code units (sim::CompareNoCase).
TEST(Texts, WordSortEqualityAndOrder) {
  TestMachine tm;
  EXPECT_EQ(lstrcmpiA("Stra\xDF"
                      "e",
                      "strasse"),
            0);
  EXPECT_EQ(lstrcmpiA("\xC6"
                      "ther",
                      "aether"),
            0);
  EXPECT_EQ(lstrcmpiA("\x8C"
                      "uvre",
                      "oeuvre"),
            0);                                 // Œ
  EXPECT_NE(lstrcmpiA("\xE9t\xE9", "ete"), 0);  // accents count
  EXPECT_NE(lstrcmpiA("co-op", "coop"), 0);     // so do hyphens, last
  EXPECT_NE(lstrcmpiA("it's", "its"), 0);
  EXPECT_NE(lstrcmpiA("a-b", "ab-"), 0);  // and where they stand
  EXPECT_EQ(lstrcmpiA("\x9A"
                      "a",
                      "\x8A"
                      "A"),
            0);                              // š Š
  EXPECT_EQ(lstrcmpiA("\xFF", "\x9F"), 0);   // ÿ Ÿ
  EXPECT_EQ(lstrcmpiA("co-op", "coq"), -1);  // hyphen left out of the first level
  EXPECT_EQ(lstrcmpiA("\xE9", "f"), -1);
  EXPECT_EQ(lstrcmpiA("_", "0"), -1);  // symbols, digits, letters
  EXPECT_EQ(lstrcmpiA("9", "a"), -1);
  EXPECT_EQ(lstrcmpiA("\xFE", "z"), 1);    // thorn after z
  EXPECT_EQ(lstrcmpiA("\xDF", "st"), -1);  // ß as ss
  EXPECT_EQ(sim::CompareNoCase("\xDF", "ss") != 0, true);
}

TEST(Texts, CodePageCaseAndExit) {
  TestMachine tm;
  char s[] =
      "Gr\xFC\xDF"
      "e abc";  // u-umlaut, sharp s
  CharUpperA(s);
  EXPECT_STREQ(s,
               "GR\xDC\xDF"
               "E ABC");
  CharLowerA(s);
  EXPECT_STREQ(s,
               "gr\xFC\xDF"
               "e abc");
  EXPECT_EQ(lstrcmpiA("\xC4pfel", "\xE4PFEL"), 0);
  EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
  char buf[] = "abcdef";
  EXPECT_EQ(CharUpperBuffA(buf, 3), 3u);
  EXPECT_STREQ(buf, "ABCdef");
  EXPECT_EQ(reinterpret_cast<uintptr_t>(CharUpperA(reinterpret_cast<LPSTR>(uintptr_t('q')))),
            uintptr_t('Q'));
  try {
    ExitProcess(255);
    FAIL();
  } catch (const sim::ProcessExit& e) {
    EXPECT_EQ(e.code, 255u);
  }
}

}  // namespace

TEST(Excerpt, ShortLinesStayWholeLongLinesAreCutAndCounted) {
  EXPECT_EQ(sim::Excerpt("abc"), "abc");
  EXPECT_EQ(sim::Excerpt("a\tb"), "a\\tb");
  const std::string line(1000, 'x');
  const std::string cut = sim::Excerpt(line);
  EXPECT_EQ(cut, std::string(200, 'x') + " ... (1000 bytes)");
  EXPECT_EQ(sim::Excerpt(std::string(200, 'y')), std::string(200, 'y'));
}
