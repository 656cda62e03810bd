#include "sim/recycle_bin.h"

#include <cctype>

namespace sim {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string LastName(const std::string& full) {
  const size_t pos = full.rfind('\\');
  return pos == std::string::npos ? full : full.substr(pos + 1);
}

}  // namespace

std::string RecycleBin::Folder(char drive, bool ntFamily) const {
  const std::string root = std::string(1, Upper(drive)) + ":\\";
  return ntFamily ? root + "RECYCLER\\" + sid : root + "RECYCLED";
}

unsigned long RecycleBin::IndexOf(char drive, const std::string& storedName) {
  if (storedName.size() < 3 || Upper(storedName[0]) != 'D' || Upper(storedName[1]) != Upper(drive))
    return 0;
  unsigned long index = 0;
  size_t i = 2;
  for (; i < storedName.size() && std::isdigit(static_cast<unsigned char>(storedName[i])); ++i) {
    if (index > 100000000UL) return 0;
    index = index * 10 + static_cast<unsigned long>(storedName[i] - '0');
  }
  if (i == 2 || (i < storedName.size() && storedName[i] != '.')) return 0;
  return index;
}

std::string RecycleBin::NextName(char drive, bool ntFamily, const std::string& originalName,
                                 unsigned long taken) const {
  unsigned long highest = taken;
  for (const RecycledItem& item : items) {
    if (item.stored.empty() || Upper(item.stored[0]) != Upper(drive)) continue;
    const unsigned long index = IndexOf(drive, LastName(item.stored));
    if (index > highest) highest = index;
  }
  const size_t dot = originalName.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : originalName.substr(dot);
  std::string name = std::string("D") +
                     static_cast<char>(std::tolower(static_cast<unsigned char>(drive))) +
                     std::to_string(highest + 1) + extension;
  if (!ntFamily)
    for (char& c : name) c = Upper(c);
  return name;
}

}  // namespace sim
