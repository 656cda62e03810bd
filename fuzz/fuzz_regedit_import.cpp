// Any bytes as a file for "regedit /s": the import never crashes, names a
// skipped line in a bounded message, and a second import of the same file
// changes nothing. Every value it made, written back by the undo journal's
// REGEDIT4 writer, imports again to the same type and data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "journal/journal_registry.h"
#include "sim/batch_regedit.h"
#include "sim/reg_file.h"
#include "sim/registry.h"

namespace {

void CheckWriterRoundTrip(const sim::RegKey* key, bool nt) {
  for (const sim::RegValue& v : key->values) {
    const std::string name(v.name());
    const std::string data(v.data());
    sim::Registry back;
    back.nt_family = nt;
    std::vector<std::string> skipped;
    const std::string file =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\T]\r\n" + RegEditValueLine(name, v.type, data);
    if (!sim::ImportRegedit4(file, back, &skipped)) std::abort();
    const sim::RegValue* read = back.GetValue("HKLM\\T", name);
    // A name holding a line end cannot be written: the journal refuses it.
    // One holding a zero byte never reaches the journal: the A calls name a
    // value up to its first zero.
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) continue;
    if (!read || read->type != v.type || std::string(read->data()) != data) std::abort();
  }
  for (const sim::KeyRef& sub : key->subkeys()) CheckWriterRoundTrip(sub.get(), nt);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  sim::Registry reg;
  reg.nt_family = size == 0 || (data[0] & 1) == 0;
  std::vector<std::string> skipped;
  if (!sim::ImportRegedit4(bytes, reg, &skipped)) return 0;
  // An excerpt keeps 200 bytes of a message, each escaped in at most 4
  // characters, and names the whole size after it.
  for (const std::string& s : skipped)
    if (s.size() > 4 * 200 + 40) std::abort();
  const std::string once = sim::WriteRegFile(reg);
  skipped.clear();
  sim::ImportRegedit4(bytes, reg, &skipped);
  if (sim::WriteRegFile(reg) != once) std::abort();
  for (int i = 0; reg.Root(i) != nullptr; ++i) CheckWriterRoundTrip(reg.Root(i), reg.nt_family);
  return 0;
}
