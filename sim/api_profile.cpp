// The profile (INI) reading calls, with the Windows profile API's rules.
#include <cstring>

#include "platform/win32.h"
#include "sim/machine.h"
#include "sim/open_files.h"
#include "sim/profile_file.h"
#include "sim/text.h"

using sim::Machine;

namespace {

// The file a profile call reads, looked up once for the fault list and the
// read: a bare name lives in the Windows directory.
sim::PathLookup ProfileFileOf(Machine& m, LPCSTR fileName) {
  std::string name = fileName ? fileName : "win.ini";
  if (name.find_first_of("\\/") == std::string::npos) {
    const std::string* windows = m.system.Directory("windows");
    name = sim::JoinPath(windows ? *windows : std::string("C:\\WINDOWS"), name);
  }
  return m.files.Lookup(name);
}

// The profile calls open the file for reading and share reading and writing:
// a handle of this process that does not share reading keeps them out.
bool HeldWithoutReadSharing(const Machine& m, const std::string& full) {
  for (const auto& h : m.handles.All()) {
    if (h.second->Kind() != sim::HandleKind::File) continue;
    const auto& o = static_cast<const sim::OpenFile&>(*h.second);
    if (sim::EqualNoCase(o.full, full) && !(o.share & FILE_SHARE_READ)) return true;
  }
  return false;
}

// The parsed file, or nullptr when it cannot be read. The last file parsed is
// kept while its bytes stay the same, so a big control file read key by key
// is parsed once.
const sim::ProfileFile* LoadProfile(Machine& m, const sim::PathLookup& p) {
  static std::string cachedBytes;
  static sim::ProfileFile cached;
  static bool valid = false;
  if (p.error || !p.exists || p.directory) return nullptr;
  if (m.files.Flags(p.full).in_use) return nullptr;  // Windows cannot open it either
  if (HeldWithoutReadSharing(m, p.full)) return nullptr;
  std::string bytes;
  if (!m.files.Host().ReadAll(p.host, &bytes)) return nullptr;
  if (!valid || bytes != cachedBytes) {
    cached = sim::ProfileFile::Parse(bytes);
    cachedBytes = std::move(bytes);
    valid = true;
  }
  return &cached;
}

DWORD CopyText(const std::string& text, LPSTR buffer, DWORD size) {
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

// A list of names, each ended by a zero, the list by a second zero. When the
// buffer is short the list is cut and still ends in two zeros: nSize - 2.
// Windows counts a buffer that would be filled to its last byte as short too.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string all;
  for (const std::string& n : names) {
    all += n;
    all += '\0';
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  if (all.size() + 2 <= size) {
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    return static_cast<DWORD>(all.size());
  }
  std::memcpy(buffer, all.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

DWORD ReadProfileString(Machine& m, LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                        LPSTR lpReturnedString, DWORD nSize, const sim::PathLookup& file) {
  if (!lpReturnedString || nSize == 0) return 0;
  // The default loses its trailing blanks.
  std::string def = lpDefault ? lpDefault : "";
  while (!def.empty() && def.back() == ' ') def.pop_back();
  const sim::ProfileFile* f = LoadProfile(m, file);
  if (!lpAppName || !lpKeyName) {
    std::vector<std::string> names;
    if (f && !lpAppName) {
      for (size_t i = 1; i < f->sections.size(); ++i) names.push_back(f->sections[i].name);
    } else if (f) {
      // Only lines with an '=' are keys; comment lines are none either.
      if (const sim::ProfileSection* s = f->FindSection(lpAppName)) {
        for (const sim::ProfileKey& k : s->keys)
          if (k.has_value && !k.name.empty() && k.name[0] != ';') names.push_back(k.name);
      }
    }
    m.last_error = f ? 0 : ERROR_FILE_NOT_FOUND;
    return CopyList(names, lpReturnedString, nSize);
  }
  if (!f) {
    m.last_error = file.exists && !file.directory && HeldWithoutReadSharing(m, file.full)
                       ? ERROR_SHARING_VIOLATION
                       : ERROR_FILE_NOT_FOUND;
    return CopyText(def, lpReturnedString, nSize);
  }
  const sim::ProfileSection* s = f->FindSection(lpAppName);
  const sim::ProfileKey* k = s ? sim::ProfileFile::FindKey(*s, lpKeyName) : nullptr;
  if (!k) {
    m.last_error = ERROR_FILE_NOT_FOUND;
    return CopyText(def, lpReturnedString, nSize);
  }
  m.last_error = 0;
  return CopyText(sim::StripQuotes(k->value), lpReturnedString, nSize);
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  Machine& m = sim::CurrentOrDie();
  const sim::PathLookup file = ProfileFileOf(m, lpFileName);
  if (DWORD e =
          m.faults.Check("GetPrivateProfileStringA", file.full, "", lpKeyName ? lpKeyName : "")) {
    m.last_error = e;
    if (lpReturnedString && nSize) lpReturnedString[0] = '\0';
    return 0;
  }
  return ReadProfileString(m, lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize, file);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                  LPCSTR lpFileName) {
  Machine& m = sim::CurrentOrDie();
  const sim::PathLookup file = ProfileFileOf(m, lpFileName);
  if (DWORD e =
          m.faults.Check("GetPrivateProfileIntA", file.full, "", lpKeyName ? lpKeyName : "")) {
    m.last_error = e;
    return static_cast<UINT>(nDefault);
  }
  const bool nt = m.system.NtFamily();
  // Windows 9x answers 0 for a missing section or key name; NT reads the list
  // the string call gives for them, as text like any value.
  if (!nt && (!lpAppName || !lpKeyName)) return 0;
  char buffer[30];
  // The value is read as a text first, so the same rules (and cut) apply.
  if (ReadProfileString(m, lpAppName, lpKeyName, "", buffer, sizeof buffer, file) == 0)
    return static_cast<UINT>(nDefault);
  // Windows' text-to-integer rules: blanks, a sign (9x knows only '-'),
  // 0x/0o/0b prefixes, then digits until the first that is none, the value
  // kept in 32 bits; a negative value is returned as its two's complement.
  const char* p = buffer;
  while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
  bool negative = false;
  if (*p == '-' || (nt && *p == '+')) negative = *p++ == '-';
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  } else if (p[0] == '0' && (p[1] == 'o' || p[1] == 'O')) {
    base = 8;
    p += 2;
  } else if (p[0] == '0' && (p[1] == 'b' || p[1] == 'B')) {
    base = 2;
    p += 2;
  }
  UINT value = 0;
  for (;; ++p) {
    unsigned digit;
    char c = *p;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}
