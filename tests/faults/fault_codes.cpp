#include "faults/fault_codes.h"

#include <algorithm>
#include <map>

namespace {

// Error codes the removal steps name for a call, besides 5, 32 and 112.
const std::map<std::string, std::vector<unsigned>> kNamedCodes = {
    {"RegOpenKeyExA", {2}},
    {"RegQueryValueExA", {2, 234}},
    {"RegEnumKeyExA", {259}},
    {"RegEnumValueA", {259}},
    {"RegDeleteKeyA", {2, 1010, 1011}},
    {"SHDeleteKeyA", {2, 1010, 1011}},
    {"DeleteFileA", {2, 3, 33}},
    {"RemoveDirectoryA", {2, 3, 145}},
    {"FindFirstFileA", {2, 3, 18}},
    {"FindNextFileA", {18}},
    {"CreateFileA", {2, 3}},
    {"SetCurrentDirectoryA", {2, 3}},
    {"GetPrinterDriverA", {1797}},
    {"DeletePrinterDriverA", {3001}},
    {"OpenServiceA", {1060}},
    {"DeleteService", {1072}},
    {"SetupDiEnumDeviceInfo", {259}},
    {"AdjustTokenPrivileges", {1300}},
    {"ExitWindowsEx", {1314}},
    {"InitiateSystemShutdownA", {1314}},
    {"CreateProcessA", {2}},
    {"LoadLibraryA", {126}},
    {"GetProcAddress", {127}},
};

}  // namespace

std::vector<unsigned> CodesFor(const std::string& call) {
  std::vector<unsigned> codes = {5, 32, 112};
  auto it = kNamedCodes.find(call);
  if (it != kNamedCodes.end()) codes.insert(codes.end(), it->second.begin(), it->second.end());
  std::sort(codes.begin(), codes.end());
  return codes;
}
