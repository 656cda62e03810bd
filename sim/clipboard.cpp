#include "sim/clipboard.h"

#include <cstring>

#include "sim/machine.h"
#include "sim/text.h"

namespace sim {

void Clipboard::Seed(Machine& m) {
  if (seeded_) return;
  seeded_ = true;
  auto it = m.json.find("clipboard");
  if (it == m.json.end() || !it->is_object()) return;
  auto held = it->find("open_elsewhere");
  open_elsewhere = held != it->end() && held->is_boolean() && held->get<bool>();
  auto text = it->find("text");
  if (text != it->end() && text->is_string()) {
    const std::string ansi = Utf8ToAnsi(text->get<std::string>());
    HGLOBAL h = m.global_memory.Alloc(GMEM_MOVEABLE, ansi.size() + 1);
    GlobalBlock* block = m.global_memory.Find(h);
    std::memcpy(block->bytes.get(), ansi.c_str(), ansi.size() + 1);
    block->on_clipboard = true;
    formats[CF_TEXT] = h;
  }
}

std::string Clipboard::Text(Machine& m) const {
  auto it = formats.find(CF_TEXT);
  if (it == formats.end()) return "";
  GlobalBlock* block = m.global_memory.Find(it->second);
  if (block == nullptr) return "";
  return std::string(block->bytes.get(), strnlen(block->bytes.get(), block->size));
}

}  // namespace sim
