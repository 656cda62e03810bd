// The walk of the registry list: key entries, value pairs, counter pairs and
// variable-key pairs, each handed to CEraseRegData.
#include <cctype>

#include "discovery/search_registry.h"
#include "files/remove_software.h"
#include "log/run_log.h"
#include "platform/format_text.h"
#include "registry/erase_reg_data.h"
#include "resources/string_table.h"

namespace {

std::string TrimLeft(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

std::string Trim(const std::string& text) {
  std::string left = TrimLeft(text);
  size_t end = left.size();
  while (end > 0 && std::isspace(static_cast<unsigned char>(left[end - 1]))) --end;
  return left.substr(0, end);
}

// Entry `index` with leading white space removed; false past the list's end.
bool SecondLine(const CStringArray& list, size_t index, std::string& text) {
  if (index >= list.size()) return false;
  text = TrimLeft(list[index]);
  return true;
}

// A key entry or value pair: the number of entries used.
size_t EraseEntry(CEraseRegData& eraser, const CStringArray& list, size_t i,
                  const std::string& entry, int versionCode) {
  HKEY hive = GetMainRegKeyHandle(entry.substr(0, 4).c_str());
  if (entry.size() <= 5) {
    CRunLog log;
    log.LogText(FormatText(LoadStr(IDS_REG_BAD_LINE), entry.c_str(), static_cast<int>(i)));
    return 1;
  }
  const std::string hiveCode = entry.substr(0, 4);
  const std::string keyPath = entry.substr(5);
  if (keyPath.back() != '\\') {
    eraser.DeleteRegKey(hive, keyPath, versionCode, hiveCode);
    return 1;
  }
  std::string valueName;
  if (!SecondLine(list, i + 1, valueName)) return 1;
  eraser.DeleteRegValue(hive, keyPath, valueName);
  return 2;
}

}  // namespace

int CRemoveSoftware::EraseRegList(const CStringArray& list, int versionCode) {
  if (list.empty()) return 0;
  CEraseRegData eraser;
  int result = 1;
  size_t i = 0;
  while (i < list.size()) {
    std::string entry = TrimLeft(list[i]);
    if (entry.empty()) {
      ++i;
      continue;
    }
    std::string second;
    if (entry[0] == '-') {
      if (!SecondLine(list, i + 1, second)) break;
      if (eraser.DecrementRegCounter(entry, second) != 0) {
        i += 2;
        continue;
      }
      // At zero only the counter value goes, even when the key path lacks
      // its closing backslash (it is never read as a whole key).
      entry.erase(0, 1);
      if (entry.size() > 5 && entry.back() != '\\') entry += '\\';
      i += EraseEntry(eraser, list, i, entry, versionCode);
      continue;
    }
    if (entry[0] == '*') {
      if (!SecondLine(list, i + 1, second)) break;
      const size_t equals = second.find('=');
      const std::string data = equals == std::string::npos ? "" : Trim(second.substr(equals + 1));
      if (data.empty()) {
        i += 2;
        continue;
      }
      const bool found = eraser.FindVariableKey(entry, second.substr(0, equals), data);
      result = found ? 1 : 0;
      if (found) EraseEntry(eraser, list, i, entry, versionCode);
      i += 2;
      continue;
    }
    i += EraseEntry(eraser, list, i, entry, versionCode);
  }
  return result;
}
