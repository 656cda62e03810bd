// Find searches: patterns, listing order, and their codes.
#include "conformance/conformance.h"
#include "conformance/files_helpers.h"

namespace {

using conformance::NtFamily;
using conformance::Scratch;
using files_cases::Names;

}  // namespace

CONFORMANCE_CASE(files, FindFirstFileA_NoMatchGives2MissingFolder3) {
  Scratch::File("a.txt");
  CHECK_STR(Names(Scratch::Path("*.xyz")), "error 2");
  CHECK_STR(Names(Scratch::Path("none.txt")), "error 2");
  CHECK_STR(Names(Scratch::Path("nodir\\*.*")), "error 3");
  CHECK_STR(Names(Scratch::Path("nodir\\a.txt")), "error 3");
}

CONFORMANCE_CASE(files, FindFirstFileA_FolderWithBackslashGives2) {
  Scratch::Folder("d");
  CHECK_STR(Names(Scratch::Path("d\\")), "error 2");
  CHECK_STR(Names("C:\\"), "error 2");
}

CONFORMANCE_CASE(files, FindFirstFileA_FolderListsDotsFirst) {
  Scratch::Folder("d");
  Scratch::File("d\\x.txt");
  CHECK_STR(Names(Scratch::Path("d\\*")), ".|..|x.txt");
  CHECK_STR(Names(Scratch::Path("d\\*.*")), ".|..|x.txt");
  CHECK_STR(Names(Scratch::Path("d")), "d");  // the folder itself, no wildcard
}

CONFORMANCE_CASE(files, FindFirstFileA_NamesCompareWithoutCase) {
  Scratch::File("ReadMe.TXT");
  CHECK_STR(Names(Scratch::Path("readme.txt")), "ReadMe.TXT");  // the stored name
  CHECK_STR(Names(Scratch::Path("*.txt")), "ReadMe.TXT");
}

CONFORMANCE_CASE(files, FindFirstFileA_QuestionMarkBeforeDotOrAtEndMatchesNothing) {
  WINE_DIFFERS("Wine's '?' always takes one character (measured, Wine 8)");
  Scratch::File("a.txt");
  Scratch::File("ab.txt");
  Scratch::File("abc.txt");
  Scratch::File("ab");
  CHECK_STR(Names(Scratch::Path("a?.txt")), "a.txt|ab.txt");
  CHECK_STR(Names(Scratch::Path("a??.txt")), "a.txt|ab.txt|abc.txt");
  CHECK_STR(Names(Scratch::Path("ab?")), "ab");
  CHECK_STR(Names(Scratch::Path("?b.txt")), "ab.txt");  // elsewhere one character
  CHECK_STR(Names(Scratch::Path("a?c.txt")), "abc.txt");
}

CONFORMANCE_CASE(files, FindFirstFileA_StarDotStarMatchesNamesWithoutDot) {
  Scratch::File("noext");
  Scratch::File("x.txt");
  CHECK_STR(Names(Scratch::Path("*.*")), ".|..|noext|x.txt");
  CHECK_STR(Names(Scratch::Path("noext.*")), "noext");
}

CONFORMANCE_CASE(files, FindFirstFileA_StarDotMatchesNamesWithoutExtension) {
  WINE_DIFFERS("\"*.\" lists every name in Wine (wine-notes.md)");
  Scratch::File("noext");
  Scratch::File("x.txt");
  CHECK_STR(Names(Scratch::Path("*.")), ".|..|noext");
}

CONFORMANCE_CASE(files, FindFirstFileA_ExtensionMatchesTheShortNameToo) {
  Scratch::File("b.htm");
  Scratch::File("Long File Name.html");
  // "*.htm" also finds "Long File Name.html" through its short name "...HTM".
  CHECK_STR(Names(Scratch::Path("*.htm")), "b.htm|Long File Name.html");
}

CONFORMANCE_CASE(files, FindFirstFileA_PatternMatchesTheShortName) {
  WINE_DIFFERS("Wine's short names are hashed, never NAME~1 (wine-notes.md)");
  Scratch::File("Long File Name.html");
  CHECK_STR(Names(Scratch::Path("*~1*")), "Long File Name.html");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(Scratch::Path("Long File Name.html").c_str(), &data);
  CHECK_TRUE(find != INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) {
    CHECK_STR(data.cAlternateFileName, "LONGFI~1.HTM");
    FindClose(find);
  }
}

CONFORMANCE_CASE(files, FindFirstFileA_FatListsInEntryOrderNtfsSorted) {
  Scratch::Folder("o");
  Scratch::File("o\\b.txt");
  Scratch::File("o\\C.txt");
  Scratch::File("o\\a.txt");
  if (NtFamily()) {
    CHECK_STR(Names(Scratch::Path("o\\*.txt")), "a.txt|b.txt|C.txt");
  } else {
    WINE_DIFFERS("Wine lists a folder sorted in 9x mode too (measured, Wine 8 win98)");
    CHECK_STR(Names(Scratch::Path("o\\*.txt")), "b.txt|C.txt|a.txt");
  }
}

CONFORMANCE_CASE(files, FindFirstFileA_WildcardInFolderNameGives123) {
  Scratch::Folder("d");
  CHECK_STR(Names(Scratch::Path("*\\a.txt")), "error 123");
}

CONFORMANCE_CASE(files, FindFirstFileA_FillsSizeAndAttributes) {
  Scratch::File("five.txt", "12345");
  Scratch::Folder("d");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(Scratch::Path("five.txt").c_str(), &data);
  CHECK_TRUE(find != INVALID_HANDLE_VALUE);
  CHECK_EQ(data.nFileSizeLow, 5u);
  CHECK_EQ(data.nFileSizeHigh, 0u);
  CHECK_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  CHECK_STR(data.cAlternateFileName, "");  // an 8.3 name has no other
  FindClose(find);
  find = FindFirstFileA(Scratch::Path("d").c_str(), &data);
  CHECK_TRUE(find != INVALID_HANDLE_VALUE);
  CHECK_TRUE((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  FindClose(find);
}

CONFORMANCE_CASE(files, FindNextFileA_AfterTheLastGives18) {
  Scratch::File("a.txt");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(Scratch::Path("a.txt").c_str(), &data);
  CHECK_TRUE(find != INVALID_HANDLE_VALUE);
  CHECK_EQ(FindNextFileA(find, &data), FALSE);
  CHECK_ERROR(ERROR_NO_MORE_FILES);
  CHECK_EQ(FindNextFileA(find, &data), FALSE);
  CHECK_ERROR(ERROR_NO_MORE_FILES);
  FindClose(find);
}

CONFORMANCE_CASE(files, FindNextFileA_SnapshotOutlivesDeletion) {
  Scratch::File("a.tmp");
  Scratch::File("b.tmp");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(Scratch::Path("*.tmp").c_str(), &data);
  CHECK_TRUE(find != INVALID_HANDLE_VALUE);
  int deleted = 0;
  do deleted += DeleteFileA(Scratch::Path(data.cFileName).c_str()) ? 1 : 0;
  while (FindNextFileA(find, &data));
  FindClose(find);
  CHECK_EQ(deleted, 2);
}

CONFORMANCE_CASE(files, FindClose_InvalidHandleGives6) {
  CHECK_EQ(FindClose(INVALID_HANDLE_VALUE), FALSE);
  CHECK_ERROR(ERROR_INVALID_HANDLE);
}
