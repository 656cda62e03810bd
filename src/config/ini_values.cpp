// Reading keys of the control file by the value conventions.
#include <cstring>
#include <vector>

#include "config/count_text.h"
#include "config/ini_reader.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "resources/string_table.h"

namespace {
constexpr DWORD kValueBuffer = 512;
constexpr UINT kMissingCount = 65536;
constexpr DWORD kCountBuffer = 64;
const char kNotFound[] = "NotFound";
}  // namespace

bool CGetDataFromINI::ReadText(const std::string& section, const char* key, DWORD size,
                               std::string& value) {
  std::vector<char> buffer(size, '\0');
  const std::string path = GetINIPath();
  GetPrivateProfileStringA(section.c_str(), key, kNotFound, buffer.data(), size, path.c_str());
  buffer[size - 1] = '\0';
  if (lstrcmpiA(buffer.data(), kNotFound) == 0) return false;
  value = buffer.data();
  return true;
}

bool CGetDataFromINI::ReadCount(const char* origin, const std::string& section, const char* key,
                                DWORD& count) {
  const std::string path = GetINIPath();
  char text[kCountBuffer] = {};
  GetPrivateProfileStringA(section.c_str(), key, "", text, kCountBuffer, path.c_str());
  const UINT n = CountFromText(text, kMissingCount);
  if (n >= kMissingCount) {
    count = 0;
    ReportMissing(origin, section, key);
    return false;
  }
  count = n;
  return true;
}

void CGetDataFromINI::ReportMissing(const char* origin, const std::string& section,
                                    const std::string& key) {
  const std::string path = GetINIPath();
  CRunLog log;
  log.LogNote(origin,
              FormatText(LoadStr(IDS_INI_MISSING_KEY), section.c_str(), key.c_str(), path.c_str()));
}

bool CGetDataFromINI::ReadNumbered(const char* origin, const std::string& section, const char* base,
                                   DWORD count, CStringArray& list) {
  for (DWORD i = 1; i <= count; ++i) {
    const std::string key = FormatText("%s%u", base, static_cast<unsigned>(i));
    std::string value;
    if (!ReadText(section, key.c_str(), kValueBuffer, value)) {
      ReportMissing(origin, section, key);
      return false;
    }
    if (!value.empty()) list.push_back(value);
  }
  return true;
}

bool CGetDataFromINI::ReadCommaList(const char* origin, const std::string& section, const char* key,
                                    CStringArray& list) {
  std::string value;
  if (!ReadText(section, key, kValueBuffer, value)) {
    ReportMissing(origin, section, key);
    return false;
  }
  // Empty pieces are dropped; blanks inside a piece stay.
  size_t start = 0;
  while (start <= value.size()) {
    size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    if (comma > start) list.push_back(value.substr(start, comma - start));
    start = comma + 1;
  }
  return true;
}

bool CGetDataFromINI::GetCommonINIvalues(const std::string& device) {
  static const char kOrigin[] =
      "CGetDataFromINI::GetCommonINIvalues() -- GetPrivateProfileString()";
  SetCommonSection(device);
  if (GetINIPath().empty()) return false;
  if (!ReadCount(kOrigin, m_sCommonSection, "numSWvers", m_nSWVersions)) return false;
  if (!ReadNumbered(kOrigin, m_sCommonSection, "SWverText", m_nSWVersions, m_aSWVersions))
    return false;
  if (!ReadText(m_sCommonSection, "OCRVal", MAX_PATH, m_sOCRVal)) {
    ReportMissing(kOrigin, m_sCommonSection, "OCRVal");
    return false;
  }
  return true;
}

std::string CGetDataFromINI::GetTestRegEntry() {
  if (m_sVersionSection.empty()) return std::string();
  std::string key;
  if (!ReadText(m_sCommonSection, "TestKey", MAX_PATH, key)) {
    ReportMissing("CGetDataFromINI::GetTestRegEntry() -- GetPrivateProfileString()",
                  m_sCommonSection, "TestKey");
    return std::string();
  }
  return key;
}

bool CGetDataFromINI::IsSwitchOn(const char* key) {
  if (m_sCommonSection.empty()) return false;
  // Opt-in: a missing key is the switch off and no fault of the control file.
  std::string value;
  return ReadText(m_sCommonSection, key, kCountBuffer, value) && value == "1";
}

bool CGetDataFromINI::GetDefaultDirs() {
  static const char kOrigin[] = "CGetDataFromINI::GetDefaultDirs() -- GetPrivateProfileString()";
  if (GetINIPath().empty() || m_sVersionSection.empty()) return false;
  bool bothFound = true;
  if (!ReadText(m_sVersionSection, "DefaultVTDir", kValueBuffer, m_sDefaultVTDir)) {
    ReportMissing(kOrigin, m_sVersionSection, "DefaultVTDir");
    bothFound = false;
  }
  if (!ReadText(m_sVersionSection, "DefaultOCRDir", kValueBuffer, m_sDefaultOCRDir)) {
    ReportMissing(kOrigin, m_sVersionSection, "DefaultOCRdir");
    bothFound = false;
  }
  return bothFound;
}

bool CGetDataFromINI::GetUnregisterData(const std::string& device) {
  static const char kOrigin[] = "CGetDataFromINI::GetUnregisterData() -- GetPrivateProfileString()";
  if (GetINIPath().empty()) return false;
  if (m_sCommonSection.empty()) SetCommonSection(device);
  if (m_sCommonSection.empty()) return false;
  const std::string& section = m_sCommonSection;

  std::string value;
  if (!ReadText(section, "DevIDname", kValueBuffer, value)) {
    ReportMissing(kOrigin, section, "DevIDname");
    return false;
  }
  if (!value.empty()) m_sDevIDname = value;
  value.clear();
  if (!ReadText(section, "DevIDfax", kValueBuffer, value)) {
    ReportMissing(kOrigin, section, "DevIDfax");
    return false;
  }
  if (!value.empty()) m_sDevIDfax = value;

  if (!ReadCount(kOrigin, section, "numPnPIDs", m_nPnPIDs)) return false;
  if (!ReadNumbered(kOrigin, section, "PnP", m_nPnPIDs, m_aPnPIDs)) return false;
  if (!ReadCommaList(kOrigin, section, "KnownClasses", m_aKnownClasses)) return false;
  if (!ReadCommaList(kOrigin, section, "Monitors", m_aMonitors)) return false;
  if (!ReadCommaList(kOrigin, section, "Services", m_aServices)) return false;

  if (!ReadCount(kOrigin, section, "NumMSIs", m_nMSIs)) return false;
  if (!ReadNumbered(kOrigin, section, "MsiPack", m_nMSIs, m_aMsiPacks)) return false;

  m_nTimeout = GetPrivateProfileIntA(section.c_str(), "Timeout", 100000, GetINIPath().c_str());

  if (!ReadCount(kOrigin, section, "numMagicKeys", m_nMagicKeys)) return false;
  return ReadNumbered(kOrigin, section, "MagicKey", m_nMagicKeys, m_aMagicKeys);
}
