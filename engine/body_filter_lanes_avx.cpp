// The body filter lanes with AVX: four doubles per register. Built with AVX
// enabled for this file only and chosen at run time where the processor has it.
#include <immintrin.h>

#include "engine/body_filter_kernel.h"
#include "engine/body_filter_pack256.h"

namespace engine {

namespace {

struct AvxPack : Pack256 {
  using M = V;
  static constexpr bool kFuseUpdate = true;
  static constexpr bool kSumFollows = false;
  static M less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  // A bit per lane whose magnitude is at most `level` (not NaN).
  static unsigned within(V a, V level) {
    return static_cast<unsigned>(
        _mm256_movemask_pd(_mm256_cmp_pd(magnitude(a), level, _CMP_LE_OQ)));
  }
  // Lanes of `mask` set take `a`, the others `b`.
  static V select(M mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }
};

}  // namespace

void processBodyLanesAvx(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output) {
  lanes::processLanes<AvxPack>(lanes, frame, output);
}

}  // namespace engine
