// Setting, reading and deleting values: sizes, terminating zeros, types.
#include <cstring>
#include <string>

#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

using namespace conformance;

namespace {

BYTE* Bytes(char* p) { return reinterpret_cast<BYTE*>(p); }
const BYTE* Bytes(const char* p) { return reinterpret_cast<const BYTE*>(p); }

}  // namespace

CONFORMANCE_CASE(registry, RegSetValueExA_StringCountedWithoutItsZero) {
  // NT adds the zero the count left out (dlls/advapi32/tests/registry.c
  // test_string_termination); 9x measures REG_SZ itself.
  HKEY key = CreateScratchKey("");
  const char text[] = "FullString";
  CHECK_EQ(RegSetValueExA(key, "s", 0, REG_SZ, Bytes(text), sizeof text - 1), ERROR_SUCCESS);
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD size = sizeof buffer;
  DWORD type = 0;
  CHECK_EQ(RegQueryValueExA(key, "s", nullptr, &type, Bytes(buffer), &size), ERROR_SUCCESS);
  CHECK_EQ(size, sizeof text);
  CHECK_EQ(type, static_cast<DWORD>(REG_SZ));
  CHECK_STR(std::string(buffer, sizeof text - 1), "FullString");
  CHECK_EQ(buffer[sizeof text - 1], 0);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_StringCountedTwoShort) {
  HKEY key = CreateScratchKey("");
  const char text[] = "FullString";
  CHECK_EQ(RegSetValueExA(key, "s", 0, REG_SZ, Bytes(text), sizeof text - 2), ERROR_SUCCESS);
  CHECK_EQ(ValueSize(key, "s"), NtFamily() ? sizeof text - 2 : sizeof text);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_MultiStringCountedWithoutItsLastZero) {
  HKEY key = CreateScratchKey("");
  const char list[] = "ab\0cd\0";  // counted up to "d": NT adds one zero
  CHECK_EQ(RegSetValueExA(key, "m", 0, REG_MULTI_SZ, Bytes(list), 5), ERROR_SUCCESS);
  CHECK_EQ(ValueSize(key, "m"), NtFamily() ? 6u : 5u);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_StringOfZeroBytes) {
  // NT keeps zero bytes ("as Office 2003 does", test_set_value); 9x stores "".
  HKEY key = CreateScratchKey("");
  CHECK_EQ(RegSetValueExA(key, "z", 0, REG_SZ, Bytes(""), 0), ERROR_SUCCESS);
  CHECK_EQ(ValueSize(key, "z"), NtFamily() ? 0u : 1u);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_NullStringData) {
  // test_enum_value: 9x refuses REG_SZ without data, NT stores an empty value.
  HKEY key = CreateScratchKey("");
  CHECK_EQ(RegSetValueExA(key, "n", 0, REG_SZ, nullptr, 0),
           NtFamily() ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_ReplacesTypeAndData) {
  HKEY key = CreateScratchKey("");
  SetText(key, "v", "some text");
  SetDword(key, "v", 0x01020304);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  CHECK_EQ(RegQueryValueExA(key, "V", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
           ERROR_SUCCESS);
  CHECK_EQ(type, static_cast<DWORD>(REG_DWORD));
  CHECK_EQ(size, 4u);
  CHECK_EQ(value, 0x01020304u);
  CHECK_STR(Joined(ValueNames(key)), "v");  // one value, its first spelling
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_HandleWithoutSetRight) {
  // 9x has no registry security: every handle may write.
  MakeScratchKey("Ro");
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("Ro").c_str(), 0, KEY_READ, &key),
           ERROR_SUCCESS);
  DWORD one = 1;
  CHECK_EQ(RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one),
           NtFamily() ? ERROR_ACCESS_DENIED : ERROR_SUCCESS);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegSetValueExA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  DWORD one = 1;
  CHECK_EQ(
      RegSetValueExA(ClosedHandle(), "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one),
      InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegQueryValueExA_NullDataGivesTypeAndSize) {
  HKEY key = CreateScratchKey("");
  SetText(key, "p", "C:\\Path", REG_EXPAND_SZ);
  DWORD type = 0;
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(key, "p", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  CHECK_EQ(size, 8u);
  CHECK_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  type = 0;
  CHECK_EQ(RegQueryValueExA(key, "p", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  CHECK_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_ZeroSizedBuffer) {
  HKEY key = CreateScratchKey("");
  SetDword(key, "d", 7);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(key, "d", nullptr, nullptr, Bytes(buffer), &size), ERROR_MORE_DATA);
  CHECK_EQ(size, 4u);
  CHECK_EQ(buffer[0], 'x');
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_MissingValueGives2) {
  HKEY key = CreateScratchKey("");
  SetDword(key, "there", 1);
  char buffer[8];
  DWORD size = sizeof buffer;
  CHECK_EQ(RegQueryValueExA(key, "absent", nullptr, nullptr, Bytes(buffer), &size),
           ERROR_FILE_NOT_FOUND);
  CHECK_EQ(size, static_cast<DWORD>(sizeof buffer));
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_DefaultValueByNullOrEmptyName) {
  HKEY key = CreateScratchKey("");
  SetText(key, "", "default");
  for (const char* name : {static_cast<const char*>(nullptr), ""}) {
    char buffer[16] = {};
    DWORD size = sizeof buffer;
    CHECK_EQ(RegQueryValueExA(key, name, nullptr, nullptr, Bytes(buffer), &size), ERROR_SUCCESS);
    CHECK_STR(buffer, "default");
    CHECK_EQ(size, 8u);
  }
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_UnterminatedStringGetsAZeroWhenThereIsRoom) {
  // test_string_termination. On 9x the value was stored with its zero.
  HKEY key = CreateScratchKey("");
  const char text[] = "FullString";
  const DWORD stored = NtFamily() ? sizeof text - 2 : sizeof text;
  CHECK_EQ(RegSetValueExA(key, "s", 0, REG_SZ, Bytes(text), sizeof text - 2), ERROR_SUCCESS);
  BYTE buffer[16];
  std::memset(buffer, 0xBD, sizeof buffer);
  DWORD size = stored;  // no room for a zero
  CHECK_EQ(RegQueryValueExA(key, "s", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  CHECK_EQ(size, stored);
  CHECK_EQ(buffer[stored], 0xBD);
  std::memset(buffer, 0xBD, sizeof buffer);
  size = sizeof buffer;
  CHECK_EQ(RegQueryValueExA(key, "s", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  CHECK_EQ(size, stored);
  CHECK_EQ(buffer[stored], NtFamily() ? 0 : 0xBD);
  CHECK_EQ(buffer[stored - 1], NtFamily() ? 'n' : 0);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_HandleWithoutQueryRight) {
  HKEY writable = CreateScratchKey("Wo");
  SetDword(writable, "v", 1);
  RegCloseKey(writable);
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("Wo").c_str(), 0, KEY_SET_VALUE, &key),
           ERROR_SUCCESS);
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, &size),
           NtFamily() ? ERROR_ACCESS_DENIED : ERROR_SUCCESS);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_ReservedMustBeNull) {
  HKEY key = CreateScratchKey("");
  SetDword(key, "v", 1);
  DWORD reserved = 0;
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(key, "v", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  DWORD size = 0;
  CHECK_EQ(RegQueryValueExA(ClosedHandle(), "v", nullptr, nullptr, nullptr, &size),
           InvalidHandleError());
}

CONFORMANCE_CASE(registry, RegDeleteValueA_ThenItIsGone) {
  HKEY key = CreateScratchKey("");
  SetDword(key, "a", 1);
  SetDword(key, "b", 2);
  CHECK_EQ(RegDeleteValueA(key, "A"), ERROR_SUCCESS);
  CHECK_EQ(RegDeleteValueA(key, "a"), ERROR_FILE_NOT_FOUND);
  CHECK_STR(Joined(ValueNames(key)), "b");
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegDeleteValueA_DefaultValue) {
  HKEY key = CreateScratchKey("");
  SetText(key, "", "default");
  CHECK_EQ(RegDeleteValueA(key, ""), ERROR_SUCCESS);
  CHECK_EQ(RegDeleteValueA(key, nullptr), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegDeleteValueA_HandleWithoutSetRight) {
  HKEY writable = CreateScratchKey("Ro");
  SetDword(writable, "v", 1);
  RegCloseKey(writable);
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("Ro").c_str(), 0, KEY_READ, &key),
           ERROR_SUCCESS);
  CHECK_EQ(RegDeleteValueA(key, "v"), NtFamily() ? ERROR_ACCESS_DENIED : ERROR_SUCCESS);
  RegCloseKey(key);
}

CONFORMANCE_CASE(registry, RegDeleteValueA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  CHECK_EQ(RegDeleteValueA(ClosedHandle(), "v"), InvalidHandleError());
}
