// Reads the control file: device tree, DAT paths, default directories, common data.
#pragma once

#include <string>

#include "config/device_tree_sink.h"
#include "config/string_list.h"
#include "platform/win32.h"

// The opt-in switches of a common section.
constexpr char kUndoJournalKey[] = "UndoJournal";
constexpr char kRestorePointKey[] = "RestorePoint";

class CGetDataFromINI {
 public:
  CGetDataFromINI();

  std::string GetINIPath();
  std::string PathToUninstallFile(const std::string& device, int versionCode,
                                  const std::string& keyName);
  std::string GetSectionName(const std::string& device, int versionCode);
  void SetCommonSection(const std::string& device);
  bool FindAFile(const std::string& path);
  bool CheckINIVersion();
  bool GetCommonINIvalues(const std::string& device);
  std::string GetTestRegEntry();
  // An opt-in switch of the current common section: on only when it reads
  // exactly "1"; missing means off and is not reported.
  bool IsSwitchOn(const char* key);
  bool GetDefaultDirs();
  bool GetUnregisterData(const std::string& device);
  // Adds the devices of the control file's section headers to the tree.
  bool LoadDeviceTree(const std::string& iniName, IDeviceTreeSink& tree);

  const std::string& DevIDname() const { return m_sDevIDname; }
  const std::string& DevIDfax() const { return m_sDevIDfax; }
  const CStringArray& PnPIDs() const { return m_aPnPIDs; }
  const CStringArray& MagicKeys() const { return m_aMagicKeys; }
  const CStringArray& KnownClasses() const { return m_aKnownClasses; }
  const CStringArray& Monitors() const { return m_aMonitors; }
  const CStringArray& Services() const { return m_aServices; }
  const CStringArray& MsiPacks() const { return m_aMsiPacks; }
  const CStringArray& SWVersions() const { return m_aSWVersions; }
  DWORD Timeout() const { return m_nTimeout; }
  const std::string& DefaultVTDir() const { return m_sDefaultVTDir; }
  const std::string& DefaultOCRDir() const { return m_sDefaultOCRDir; }
  const std::string& OCRVal() const { return m_sOCRVal; }
  // The common section set by SetCommonSection (or the reads that call it).
  const std::string& CommonSection() const { return m_sCommonSection; }

 private:
  // A text key of size characters (terminator included) with the default
  // "NotFound": false when missing (the default came back, in any case).
  bool ReadText(const std::string& section, const char* key, DWORD size, std::string& value);
  // A count key, read as text (see CountFromText); missing or empty it is
  // 65536: false when 65536 or more, which is reported under origin and
  // stored as a count of 0.
  bool ReadCount(const char* origin, const std::string& section, const char* key, DWORD& count);
  // The numbered keys base1..baseN (512); non-empty values appended. False at
  // the first missing one, which is reported under origin.
  bool ReadNumbered(const char* origin, const std::string& section, const char* base, DWORD count,
                    CStringArray& list);
  // A comma list (512): false when the key is missing (reported under origin).
  bool ReadCommaList(const char* origin, const std::string& section, const char* key,
                     CStringArray& list);
  // LogNote of string 119: section, key, control-file path.
  void ReportMissing(const char* origin, const std::string& section, const std::string& key);

  std::string m_sDevIDname;
  std::string m_sDevIDfax;
  DWORD m_nPnPIDs = 0;
  CStringArray m_aPnPIDs;
  DWORD m_nMagicKeys = 0;
  CStringArray m_aMagicKeys;
  CStringArray m_aKnownClasses;
  CStringArray m_aMonitors;
  CStringArray m_aServices;
  DWORD m_nMSIs = 0;
  CStringArray m_aMsiPacks;
  DWORD m_nSWVersions = 0;
  CStringArray m_aSWVersions;
  DWORD m_nTimeout = 0;
  std::string m_sDefaultVTDir;
  std::string m_sDefaultOCRDir;
  std::string m_sOCRVal;
  bool m_bPathKnown = false;
  std::string m_sINIPath;
  std::string m_sVersionSection;
  std::string m_sCommonSection;
  std::string m_sVersionText;
};
