#include "engine/body_filter_lanes.h"

#include <algorithm>

namespace engine {

BodyLaneState::BodyLaneState(int maxOrder)
    : capacity(std::max(maxOrder, 1)), storage(static_cast<size_t>(capacity) * kLanes * 4, 0.0) {
  const size_t rows = static_cast<size_t>(capacity) * kLanes;
  coefficientsA = storage.data();
  coefficientsB = coefficientsA + rows;
  effective = coefficientsB + rows;
  state = effective + rows;
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
  setKernel(available(Kernel::avx512) ? Kernel::avx512 : Kernel::avx);
}

bool BodyFilterLanes::available(Kernel k) {
#if defined(QS_WIDE_KERNELS)
  if (k == Kernel::avx512) return __builtin_cpu_supports("avx512f");
  if (k == Kernel::avx) return __builtin_cpu_supports("avx");
#endif
  return k == Kernel::sse2;
}

void BodyFilterLanes::setKernel(Kernel k) {
  if (!available(k)) k = Kernel::sse2;
  kernel = k;
  run = processBodyLanesSse2;
#if defined(QS_WIDE_KERNELS)
  if (k == Kernel::avx) run = processBodyLanesAvx;
  if (k == Kernel::avx512) run = processBodyLanesAvx512;
#endif
}

}  // namespace engine
