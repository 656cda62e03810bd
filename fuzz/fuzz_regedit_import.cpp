// Any bytes as a file for "regedit /s": the import never crashes, names a
// skipped line in a bounded message, and a second import of the same file
// changes nothing but the order of what it deleted and made again. Every value it made, written
// back by the undo journal's REGEDIT4 writer, imports again to the same type and data.
#include <algorithm>
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

// The registry file as a set of keys, each with its value lines sorted: a file
// that deletes a value and sets it again moves it to the end of its key's list
// on a second import, as Windows does, and on the 9x family, which lists
// subkeys in creation order, a key it deletes and makes again moves to the end
// of its parent's list. What each key holds is the same.
std::string Canonical(const std::string& text) {
  std::vector<std::string> sections;
  std::vector<std::string> section;
  auto flush = [&] {
    if (section.empty()) return;
    std::sort(section.begin() + 1, section.end());
    std::string joined;
    for (const std::string& line : section) joined += line + "\n";
    sections.push_back(joined);
    section.clear();
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (line.empty() || line == "\r")
      flush();
    else
      section.push_back(line);
    start = end + 1;
  }
  flush();
  std::sort(sections.begin(), sections.end());
  std::string out;
  for (const std::string& s : sections) out += s + "\n";
  return out;
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
  const std::string once = Canonical(sim::WriteRegFile(reg));
  skipped.clear();
  sim::ImportRegedit4(bytes, reg, &skipped);
  if (Canonical(sim::WriteRegFile(reg)) != once) std::abort();
  for (int i = 0; reg.Root(i) != nullptr; ++i) CheckWriterRoundTrip(reg.Root(i), reg.nt_family);
  return 0;
}
