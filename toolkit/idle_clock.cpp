#include "toolkit/idle_clock.h"

#include <chrono>
#include <thread>

namespace {

class SystemClock final : public IdleClock {
 public:
  uint32_t milliseconds() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

IdleClock& IdleClock::system() {
  static SystemClock clock;
  return clock;
}
