// libFuzzer: the input bytes are the arguments of an msiexec command line.
// The simulated installer must read any of them without harm: a product
// code it finds is a non-empty piece of the input, the installer ends with
// one of its few exit codes, and only a known product removes anything.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/machine.h"
#include "sim/processes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string arguments(reinterpret_cast<const char*>(data), size);
  if (arguments.find('\0') != std::string::npos) return 0;

  const sim::InstallerRequest request = sim::ParseInstallerCommand(arguments);
  // Double quotes group words and are dropped from them, as a command line's are.
  std::string unquoted;
  for (char c : arguments)
    if (c != '"') unquoted += c;
  if (request.valid && (request.product.empty() || request.product[0] == '/' ||
                        unquoted.find(request.product) == std::string::npos))
    std::abort();

  sim::Machine m;
  sim::ScopedMachine scope(m);
  m.json["installer_products"] = nlohmann::ordered_json::parse(
      R"([{"code": "{A}", "seconds": 2, "removes": ["HKLM\\SOFTWARE\\A"]}])");
  m.registry.SetString("HKLM\\SOFTWARE\\A", "v", "x");
  auto p = m.processes.StartInstaller(m, "msiexec " + arguments, arguments);
  m.system.AdvanceClock(2000);
  m.processes.Settle(m);
  const DWORD code = p->exit_code;
  if (!p->ended || (code != 0 && code != 1605 && code != 1618 && code != 1639)) std::abort();
  const bool removed = m.json["installer_products"].empty();
  if (removed != (code == 0) || removed == (m.registry.Find("HKLM\\SOFTWARE\\A") != nullptr))
    std::abort();
  return 0;
}
