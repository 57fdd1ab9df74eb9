// The body filter lanes with SSE2: two doubles per register. Every x86 build
// (32-bit Windows included) has it.
#include <emmintrin.h>

#include "engine/body_filter_kernel.h"

namespace engine {

namespace {

struct Sse2Pack {
  using V = __m128d;
  using M = V;
  static constexpr bool kFuseUpdate = false;
  static constexpr bool kSumFollows = false;
  static constexpr int kWidth = 2;
  static V load(const double* p) { return _mm_loadu_pd(p); }
  static void store(double* p, V v) { _mm_storeu_pd(p, v); }
  static V set(double x) { return _mm_set1_pd(x); }
  static V add(V a, V b) { return _mm_add_pd(a, b); }
  static V sub(V a, V b) { return _mm_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm_mul_pd(a, b); }
  static V div(V a, V b) { return _mm_div_pd(a, b); }
  static V negate(V a) { return _mm_xor_pd(a, _mm_set1_pd(-0.0)); }
  static V less(V a, V b) { return _mm_cmplt_pd(a, b); }
  // A bit per lane whose magnitude is at most `level` (not NaN).
  static unsigned within(V a, V level) {
    return static_cast<unsigned>(_mm_movemask_pd(_mm_cmple_pd(_mm_andnot_pd(set(-0.0), a), level)));
  }
  // Lanes of `mask` set take `a`, the others `b`.
  static V select(V mask, V a, V b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
  }
};

}  // namespace

void processBodyLanesSse2(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output) {
  lanes::processLanes<Sse2Pack>(lanes, frame, output);
}

}  // namespace engine
