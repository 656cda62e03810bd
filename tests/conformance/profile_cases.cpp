// Profile (INI) reading: GetPrivateProfileStringA and GetPrivateProfileIntA,
// the program's only profile calls, on files made in the scratch folder.
#include <cstring>
#include <string>

#include "conformance/conformance.h"

namespace {

using conformance::Scratch;

const char kSample[] =
    "[section1]\r\n"
    "name1=val1\r\n"
    "name2=\"val2\"\r\n"
    "name3\r\n"
    "name4=a\r\n"
    "[section2]\r\n";

// A value read into a buffer of `size` filled with 'x' first; the return value
// goes to `ret`.
std::string Read(const char* section, const char* key, const char* def, const std::string& file,
                 DWORD size, DWORD* ret) {
  char buffer[300];
  std::memset(buffer, 'x', sizeof buffer);
  *ret = GetPrivateProfileStringA(section, key, def, buffer, size, Scratch::Path(file).c_str());
  return std::string(buffer, *ret < sizeof buffer ? *ret : sizeof buffer);
}

// The list a NULL section or key gives: `ret` characters and the `zeros`
// bytes after them, where Windows puts the list's final zero (two when the
// list was cut).
std::string ReadList(const char* section, const std::string& file, DWORD size, DWORD* ret,
                     DWORD zeros = 1) {
  char buffer[300];
  std::memset(buffer, 'x', sizeof buffer);
  *ret = GetPrivateProfileStringA(section, nullptr, "default", buffer, size,
                                  Scratch::Path(file).c_str());
  return std::string(buffer, *ret + zeros <= sizeof buffer ? *ret + zeros : sizeof buffer);
}

UINT ReadInt(const char* value, INT def) {
  Scratch::File("int.ini", std::string("[s]\r\nk=") + value + "\r\n");
  return GetPrivateProfileIntA("s", "k", def, Scratch::Path("int.ini").c_str());
}

}  // namespace

// --- Missing file, section or key: the default ------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_MissingFileGivesDefault) {
  DWORD ret = 0;
  CHECK_STR(Read("section1", "name1", "default", "none.ini", MAX_PATH, &ret), "default");
  CHECK_EQ(ret, 7u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_MissingSectionGivesDefault) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("notasection", "name1", "default", "a.ini", MAX_PATH, &ret), "default");
  CHECK_EQ(ret, 7u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_MissingKeyGivesDefault) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("section1", "notakey", "default", "a.ini", MAX_PATH, &ret), "default");
  CHECK_EQ(ret, 7u);
  // A section without keys is no different.
  CHECK_STR(Read("section2", "name1", "default", "a.ini", MAX_PATH, &ret), "default");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_DefaultLosesTrailingBlanks) {
  Scratch::File("a.ini", kSample);
  char def[] = "one two  ";  // writable: Windows 9x cuts it in place
  DWORD ret = 0;
  CHECK_STR(Read("section1", "notakey", def, "a.ini", MAX_PATH, &ret), "one two");
  CHECK_EQ(ret, 7u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullDefaultGivesEmptyText) {
  Scratch::File("a.ini", kSample);
  char buffer[16] = "kumquat";
  CHECK_EQ(GetPrivateProfileStringA("section1", "notakey", nullptr, buffer, sizeof buffer,
                                    Scratch::Path("a.ini").c_str()),
           0u);
  CHECK_STR(buffer, "");
}

// --- Values ------------------------------------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_EmptyValueIsFoundEmpty) {
  Scratch::File("e.ini", "[s]\r\nempty=\r\n");
  DWORD ret = 1;
  CHECK_STR(Read("s", "empty", "default", "e.ini", MAX_PATH, &ret), "");
  CHECK_EQ(ret, 0u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_LineWithoutEqualsIsNoKey) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("section1", "name3", "default", "a.ini", MAX_PATH, &ret), "default");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_CommentLineIsNoKey) {
  Scratch::File("c.ini", "[s]\r\n; note\r\nk=v\r\n");
  DWORD ret = 0;
  CHECK_STR(Read("s", "; note", "default", "c.ini", MAX_PATH, &ret), "default");
  CHECK_STR(ReadList("s", "c.ini", MAX_PATH, &ret), std::string("k\0", 3));
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_ValueKeepsLaterEquals) {
  Scratch::File("q.ini", "[s]\r\nk=a=b\r\n");
  DWORD ret = 0;
  CHECK_STR(Read("s", "k", "default", "q.ini", MAX_PATH, &ret), "a=b");
  CHECK_EQ(ret, 3u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NamesIgnoreCase) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("SECTION1", "NaMe1", "default", "a.ini", MAX_PATH, &ret), "val1");
  CHECK_EQ(ret, 4u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_BlanksAroundNamesAndValuesAreTrimmed) {
  Scratch::File("b.ini", "[s]\r\n   key one   =   value  with  blanks   \r\n");
  DWORD ret = 0;
  CHECK_STR(Read("s", "key one", "default", "b.ini", MAX_PATH, &ret), "value  with  blanks");
  CHECK_EQ(ret, 19u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_QuotesAreStripped) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("section1", "name2", "default", "a.ini", MAX_PATH, &ret), "val2");
  CHECK_EQ(ret, 4u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_FirstOfDuplicateKeysWins) {
  Scratch::File("d.ini", "[s]\r\nk=first\r\nK=second\r\n");
  DWORD ret = 0;
  CHECK_STR(Read("s", "k", "default", "d.ini", MAX_PATH, &ret), "first");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_FirstOfDuplicateSectionsWins) {
  Scratch::File("d.ini", "[s]\r\nk=first\r\n[t]\r\nk=other\r\n[S]\r\nk=second\r\n");
  DWORD ret = 0;
  CHECK_STR(Read("s", "k", "default", "d.ini", MAX_PATH, &ret), "first");
}

// --- Line ends and section headers ------------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_SpacedSectionHeader) {
  Scratch::File("h.ini", "[ Spaced Section ]\r\nk=v\r\n");
  DWORD ret = 0;
  CHECK_STR(Read("Spaced Section", "k", "default", "h.ini", MAX_PATH, &ret), "v");
  CHECK_STR(Read(" Spaced Section ", "k", "default", "h.ini", MAX_PATH, &ret), "v");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_CrOnlyLineEnds) {
  Scratch::File("cr.ini", "[section1]\rname1=val1\rname3\rname4=a\r[section2]\rk=v\r");
  DWORD ret = 0;
  CHECK_STR(Read("section1", "name1", "default", "cr.ini", MAX_PATH, &ret), "val1");
  CHECK_STR(Read("section1", "name4", "default", "cr.ini", MAX_PATH, &ret), "a");
  CHECK_STR(Read("section2", "k", "default", "cr.ini", MAX_PATH, &ret), "v");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_MixedLineEnds) {
  Scratch::File("mix.ini", "[a]\r\none=1\ntwo=2\rthree=3\r\n[b]\nfour=4\r");
  DWORD ret = 0;
  CHECK_STR(Read("a", "one", "default", "mix.ini", MAX_PATH, &ret), "1");
  CHECK_STR(Read("a", "two", "default", "mix.ini", MAX_PATH, &ret), "2");
  CHECK_STR(Read("a", "three", "default", "mix.ini", MAX_PATH, &ret), "3");
  CHECK_STR(Read("b", "four", "default", "mix.ini", MAX_PATH, &ret), "4");
}

// --- Short buffers -----------------------------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_ShortBufferCutsValue) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(Read("section1", "name1", "default", "a.ini", 4, &ret), "val");
  CHECK_EQ(ret, 3u);
  CHECK_STR(Read("section1", "name1", "default", "a.ini", 5, &ret), "val1");
  CHECK_EQ(ret, 4u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_BufferOfOneGivesEmptyText) {
  Scratch::File("a.ini", kSample);
  char buffer[8] = "kumquat";
  CHECK_EQ(GetPrivateProfileStringA("section1", "name4", "default", buffer, 1,
                                    Scratch::Path("a.ini").c_str()),
           0u);
  CHECK_STR(buffer, "");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_SizeZeroLeavesBuffer) {
  Scratch::File("a.ini", kSample);
  char buffer[8] = "kumquat";
  CHECK_EQ(GetPrivateProfileStringA("section1", "name1", "default", buffer, 0,
                                    Scratch::Path("a.ini").c_str()),
           0u);
  CHECK_STR(buffer, "kumquat");
}

// --- Name lists --------------------------------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullSectionListsSections) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(ReadList(nullptr, "a.ini", MAX_PATH, &ret), std::string("section1\0section2\0", 19));
  CHECK_EQ(ret, 18u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullSectionListsSpacedHeaderTrimmed) {
  Scratch::File("h.ini", "[ section1 ]\r\n[section2]\r\n");
  DWORD ret = 0;
  CHECK_STR(ReadList(nullptr, "h.ini", MAX_PATH, &ret), std::string("section1\0section2\0", 19));
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullSectionShortBufferGivesSizeMinus2) {
  WINE_DIFFERS(
      "Wine returns nSize - 2 but fills the cut list otherwise; "
      "dlls/kernel32/tests/profile.c test_GetPrivateProfileString (todo_wine)");
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(ReadList(nullptr, "a.ini", 16, &ret, 2), std::string("section1\0secti\0\0", 16));
  CHECK_EQ(ret, 14u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullSectionListFillingTheBufferIsCut) {
  // "section1\0section2\0" and its final zero fill 19 bytes exactly: Windows
  // still counts that as short (as GetPrivateProfileSectionNamesA).
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  const std::string list = ReadList(nullptr, "a.ini", 19, &ret);
  CHECK_EQ(ret, 17u);
  CHECK_STR(list.substr(0, 18), std::string("section1\0section2\0", 18));
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullSectionOnMissingFileGivesEmptyList) {
  DWORD ret = 1;
  const std::string list = ReadList(nullptr, "none.ini", 10, &ret);
  CHECK_EQ(ret, 0u);
  CHECK_EQ(list[0], '\0');
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullKeyListsOnlyLinesWithEquals) {
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(ReadList("section1", "a.ini", MAX_PATH, &ret),
            std::string("name1\0name2\0name4\0", 19));
  CHECK_EQ(ret, 18u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullKeyCrOnlyLineEnds) {
  Scratch::File("cr.ini", "[section1]\rname1=val1\rname2=\"val2\"\rname3\rname4=a\r[section2]\r");
  DWORD ret = 0;
  CHECK_STR(ReadList("section1", "cr.ini", MAX_PATH, &ret),
            std::string("name1\0name2\0name4\0", 19));
  CHECK_STR(ReadList(nullptr, "cr.ini", MAX_PATH, &ret), std::string("section1\0section2\0", 19));
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_NullKeyShortBufferGivesSizeMinus2) {
  WINE_DIFFERS(
      "Wine returns nSize - 2 but fills the cut list otherwise; "
      "dlls/kernel32/tests/profile.c test_GetPrivateProfileString (todo_wine)");
  Scratch::File("a.ini", kSample);
  DWORD ret = 0;
  CHECK_STR(ReadList("section1", "a.ini", 16, &ret, 2), std::string("name1\0name2\0na\0\0", 16));
  CHECK_EQ(ret, 14u);
}

// --- A file this process holds open -----------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_FileOpenWithoutReadSharingIsUnreadable) {
  Scratch::File("open.ini", "[Test]\r\nProfileInt=123\r\n");
  HANDLE h = CreateFileA(Scratch::Path("open.ini").c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  DWORD ret = 1;
  CHECK_STR(Read("Test", "ProfileInt", nullptr, "open.ini", MAX_PATH, &ret), "");
  CHECK_EQ(ret, 0u);
  // Unreadable as a missing file is: the default comes back.
  CHECK_STR(Read("Test", "ProfileInt", "dflt", "open.ini", MAX_PATH, &ret), "dflt");
  CHECK_EQ(ret, 4u);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  CHECK_STR(Read("Test", "ProfileInt", nullptr, "open.ini", MAX_PATH, &ret), "123");
}

CONFORMANCE_CASE(profile, GetPrivateProfileStringA_FileOpenWithReadSharingIsRead) {
  Scratch::File("open.ini", "[Test]\r\nProfileInt=123\r\n");
  HANDLE h = CreateFileA(Scratch::Path("open.ini").c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK_TRUE(h != INVALID_HANDLE_VALUE);
  DWORD ret = 0;
  CHECK_STR(Read("Test", "ProfileInt", nullptr, "open.ini", MAX_PATH, &ret), "123");
  CHECK_EQ(ret, 3u);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// --- GetPrivateProfileIntA ---------------------------------------------------

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_MissingKeyGivesDefault) {
  Scratch::File("int.ini", "[s]\r\nother=5\r\n");
  const std::string file = Scratch::Path("int.ini");
  CHECK_EQ(GetPrivateProfileIntA("s", "k", -1, file.c_str()), 4294967295u);
  CHECK_EQ(GetPrivateProfileIntA("s", "k", 100000, file.c_str()), 100000u);
  CHECK_EQ(GetPrivateProfileIntA("s", "k", 1, Scratch::Path("none.ini").c_str()), 1u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_EmptyValueGivesDefault) {
  CHECK_EQ(ReadInt("", 65536), 65536u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_MinusOneIsAllBitsSet) {
  CHECK_EQ(ReadInt("-1", 1), 4294967295u);
  CHECK_EQ(ReadInt("-1", 65536), 4294967295u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_PlusSign) {
  if (!conformance::NtFamily())
    WINE_DIFFERS(
        "Windows 9x reads \"+1\" as 0, Wine as 1; dlls/kernel32/tests/profile.c test_profile_int "
        "(result9x, before 9x was dropped)");
  if (conformance::NtFamily())
    CHECK_EQ(ReadInt("+1", -1), 1u);
  else
    CHECK_EQ(ReadInt("+1", -1), 0u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_DigitsWrapAt32Bits) {
  CHECK_EQ(ReadInt("4294967296", 1), 0u);
  CHECK_EQ(ReadInt("4294967297", -1), 1u);
  CHECK_EQ(ReadInt("-4294967297", 1), 4294967295u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_StopsAtFirstNonDigit) {
  CHECK_EQ(ReadInt("42A94967297", -1), 42u);
  CHECK_EQ(ReadInt("B4294967297", -1), 0u);
  CHECK_EQ(ReadInt("  7  ", -1), 7u);
}

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_HexPrefix) { CHECK_EQ(ReadInt("0x10", -1), 16u); }

CONFORMANCE_CASE(profile, GetPrivateProfileIntA_NullKeyOnMissingFile) {
  if (!conformance::NtFamily())
    WINE_DIFFERS(
        "Windows 9x answers 0 without a section or key name, Wine the default; "
        "dlls/kernel32/tests/profile.c test_profile_int (result9x, before 9x was dropped)");
  const std::string file = Scratch::Path("none.ini");
  if (conformance::NtFamily()) {
    CHECK_EQ(GetPrivateProfileIntA("Test", nullptr, -1, file.c_str()), 4294967295u);
    CHECK_EQ(GetPrivateProfileIntA(nullptr, nullptr, 1, file.c_str()), 1u);
  } else {
    CHECK_EQ(GetPrivateProfileIntA("Test", nullptr, -1, file.c_str()), 0u);
    CHECK_EQ(GetPrivateProfileIntA(nullptr, nullptr, 1, file.c_str()), 0u);
  }
}
