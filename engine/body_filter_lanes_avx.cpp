// The body filter lanes with AVX: four doubles per register. Built with AVX
// enabled for this file only and chosen at run time where the processor has it.
#include <immintrin.h>

#include "engine/body_filter_kernel.h"

namespace engine {

namespace {

struct AvxPack {
  using V = __m256d;
  using M = V;
  static constexpr bool kFuseUpdate = true;
  static constexpr bool kSumFollows = false;
  static constexpr int kWidth = 4;
  static V load(const double* p) { return _mm256_loadu_pd(p); }
  static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V set(double x) { return _mm256_set1_pd(x); }
  static V add(V a, V b) { return _mm256_add_pd(a, b); }
  static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V div(V a, V b) { return _mm256_div_pd(a, b); }
  static V negate(V a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
  static V less(V a, V b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  // A bit per lane whose magnitude is at most `level` (not NaN).
  static unsigned within(V a, V level) {
    const V magnitude = _mm256_andnot_pd(set(-0.0), a);
    return static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(magnitude, level, _CMP_LE_OQ)));
  }
  // Lanes of `mask` set take `a`, the others `b`.
  static V select(V mask, V a, V b) { return _mm256_blendv_pd(b, a, mask); }
};

}  // namespace

void processBodyLanesAvx(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output) {
  lanes::processLanes<AvxPack>(lanes, frame, output);
}

}  // namespace engine
