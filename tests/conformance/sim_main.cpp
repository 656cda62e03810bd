// The conformance cases on the simulated PC: every case on a fresh machine of
// the Windows version named on the command line.
//   conformance_sim VERSION [FILTER]     (VERSION: 95 98 me nt4 2000 xp)
//   conformance_sim --calls              the calls and their case counts
#include <cstdio>
#include <memory>
#include <string>

#include "conformance/conformance.h"
#include "conformance/runner.h"
#include "support/test_machine.h"

namespace {

std::string g_version = "xp";
std::unique_ptr<TestMachine> g_machine;

// A freshly installed PC has devices of its own; one of them unplugged.
void FreshMachine() {
  g_machine = std::make_unique<TestMachine>(g_version);
  g_machine->m.json["devices"] = nlohmann::ordered_json::parse(R"([
    {"class": "Display", "description": "Standard VGA Graphics Adapter",
     "hardware_ids": ["PCI\\VEN_1234&DEV_1111&SUBSYS_00000000&REV_02", "PCI\\VEN_1234&DEV_1111"]},
    {"class": "Monitor", "description": "Default Monitor",
     "hardware_ids": ["Monitor\\Default_Monitor"]},
    {"class": "System", "description": "ACPI Power Button", "hardware_ids": ["ACPI\\PNP0C0C", "*PNP0C0C"]},
    {"class": "Image", "description": "USB Scanner", "present": false,
     "hardware_ids": ["USB\\VID_1234&PID_5678&REV_0100", "USB\\VID_1234&PID_5678"]}
  ])");
}
void DropMachine() { g_machine.reset(); }

}  // namespace

namespace conformance {
bool UnderWine() { return false; }
}  // namespace conformance

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--calls") {
    conformance::PrintCalls();
    return 0;
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: conformance_sim VERSION [FILTER]\n");
    return 2;
  }
  g_version = argv[1];
  conformance::Host host;
  host.before_case = FreshMachine;
  host.after_case = DropMachine;
  const std::string label = "simulated PC, Windows " + g_version;
  return conformance::RunCases(label.c_str(), argc == 3 ? argv[2] : "", host);
}
