// Processes, tokens, privileges and registry key security of the simulated
// PC. The NT family answers as Windows does; the 9x family has no security:
// its advapi32 answers these calls with ERROR_CALL_NOT_IMPLEMENTED.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/open_files.h"
#include "sim/registry.h"

namespace {

using sim::Machine;

constexpr DWORD kErrorNoAccess = 998;  // ERROR_NOACCESS: a bad pointer
constexpr DWORD kErrorInvalidSid = 1337;
constexpr DWORD kRpcServerUnavailable = 1722;

struct ProcessObject : sim::HandleObject {
  static constexpr sim::HandleKind kKind = sim::HandleKind::Process;
  sim::HandleKind Kind() const override { return kKind; }
  DWORD access = 0;
};

struct TokenObject : sim::HandleObject {
  static constexpr sim::HandleKind kKind = sim::HandleKind::Token;
  sim::HandleKind Kind() const override { return kKind; }
  DWORD access = 0;
};

// Privilege names by their locally unique identifiers (winnt.h SE_*_PRIVILEGE).
const char* const kPrivileges[] = {
    nullptr,
    nullptr,
    "SeCreateTokenPrivilege",
    "SeAssignPrimaryTokenPrivilege",
    "SeLockMemoryPrivilege",
    "SeIncreaseQuotaPrivilege",
    "SeMachineAccountPrivilege",
    "SeTcbPrivilege",
    "SeSecurityPrivilege",
    "SeTakeOwnershipPrivilege",
    "SeLoadDriverPrivilege",
    "SeSystemProfilePrivilege",
    "SeSystemtimePrivilege",
    "SeProfileSingleProcessPrivilege",
    "SeIncreaseBasePriorityPrivilege",
    "SeCreatePagefilePrivilege",
    "SeCreatePermanentPrivilege",
    "SeBackupPrivilege",
    "SeRestorePrivilege",
    "SeShutdownPrivilege",
    "SeDebugPrivilege",
    "SeAuditPrivilege",
    "SeSystemEnvironmentPrivilege",
    "SeChangeNotifyPrivilege",
    "SeRemoteShutdownPrivilege",
    "SeUndockPrivilege",
    "SeSyncAgentPrivilege",
    "SeEnableDelegationPrivilege",
    "SeManageVolumePrivilege",
    "SeImpersonatePrivilege",
    "SeCreateGlobalPrivilege",
};
constexpr DWORD kPrivilegeCount = sizeof kPrivileges / sizeof kPrivileges[0];

const char* PrivilegeName(const LUID& luid) {
  if (luid.HighPart != 0 || luid.LowPart >= kPrivilegeCount) return nullptr;
  return kPrivileges[luid.LowPart];
}

bool Is9x(const Machine& m) { return !m.system.NtFamily(); }

// The process token's privilege state also decides who may take keys over.
void SyncTakeOwnership(Machine& m) {
  m.registry.take_ownership_enabled = m.system.enabled_privileges.count("SeTakeOwnershipPrivilege");
}

// S-1-5-32-544, the local Administrators group.
bool IsAdministrators(const unsigned char* sid) {
  static const unsigned char kAdmins[] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
  return sid[0] == 1 && sid[1] == 2 && std::memcmp(sid, kAdmins, sizeof kAdmins) == 0;
}

// The current process: its pseudo handle, or a handle OpenProcess gave out.
bool ProcessAccess(Machine& m, HANDLE h, DWORD* access) {
  if (h == INVALID_HANDLE_VALUE) {  // GetCurrentProcess()
    *access = ~DWORD(0);
    return true;
  }
  ProcessObject* p = m.handles.GetAs<ProcessObject>(h);
  if (!p) return false;
  *access = p->access;
  return true;
}

}  // namespace

DWORD WINAPI GetCurrentProcessId() { return sim::CurrentOrDie().system.ProcessId(); }

// A pseudo handle, as Windows gives it: (HANDLE)-1, never closed.
HANDLE WINAPI GetCurrentProcess() { return INVALID_HANDLE_VALUE; }

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId) {
  Machine& m = sim::CurrentOrDie();
  if (DWORD e = m.faults.Check("OpenProcess")) return sim::Fail(m, e, HANDLE(nullptr));
  // The program sees no process but its own.
  if (dwProcessId != m.system.ProcessId())
    return sim::Fail(m, ERROR_INVALID_PARAMETER, HANDLE(nullptr));
  auto p = std::make_unique<ProcessObject>();
  p->access = dwDesiredAccess;
  return m.handles.Add(std::move(p));
}

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
  Machine& m = sim::CurrentOrDie();
  if (Is9x(m)) return sim::Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (DWORD e = m.faults.Check("OpenProcessToken")) return sim::Fail(m, e, FALSE);
  DWORD access = 0;
  if (!ProcessAccess(m, ProcessHandle, &access)) return sim::Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!(access & PROCESS_QUERY_INFORMATION)) return sim::Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (!TokenHandle) return sim::Fail(m, kErrorNoAccess, FALSE);
  auto t = std::make_unique<TokenObject>();
  t->access = DesiredAccess;
  *TokenHandle = m.handles.Add(std::move(t));
  return TRUE;
}

BOOL WINAPI LookupPrivilegeValueA(LPCSTR lpSystemName, LPCSTR lpName, PLUID lpLuid) {
  Machine& m = sim::CurrentOrDie();
  if (Is9x(m)) return sim::Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (DWORD e = m.faults.Check("LookupPrivilegeValueA", "", "", lpName ? lpName : ""))
    return sim::Fail(m, e, FALSE);
  // Only this PC answers: another computer's name finds no server.
  if (lpSystemName && *lpSystemName && !sim::EqualNoCase(lpSystemName, m.system.computer_name))
    return sim::Fail(m, kRpcServerUnavailable, FALSE);
  if (!lpName) return sim::Fail(m, ERROR_INVALID_PARAMETER, FALSE);
  for (DWORD i = 0; i < kPrivilegeCount; ++i) {
    if (kPrivileges[i] && sim::EqualNoCase(lpName, kPrivileges[i])) {
      if (!lpLuid) return sim::Fail(m, kErrorNoAccess, FALSE);
      lpLuid->LowPart = i;
      lpLuid->HighPart = 0;
      return TRUE;
    }
  }
  return sim::Fail(m, ERROR_NO_SUCH_PRIVILEGE, FALSE);
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges,
                                  PTOKEN_PRIVILEGES NewState, DWORD BufferLength,
                                  PTOKEN_PRIVILEGES PreviousState, PDWORD ReturnLength) {
  Machine& m = sim::CurrentOrDie();
  if (Is9x(m)) return sim::Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (DWORD e = m.faults.Check("AdjustTokenPrivileges")) return sim::Fail(m, e, FALSE);
  TokenObject* token = m.handles.GetAs<TokenObject>(TokenHandle);
  if (!token) return sim::Fail(m, ERROR_INVALID_HANDLE, FALSE);
  if (!(token->access & TOKEN_ADJUST_PRIVILEGES) ||
      (PreviousState && !(token->access & TOKEN_QUERY)))
    return sim::Fail(m, ERROR_ACCESS_DENIED, FALSE);
  if (!DisableAllPrivileges && !NewState) return sim::Fail(m, ERROR_INVALID_PARAMETER, FALSE);

  auto& enabled = m.system.enabled_privileges;
  // The changes first, so that nothing changes when the previous state does not fit.
  struct Change {
    DWORD luid;
    bool enable;
  };
  std::vector<Change> changes;
  bool notAll = false;
  if (DisableAllPrivileges) {
    for (DWORD i = 0; i < kPrivilegeCount; ++i) {
      if (kPrivileges[i] && enabled.count(kPrivileges[i])) changes.push_back({i, false});
    }
  } else {
    for (DWORD i = 0; i < NewState->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& entry = NewState->Privileges[i];
      const char* name = PrivilegeName(entry.Luid);
      if (!name || !m.system.HoldsPrivilege(name)) {
        notAll = true;
        continue;
      }
      const bool enable = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
      if (enabled.count(name) != static_cast<size_t>(enable))
        changes.push_back({entry.Luid.LowPart, enable});
    }
  }
  if (PreviousState) {
    const DWORD needed =
        static_cast<DWORD>(sizeof(DWORD) + changes.size() * sizeof(LUID_AND_ATTRIBUTES));
    if (ReturnLength) *ReturnLength = needed;
    if (BufferLength < needed) return sim::Fail(m, ERROR_INSUFFICIENT_BUFFER, FALSE);
    PreviousState->PrivilegeCount = static_cast<DWORD>(changes.size());
    LUID_AND_ATTRIBUTES* out = PreviousState->Privileges;
    for (const Change& c : changes) {
      out->Luid.LowPart = c.luid;
      out->Luid.HighPart = 0;
      out->Attributes = c.enable ? 0 : SE_PRIVILEGE_ENABLED;
      ++out;
    }
  }
  for (const Change& c : changes) {
    if (c.enable) {
      enabled.insert(kPrivileges[c.luid]);
    } else {
      enabled.erase(kPrivileges[c.luid]);
    }
  }
  SyncTakeOwnership(m);
  // Success either way; the last error tells whether every privilege was assigned.
  m.last_error = notAll ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS;
  return TRUE;
}

BOOL WINAPI AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY pIdentifierAuthority,
                                     BYTE nSubAuthorityCount, DWORD nSubAuthority0,
                                     DWORD nSubAuthority1, DWORD nSubAuthority2,
                                     DWORD nSubAuthority3, DWORD nSubAuthority4,
                                     DWORD nSubAuthority5, DWORD nSubAuthority6,
                                     DWORD nSubAuthority7, PSID* pSid) {
  Machine& m = sim::CurrentOrDie();
  if (Is9x(m)) return sim::Fail(m, ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (DWORD e = m.faults.Check("AllocateAndInitializeSid")) return sim::Fail(m, e, FALSE);
  if (nSubAuthorityCount > 8) return sim::Fail(m, kErrorInvalidSid, FALSE);
  if (!pIdentifierAuthority || !pSid) return sim::Fail(m, kErrorNoAccess, FALSE);
  const DWORD sub[8] = {nSubAuthority0, nSubAuthority1, nSubAuthority2, nSubAuthority3,
                        nSubAuthority4, nSubAuthority5, nSubAuthority6, nSubAuthority7};
  // Windows' layout: revision, count, authority (6 bytes), then the sub-authorities.
  const size_t size = 8 + 4 * size_t(nSubAuthorityCount);
  std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
  bytes[0] = 1;
  bytes[1] = nSubAuthorityCount;
  std::memcpy(&bytes[2], pIdentifierAuthority->Value, 6);
  for (BYTE i = 0; i < nSubAuthorityCount; ++i) {
    for (int b = 0; b < 4; ++b)
      bytes[8 + 4 * i + b] = static_cast<unsigned char>(sub[i] >> (8 * b));
  }
  void* sid = bytes.get();
  m.sids[sid] = std::move(bytes);
  *pSid = sid;
  return TRUE;
}

PVOID WINAPI FreeSid(PSID pSid) {
  Machine& m = sim::CurrentOrDie();
  // Not one of ours: handed back, as Windows does when the heap refuses it.
  return m.sids.erase(pSid) ? nullptr : pSid;
}

DWORD WINAPI SetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE ObjectType,
                             SECURITY_INFORMATION SecurityInfo, PSID psidOwner, PSID psidGroup,
                             PACL pDacl, PACL pSacl) {
  Machine& m = sim::CurrentOrDie();
  if (Is9x(m)) return ERROR_CALL_NOT_IMPLEMENTED;
  sim::Registry& reg = m.registry;
  HKEY hKey = static_cast<HKEY>(handle);
  sim::OpenRegKey* open = ObjectType == SE_REGISTRY_KEY ? reg.Handle(hKey) : nullptr;
  if (DWORD e = m.faults.Check("SetSecurityInfo", "", open ? open->path : "")) return e;
  // Only registry keys opened by the program are modelled (no files, services
  // or predefined keys).
  if (ObjectType != SE_REGISTRY_KEY) return ERROR_INVALID_PARAMETER;
  if (!open) return ERROR_INVALID_HANDLE;
  if (open->key->deleted) return ERROR_KEY_DELETED;
  const bool owner = SecurityInfo & OWNER_SECURITY_INFORMATION;
  const bool dacl = SecurityInfo & DACL_SECURITY_INFORMATION;
  // Groups, audit lists and the entries of an access list are not modelled.
  if ((SecurityInfo & ~(OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION)) || (dacl && pDacl))
    return ERROR_CALL_NOT_IMPLEMENTED;
  if (owner && !psidOwner) return ERROR_INVALID_PARAMETER;
  // The rights granted when the handle was opened decide, not the key's current state.
  if ((owner && !(open->access & WRITE_OWNER)) || (dacl && !(open->access & WRITE_DAC)))
    return ERROR_ACCESS_DENIED;
  // An owner must be a group of the token that may own objects: for an
  // administrator that is the Administrators group (the user's own identity
  // cannot be built here).
  if (owner && !(reg.administrator && IsAdministrators(static_cast<unsigned char*>(psidOwner))))
    return ERROR_INVALID_OWNER;
  sim::RegKey* key = open->key.get();
  if (owner) key->owned_by_administrators = true;
  // No access list: everyone gets every right.
  if (dacl) key->access = sim::KeyAccess::kNormal;
  return ERROR_SUCCESS;
}
