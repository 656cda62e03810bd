// Any bytes as registry.reg: reading never crashes, and what was read
// writes back stably and in the format it was read in (seeds: a REGEDIT4
// file and a UTF-16 version 5 file with names the code page lacks).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/reg_file.h"
#include "sim/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sim::Registry reg;
  // The first byte picks the family: 9x keeps CurrentControlSet as a key.
  reg.nt_family = size == 0 || (data[0] & 1) == 0;
  std::string error;
  sim::ReadRegFile(bytes, reg, &error);
  const std::string once = sim::WriteRegFile(reg);
  sim::Registry again;
  again.nt_family = reg.nt_family;
  if (!sim::ReadRegFile(once, again, &error)) std::abort();
  if (again.file_format != reg.file_format) std::abort();
  if (sim::WriteRegFile(again) != once) std::abort();
  return 0;
}
