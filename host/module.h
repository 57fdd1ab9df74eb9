// State shared by every instance of the loaded module.
#pragma once

#include <atomic>

namespace module {

// The module handle the system passed at load time (an HMODULE on Windows).
extern void* instanceHandle;

// Set once an instance could not build its editor; never cleared.
extern std::atomic<bool> outOfMemory;

}  // namespace module
