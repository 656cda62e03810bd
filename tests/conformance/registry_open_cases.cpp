// Opening, creating and closing keys: paths, handles and dispositions.
#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

using namespace conformance;

namespace {

constexpr LONG kBadPathname = 161;  // ERROR_BAD_PATHNAME

}  // namespace

CONFORMANCE_CASE(registry, RegOpenKeyExA_MissingKeyClearsTheHandle) {
  HKEY key = HKEY_CURRENT_USER;
  CHECK_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("Nope\\Deeper").c_str(), 0, KEY_READ, &key),
      ERROR_FILE_NOT_FOUND);
  CHECK_TRUE(key == nullptr);
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_NamesIgnoreCase) {
  MakeScratchKey("Mixed\\Case");
  HKEY key = nullptr;
  CHECK_EQ(
      RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\cvsconformance\\MIXED\\case", 0, KEY_READ, &key),
      ERROR_SUCCESS);
  if (key) RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_LeadingBackslash) {
  // Windows 9x/ME: ERROR_FILE_NOT_FOUND (older dlls/advapi32/tests/registry.c test_reg_open_key).
  WineDiffersOn9x("Wine refuses a leading backslash with 161 in 98 mode too");
  MakeScratchKey("Lead");
  HKEY key = nullptr;
  const std::string path = "\\" + Scratch::Key("Lead");
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key),
           NtFamily() ? kBadPathname : ERROR_FILE_NOT_FOUND);
  CHECK_TRUE(key == nullptr);
  if (key) RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_EmptyPartsAreSkipped) {
  MakeScratchKey("A\\B");
  for (const char* sub : {"A\\\\B", "A\\B\\", "A\\B\\\\", "A\\\\\\B"}) {
    HKEY key = nullptr;
    CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key(sub).c_str(), 0, KEY_READ, &key),
             ERROR_SUCCESS);
    if (key) RegCloseKey(key);
  }
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_NoSubkeyOfAPredefinedKeyGivesItBack) {
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key), ERROR_SUCCESS);
  CHECK_TRUE(key == HKEY_CURRENT_USER);
  key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
  CHECK_TRUE(key == HKEY_LOCAL_MACHINE);
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_NoSubkeyOfAnOpenKeyGivesANewHandle) {
  HKEY parent = CreateScratchKey("Own");
  SetDword(parent, "v", 1);
  HKEY again = nullptr;
  CHECK_EQ(RegOpenKeyExA(parent, "", 0, KEY_READ, &again), ERROR_SUCCESS);
  CHECK_TRUE(again != nullptr && again != parent);
  RegCloseKey(parent);
  // The new handle outlives the one it was opened from.
  CHECK_EQ(ValueSize(again, "v"), 4u);
  CHECK_EQ(RegCloseKey(again), ERROR_SUCCESS);
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(ClosedHandle(), "x", 0, KEY_READ, &key), InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegCreateKeyExA_NewThenExisting) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const std::string path = Scratch::Key("Fresh");
  CHECK_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &key, &disposition),
           ERROR_SUCCESS);
  CHECK_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  RegCloseKey(key);
  disposition = 0;
  CHECK_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\CVSCONFORMANCE\\fresh", 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition),
           ERROR_SUCCESS);
  CHECK_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegCreateKeyExA_MakesMissingParents) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  CHECK_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Scratch::Key("P1\\P2\\P3").c_str(), 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition),
           ERROR_SUCCESS);
  CHECK_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  if (key) RegCloseKey(key);
  CHECK_TRUE(ScratchKeyExists("P1"));
  CHECK_TRUE(ScratchKeyExists("P1\\P2"));
}

CONFORMANCE_CASE(registry, RegCreateKeyExA_LeadingBackslash) {
  // dlls/advapi32/tests/registry.c test_reg_create_key: NT 161; 9x skips one backslash.
  HKEY parent = CreateScratchKey("");
  HKEY key = nullptr;
  const LONG rc =
      RegCreateKeyExA(parent, "\\Sub3", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (NtFamily()) {
    CHECK_EQ(rc, kBadPathname);
    CHECK_TRUE(!ScratchKeyExists("Sub3"));
  } else {
    CHECK_EQ(rc, ERROR_SUCCESS);
    CHECK_TRUE(ScratchKeyExists("Sub3"));
  }
  if (key) RegCloseKey(key);
  RegCloseKey(parent);
}

CONFORMANCE_CASE(registry, RegCreateKeyExA_EmptyPartsAreSkipped) {
  HKEY key = nullptr;
  CHECK_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Scratch::Key("E1\\\\E2\\\\").c_str(), 0, nullptr, 0,
                           KEY_ALL_ACCESS, nullptr, &key, nullptr),
           ERROR_SUCCESS);
  if (key) RegCloseKey(key);
  HKEY e1 = CreateScratchKey("E1");
  CHECK_STR(Joined(SubkeyNames(e1)), "E2");
  RegCloseKey(e1);
}

CONFORMANCE_CASE(registry, RegCreateKeyExA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  HKEY key = nullptr;
  CHECK_EQ(
      RegCreateKeyExA(ClosedHandle(), "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
      InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegCloseKey_OpenThenClosedHandle) {
  HKEY key = CreateScratchKey("Close");
  CHECK_EQ(RegCloseKey(key), ERROR_SUCCESS);
  // Windows 95 answers 0 to a second close (test_reg_close_key); NT and 98 refuse it.
  WineDiffersOn9x(kWineBadKey);
  CHECK_EQ(RegCloseKey(key), InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegCloseKey_PredefinedKey) {
  CHECK_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  // Still usable afterwards.
  CHECK_TRUE(ScratchKeyExists(""));
}

CONFORMANCE_CASE(registry, RegOpenKeyExA_LeadingBackslashUnderClassesRoot) {
  // From Windows 2000 on HKEY_CLASSES_ROOT skips one leading backslash
  // (dlls/advapi32/tests/registry.c test_reg_open_key); 9x finds no key.
  WineDiffersOn9x("Wine refuses a leading backslash with 161 in 98 mode too");
  HKEY made = nullptr;
  CHECK_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "CvsConformance", 0, nullptr, 0, KEY_ALL_ACCESS,
                           nullptr, &made, nullptr),
           ERROR_SUCCESS);
  if (made) RegCloseKey(made);
  // NT 4 predates the skip: it refuses the path as other keys do (161).
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExA(&info);
  const LONG expected = !NtFamily()                ? ERROR_FILE_NOT_FOUND
                        : info.dwMajorVersion >= 5 ? ERROR_SUCCESS
                                                   : 161;  // ERROR_BAD_PATHNAME
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\CvsConformance", 0, KEY_READ, &key), expected);
  if (key) RegCloseKey(key);
  CHECK_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "CvsConformance"), ERROR_SUCCESS);
}
