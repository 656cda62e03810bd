// The conformance cases on Windows or under Wine, as a console program built
// with MinGW:  conformance.exe [FILTER]
// They work in C:\cvsconf and HKEY_CURRENT_USER\Software\CvsConformance,
// which they remove again.
#include <cstdio>
#include <string>

#include "conformance/conformance.h"
#include "conformance/runner.h"

namespace conformance {

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace conformance

int main(int argc, char** argv) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExA(&info);
  const std::string label = std::string(conformance::UnderWine() ? "Wine" : "Windows") +
                            ", platform " + std::to_string(info.dwPlatformId) + " version " +
                            std::to_string(info.dwMajorVersion) + "." +
                            std::to_string(info.dwMinorVersion);
  conformance::Host host;
  return conformance::RunCases(label.c_str(), argc > 1 ? argv[1] : "", host);
}
