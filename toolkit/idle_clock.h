// Milliseconds and sleeping, as the drag idle hook needs them; tests put in
// a clock of their own.
#pragma once

#include <cstdint>

class IdleClock {
 public:
  virtual ~IdleClock() = default;
  virtual uint32_t milliseconds() = 0;
  virtual void sleep(uint32_t ms) = 0;

  // The process's real clock.
  static IdleClock& system();
};
