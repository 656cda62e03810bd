#include "tools/vtcapture/progress.h"

#include <cstdio>

namespace vtcapture {

void Progress::Show(const char* stage, unsigned long count) {
  std::printf("\rvtcapture: %s %lu   ", stage, count);
  std::fflush(stdout);
  open_ = true;
}

void Progress::Tick(const char* stage, unsigned long count) {
  if (count % 256 == 0) Show(stage, count);
}

void Progress::Done(const char* stage, unsigned long count) {
  Show(stage, count);
  std::printf("\n");
  open_ = false;
}

void Progress::Note(const std::string& text) {
  if (open_) std::printf("\n");
  open_ = false;
  std::printf("vtcapture: %s\n", text.c_str());
  std::fflush(stdout);
}

}  // namespace vtcapture
