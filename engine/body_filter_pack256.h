// Four doubles to a 256-bit register: the arithmetic that the AVX kernel and
// the steady frames of the AVX-512 kernel share. Included only by those kernel
// sources, each built for its own instruction set; internal linkage keeps each
// file's copy of these functions its own.
#pragma once

#include <immintrin.h>

namespace engine {
namespace {

struct Pack256 {
  using V = __m256d;
  static constexpr int kWidth = 4;
  static V load(const double* p) { return _mm256_loadu_pd(p); }
  static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V set(double x) { return _mm256_set1_pd(x); }
  static V add(V a, V b) { return _mm256_add_pd(a, b); }
  static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V div(V a, V b) { return _mm256_div_pd(a, b); }
  static V negate(V a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
  static V magnitude(V a) { return _mm256_andnot_pd(set(-0.0), a); }
};

}  // namespace
}  // namespace engine
