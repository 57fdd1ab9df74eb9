#include "render/interruption.h"

#include <csignal>

namespace render {

namespace {
volatile std::sig_atomic_t stopRequested = 0;
extern "C" void requestStop(int) { stopRequested = 1; }
}  // namespace

void catchInterruptions() {
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
}

bool interrupted() { return stopRequested != 0; }

}  // namespace render
