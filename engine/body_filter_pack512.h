// Eight doubles to an AVX-512 register, and four to a 256-bit register with
// AVX-512's masks and 32 registers: the packs of the AVX-512 body filter
// kernel. Included only by sources built for AVX-512; internal linkage keeps
// each file's copy of these functions its own.
#pragma once

#include <immintrin.h>

#include <cstdint>

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
  static V loadHalves(const double* p) {
    const __m256d low = _mm256_loadu_pd(p), high = _mm256_loadu_pd(p + 4);
    return __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
  }
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

  // The frame's bookkeeping, all lanes at once.
  static lanes::LaneScan scan(const BodyLaneState& f, unsigned used) {
    const __m256i interval = loadInts(f.refreshInterval);
    const __m256i mask = _mm256_sub_epi32(interval, _mm256_set1_epi32(1));
    const __m256i order = loadInts(f.order);
    __m256i rows = _mm256_maskz_mov_epi32(static_cast<__mmask8>(used), order);
    rows = _mm256_max_epi32(rows, _mm256_permute2x128_si256(rows, rows, 1));
    rows = _mm256_max_epi32(rows, _mm256_shuffle_epi32(rows, _MM_SHUFFLE(1, 0, 3, 2)));
    rows = _mm256_max_epi32(rows, _mm256_shuffle_epi32(rows, _MM_SHUFFLE(2, 3, 0, 1)));
    lanes::LaneScan scan{};
    scan.rows = _mm256_cvtsi256_si32(_mm256_max_epi32(rows, _mm256_setzero_si256()));
    scan.orderDiffers = _mm256_cmpneq_epi32_mask(order, _mm256_set1_epi32(f.order[0])) != 0;
    // The intervals in use are powers of two, which need no division.
    if (_mm256_testz_si256(interval, mask))
      scan.due = _mm256_testn_epi32_mask(loadInts(f.processCount), mask);
    else
      scan.due = lanes::dueByDivision<Avx512Pack>(f);
    return scan;
  }
  static unsigned sameMorph(const BodyLaneFrame& frame, const BodyLaneState& f) {
    const __m512i now = _mm512_castpd_si512(loadHalves(frame.morph));
    return _mm512_cmpeq_epi64_mask(now, _mm512_castpd_si512(load(f.morphUsed)));
  }
  // The output is read in halves: the steady frames store it in halves.
  static void countFiltered(BodyLaneState& f, unsigned on, const double* output) {
    _mm256_mask_storeu_pd(f.lastOutput, static_cast<__mmask8>(on & 0xF), _mm256_loadu_pd(output));
    _mm256_mask_storeu_pd(f.lastOutput + 4, static_cast<__mmask8>(on >> 4),
                          _mm256_loadu_pd(output + 4));
    const __m256i count = loadInts(f.processCount);
    const __m256i counted =
        _mm256_mask_add_epi32(count, static_cast<__mmask8>(on), count, _mm256_set1_epi32(1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(f.processCount), counted);
  }
  template <class Int>
  static __m256i loadInts(const Int* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
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
}  // namespace engine
