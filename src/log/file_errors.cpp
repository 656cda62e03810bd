// The cause code of a failed file operation and its sentence for the log.
#include <string>

#include "log/error_reports.h"
#include "resources/string_table.h"

namespace {

struct CauseGroup {
  int cause;
  DWORD codes[20];  // 0-terminated (cause 0 stands alone)
};

// Operating-system error codes by cause; every code not listed is cause 1.
constexpr CauseGroup kCauses[] = {
    {2, {2, 6, 18, 107}},
    {3, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
    {4, {4, 36, 68, 113}},
    {5, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
    {6, {11, 26, 60, 66, 114, 182, 191, 193}},
    {7, {16, 145}},
    {8, {62}},
    {9, {24, 25, 27, 30, 131, 132}},
    {10, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
    {11, {32}},
    {12, {33, 108, 167}},
    {13, {39, 112}},
    {14, {38}},
};

}  // namespace

int FileErrorCause(DWORD osError) {
  if (osError == 0) return 0;
  for (const CauseGroup& group : kCauses) {
    for (DWORD code : group.codes) {
      if (code == 0) break;
      if (code == osError) return group.cause;
    }
  }
  return 1;
}

std::string FileErrorDescription(int cause, const std::string& path) {
  if (cause < 0 || cause > 14) cause = 1;
  const std::string sentence = LoadStr(IDS_FILE_ERROR_0 + static_cast<unsigned>(cause));
  const std::string name = path.empty() ? std::string(LoadStr(IDS_UNNAMED_FILE)) : path;
  std::string result;
  for (size_t i = 0; i < sentence.size(); ++i) {
    if (sentence[i] == '%' && i + 1 < sentence.size() && sentence[i + 1] == '1') {
      result += name;
      ++i;
    } else {
      result += sentence[i];
    }
  }
  return result;
}
