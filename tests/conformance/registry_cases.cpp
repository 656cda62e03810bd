// Registry calls: what Windows answers, per family where it differs.
#include "conformance/registry_helpers.h"

using conformance::CreateScratchKey;
using conformance::Scratch;

CONFORMANCE_CASE(registry, RegOpenKeyExA_MissingKeyGives2) {
  HKEY key = nullptr;
  CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, Scratch::Key("Missing").c_str(), 0, KEY_READ, &key),
           ERROR_FILE_NOT_FOUND);
}

CONFORMANCE_CASE(registry, RegQueryValueExA_ShortBufferGives234AndTheSize) {
  HKEY key = CreateScratchKey("Short");
  const char text[] = "abcdef";
  CHECK_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
           ERROR_SUCCESS);
  char buffer[4] = {'x', 'x', 'x', 'x'};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  CHECK_EQ(RegQueryValueExA(key, "v", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
           ERROR_MORE_DATA);
  CHECK_EQ(size, 7u);
  CHECK_EQ(type, static_cast<DWORD>(REG_SZ));
  RegCloseKey(key);
}
