#include "sim/machine.h"

#include <cstdio>
#include <cstdlib>

#include "sim/text.h"

namespace sim {

namespace {
Machine* g_current = nullptr;
}  // namespace

Machine::Machine() = default;

Machine::~Machine() {
  for (void* p : local_allocations) delete[] static_cast<char*>(p);
  if (g_current == this) g_current = nullptr;
}

void Machine::SetCodePage(unsigned codePage) {
  code_page = codePage;
  if (g_current == this) sim::SetCodePage(codePage);
}

Machine* Current() { return g_current; }

Machine& CurrentOrDie() {
  if (!g_current) {
    std::fputs("sim: a Windows call was made with no simulated PC in scope\n", stderr);
    std::abort();
  }
  return *g_current;
}

ScopedMachine::ScopedMachine(Machine& m) : previous_(g_current) {
  g_current = &m;
  sim::SetCodePage(m.code_page);
}

ScopedMachine::~ScopedMachine() {
  g_current = previous_;
  if (previous_) sim::SetCodePage(previous_->code_page);
}

}  // namespace sim
