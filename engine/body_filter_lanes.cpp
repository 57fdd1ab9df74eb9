#include "engine/body_filter_lanes.h"

#include <algorithm>

namespace engine {

BodyLaneState::BodyLaneState(int maxOrder)
    : capacity(std::max(maxOrder, 1)), storage(static_cast<size_t>(capacity) * kLanes * 5, 0.0) {
  const size_t rows = static_cast<size_t>(capacity) * kLanes;
  coefficientsA = storage.data();
  coefficientsB = coefficientsA + rows;
  coefficientsStep = coefficientsB + rows;
  effective = coefficientsStep + rows;
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
  owed &= ~(1u << lane);
}

void BodyLaneState::settle(int lane) {
  // Pushes the owed output through the all-pass chain (element 0 stays 0).
  if (!(owed >> lane & 1u)) return;
  owed &= ~(1u << lane);
  const double lambda = owedLambda[lane];
  const double y = owedOutput[lane];
  double* s = state + lane;
  const double* c = effective + lane;
  // In place: element j - 1's old value is kept until element j is written.
  double older = s[0];
  double p = lambda * older + y;
  double b = y;
  for (int j = 1; j < order[lane]; ++j) {
    const double old = s[j * kLanes];
    const double e = older - lambda * p;
    const double updated = e + lambda * old - b * c[(j - 1) * kLanes];
    s[j * kLanes] = updated;
    b = b - e * c[(j - 1) * kLanes];
    p = updated;
    older = old;
  }
}

BodyFilterLanes::BodyFilterLanes(int capacity) : data(capacity) {
  setKernel(available(Kernel::avx512) ? Kernel::avx512 : Kernel::avx);
}

bool BodyFilterLanes::available(Kernel k) {
#if defined(QS_WIDE_KERNELS)
  if (k == Kernel::avx512)
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
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
