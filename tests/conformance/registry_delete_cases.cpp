// Deleting keys: one key (RegDeleteKeyA) and whole trees (SHDeleteKeyA).
#include "conformance/conformance.h"
#include "conformance/registry_helpers.h"

using namespace conformance;

CONFORMANCE_CASE(registry, RegDeleteKeyA_LeafKey) {
  MakeScratchKey("Leaf");
  CHECK_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("leaf").c_str()), ERROR_SUCCESS);
  CHECK_TRUE(!ScratchKeyExists("Leaf"));
}

CONFORMANCE_CASE(registry, RegDeleteKeyA_MissingKeyGives2) {
  CHECK_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Missing").c_str()), ERROR_FILE_NOT_FOUND);
}

CONFORMANCE_CASE(registry, RegDeleteKeyA_KeyWithSubkeys) {
  // NT deletes only a key without subkeys; 9x deletes the tree.
  MakeScratchKey("Tree\\Child\\Grandchild");
  const LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Tree").c_str());
  if (NtFamily()) {
    CHECK_EQ(rc, ERROR_ACCESS_DENIED);
    CHECK_TRUE(ScratchKeyExists("Tree\\Child\\Grandchild"));
  } else {
    CHECK_EQ(rc, ERROR_SUCCESS);
    CHECK_TRUE(!ScratchKeyExists("Tree"));
  }
}

CONFORMANCE_CASE(registry, RegDeleteKeyA_EmptyNameDeletesTheOpenKey) {
  HKEY key = CreateScratchKey("Self");
  CHECK_EQ(RegDeleteKeyA(key, ""), ERROR_SUCCESS);
  RegCloseKey(key);
  CHECK_TRUE(!ScratchKeyExists("Self"));
}

CONFORMANCE_CASE(registry, RegDeleteKeyA_LeadingBackslash) {
  // NT refuses it as RegOpenKeyExA does. 9x: not checked (no source).
  MakeScratchKey("Lead");
  const std::string path = "\\" + Scratch::Key("Lead");
  const LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
  if (NtFamily()) {
    CHECK_EQ(rc, 161);
    CHECK_TRUE(ScratchKeyExists("Lead"));
  }
}

CONFORMANCE_CASE(registry, RegDeleteKeyA_ClosedHandle) {
  WineDiffersOn9x(kWineBadKey);
  CHECK_EQ(RegDeleteKeyA(ClosedHandle(), "x"), InvalidHandleError());
}

CONFORMANCE_CASE(registry, SHDeleteKeyA_DeletesTheTree) {
  MakeScratchKey("Tree\\A\\B");
  MakeScratchKey("Tree\\C");
  HKEY values = CreateScratchKey("Tree\\A");
  SetDword(values, "v", 1);
  RegCloseKey(values);
  CHECK_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Tree").c_str()),
           static_cast<DWORD>(ERROR_SUCCESS));
  CHECK_TRUE(!ScratchKeyExists("Tree"));
  CHECK_TRUE(ScratchKeyExists(""));
}

CONFORMANCE_CASE(registry, SHDeleteKeyA_MissingKeyGives2) {
  CHECK_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, Scratch::Key("Missing").c_str()),
           static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

CONFORMANCE_CASE(registry, SHDeleteKeyA_UnderAnOpenKey) {
  MakeScratchKey("Under\\X\\Y");
  HKEY key = CreateScratchKey("Under");
  CHECK_EQ(SHDeleteKeyA(key, "x"), static_cast<DWORD>(ERROR_SUCCESS));
  CHECK_STR(Joined(SubkeyNames(key)), "");
  RegCloseKey(key);
}
