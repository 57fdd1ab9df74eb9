// The module's shared state. Whatever links the instrument (the plug-in, the
// standalone program, the tools and fuzzers) gets it from here.
#include "host/module.h"

namespace module {
void* instanceHandle = nullptr;
std::atomic<bool> outOfMemory{false};
}  // namespace module
