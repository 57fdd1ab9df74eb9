// The body filter lanes with AVX-512 (with its 256-bit forms): all eight lanes
// in one register. Built with AVX-512 enabled for this file only and chosen at
// run time where the processor has it.
#include <immintrin.h>

#include "engine/body_filter_kernel.h"
#include "engine/body_filter_pack256.h"

namespace engine {

namespace {

struct Avx512Pack {
  using V = __m512d;
  using M = __mmask8;
  static constexpr bool kFuseUpdate = true;
  static constexpr bool kSumFollows = true;
  static constexpr int kWidth = 8;
  static V load(const double* p) { return _mm512_loadu_pd(p); }
  static void store(double* p, V v) { _mm512_storeu_pd(p, v); }
  static V set(double x) { return _mm512_set1_pd(x); }
  static V add(V a, V b) { return _mm512_add_pd(a, b); }
  static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
  static V div(V a, V b) { return _mm512_div_pd(a, b); }
  static V negate(V a) {
    return _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(a), _mm512_set1_epi64(INT64_MIN)));
  }
  static M less(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  // A bit per lane whose magnitude is at most `level` (not NaN).
  static unsigned within(V a, V level) {
    return _mm512_cmp_pd_mask(_mm512_abs_pd(a), level, _CMP_LE_OQ);
  }
  // Lanes of `mask` set take `a`, the others `b`.
  static V select(M mask, V a, V b) { return _mm512_mask_blend_pd(mask, b, a); }
};

// Four lanes to a 256-bit register, with AVX-512's masks and 32 registers. The
// frames that recompute no coefficients run faster this way: two chains of
// four lanes, whose operations each hold a unit for one cycle instead of two.
// A 512-bit register is faster where the coefficient pass adds its
// multiplications to every row.
struct Avx512HalfPack : Pack256 {
  using M = __mmask8;
  static constexpr bool kFuseUpdate = true;
  static constexpr bool kSumFollows = true;
  static M less(V a, V b) { return _mm256_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  // A bit per lane whose magnitude is at most `level` (not NaN).
  static unsigned within(V a, V level) {
    return _mm256_cmp_pd_mask(magnitude(a), level, _CMP_LE_OQ);
  }
  // Lanes of `mask` set take `a`, the others `b`.
  static V select(M mask, V a, V b) { return _mm256_mask_blend_pd(mask, b, a); }
};

}  // namespace

void processBodyLanesAvx512(BodyLaneState& lanes, const BodyLaneFrame& frame, double* output) {
  lanes::processLanes<Avx512Pack, Avx512HalfPack>(lanes, frame, output);
}

}  // namespace engine
