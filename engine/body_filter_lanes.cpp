#include "engine/body_filter_lanes.h"

#include <algorithm>

namespace engine {

BodyLaneState::BodyLaneState(int maxOrder)
    : capacity(std::max(maxOrder, 1)),
      coefficientsA(static_cast<size_t>(capacity) * kLanes, 0.0),
      coefficientsB(static_cast<size_t>(capacity) * kLanes, 0.0),
      effective(static_cast<size_t>(capacity) * kLanes, 0.0),
      state(static_cast<size_t>(capacity) * kLanes, 0.0) {
  for (int l = 0; l < kLanes; ++l) {
    order[l] = 1;
    gain[l] = 1.0;
    warpFactor[l] = 1.0;
    normaliser[l] = 1.0;
    refreshInterval[l] = 1;
  }
}

void BodyLaneState::resetLane(int lane) {
  for (int j = 0; j < capacity; ++j) state[static_cast<size_t>(j) * kLanes + lane] = 0.0;
  lastOutput[lane] = 0.0;
}

BodyFilterLanes::BodyFilterLanes(int capacity) : data(capacity) {
  setKernel(avxAvailable() ? Kernel::avx : Kernel::sse2);
}

bool BodyFilterLanes::avxAvailable() {
#if defined(QS_AVX_KERNEL)
  return __builtin_cpu_supports("avx");
#else
  return false;
#endif
}

void BodyFilterLanes::setKernel(Kernel k) {
  if (k == Kernel::avx && !avxAvailable()) k = Kernel::sse2;
  kernel = k;
#if defined(QS_AVX_KERNEL)
  run = k == Kernel::avx ? processBodyLanesAvx : processBodyLanesSse2;
#else
  run = processBodyLanesSse2;
#endif
}

}  // namespace engine
