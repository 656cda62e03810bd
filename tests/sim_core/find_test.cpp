// Find searches: wildcards, order, "." and "..", and their codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/machine.h"
#include "support/test_machine.h"

namespace {

// Every name a search gives, or the error code as "error N".
std::vector<std::string> Find(const char* pattern) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(pattern, &d);
  if (h == INVALID_HANDLE_VALUE) return {"error " + std::to_string(GetLastError())};
  std::vector<std::string> names;
  do names.push_back(d.cFileName);
  while (FindNextFileA(h, &d));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(h));
  return names;
}

using Names = std::vector<std::string>;

TEST(Find, WildcardsAndOrder) {
  TestMachine tm;
  tm.AddFile("C:\\D\\beta.DLL");
  tm.AddFile("C:\\D\\Alpha.dll");
  tm.AddFile("C:\\D\\README");
  tm.AddFile("C:\\D\\a1.txt");
  tm.AddDir("C:\\D\\sub");
  EXPECT_EQ(Find("C:\\D\\*"),
            (Names{".", "..", "a1.txt", "Alpha.dll", "beta.DLL", "README", "sub"}));
  EXPECT_EQ(Find("C:\\D\\*.*"), Find("C:\\D\\*"));  // also names without a dot
  EXPECT_EQ(Find("c:\\d\\*.dll"), (Names{"Alpha.dll", "beta.DLL"}));
  EXPECT_EQ(Find("C:\\D\\?1.txt"), (Names{"a1.txt"}));
  EXPECT_EQ(Find("C:\\D\\*."), (Names{".", "..", "README", "sub"}));
  EXPECT_EQ(Find("C:\\D\\readme"), (Names{"README"}));  // no wildcard: the stored name
  EXPECT_EQ(Find("C:\\D\\*.exe"), (Names{"error 2"}));
  EXPECT_EQ(Find("C:\\Nope\\*.*"), (Names{"error 3"}));
  EXPECT_EQ(Find("C:\\D\\"), (Names{"error 2"}));
  EXPECT_EQ(Find("C:\\*\\a.txt"), (Names{"error 123"}));
  // A drive root lists no "." and "..".
  EXPECT_EQ(Find("C:\\*")[0], "D");
}

TEST(Find, FillsShortNameAndAttributes) {
  TestMachine tm;
  tm.AddFile("C:\\D\\Long File Name.html", "12345");
  tm.AddFile("C:\\D\\SHORT.TXT");
  tm.SetReadOnly("C:\\D\\SHORT.TXT");
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA("C:\\D\\*.htm", &d);  // the 8.3 name matches too
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(d.cFileName, "Long File Name.html");
  EXPECT_STREQ(d.cAlternateFileName, "LONGFI~1.HTM");
  EXPECT_EQ(d.nFileSizeLow, 5u);
  EXPECT_EQ(d.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
  FindClose(h);
  h = FindFirstFileA("C:\\D\\short.txt", &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(d.cAlternateFileName, "");  // an 8.3 name has none
  EXPECT_EQ(d.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(CloseHandle(h));  // searches end with FindClose only
  EXPECT_TRUE(FindClose(h));
  EXPECT_FALSE(FindClose(h));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(Find, SnapshotSurvivesDeletionDuringSearch) {
  TestMachine tm;
  for (const char* n : {"a", "b", "c"}) tm.AddFile(std::string("C:\\T\\") + n + ".tmp");
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA("C:\\T\\*.tmp", &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  int deleted = 0;
  do deleted += DeleteFileA((std::string("C:\\T\\") + d.cFileName).c_str());
  while (FindNextFileA(h, &d));
  FindClose(h);
  EXPECT_EQ(deleted, 3);
}

// FAT (9x) lists what the image held first, in name order, then what the run
// made, in the order it was made; NTFS (NT) sorts everything.
TEST(Find, EntryOrderOnFatNameOrderOnNtfs) {
  for (const char* version : {"98", "xp"}) {
    TestMachine tm(version);
    tm.AddFile("C:\\D\\m.txt");  // present at load
    tm.AddFile("C:\\D\\k.txt");
    for (const char* made : {"C:\\D\\z.txt", "C:\\D\\a.txt"}) {
      HANDLE h = CreateFileA(made, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      CloseHandle(h);
    }
    ASSERT_TRUE(CreateDirectoryA("C:\\D\\b", nullptr));
    const bool fat = std::string(version) == "98";
    EXPECT_EQ(Find("C:\\D\\*"), fat ? (Names{".", "..", "k.txt", "m.txt", "z.txt", "a.txt", "b"})
                                    : (Names{".", "..", "a.txt", "b", "k.txt", "m.txt", "z.txt"}))
        << version;
    // A deleted and remade entry goes to the end again.
    ASSERT_TRUE(DeleteFileA("C:\\D\\z.txt"));
    HANDLE h = CreateFileA("C:\\D\\z.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(h);
    if (fat) {
      EXPECT_EQ(Find("C:\\D\\*.txt"), (Names{"k.txt", "m.txt", "a.txt", "z.txt"}));
    }
  }
}

TEST(WildcardMatch, DosRules) {
  EXPECT_TRUE(sim::WildcardMatch("*.*", "noext"));
  EXPECT_TRUE(sim::WildcardMatch("abc.*", "ABC"));
  EXPECT_TRUE(sim::WildcardMatch("a??", "a"));  // trailing ? may match nothing
  EXPECT_FALSE(sim::WildcardMatch("a?c", "ac"));
  EXPECT_FALSE(sim::WildcardMatch("*.txt", "a.txt.bak"));
  EXPECT_TRUE(sim::WildcardMatch("*t*.d?l", "setup.dll"));
  // '?' takes no character where the name has a dot.
  EXPECT_TRUE(sim::WildcardMatch("a?.txt", "a.txt"));
  EXPECT_TRUE(sim::WildcardMatch("a??.txt", "ab.txt"));
  EXPECT_FALSE(sim::WildcardMatch("a?.txt", "abc.txt"));
  EXPECT_FALSE(sim::WildcardMatch("?a.txt", "a.txt"));  // only at a dot, not before a letter
}

}  // namespace
