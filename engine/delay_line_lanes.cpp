#include "engine/delay_line_lanes.h"

#include <emmintrin.h>

namespace engine {

void computeDelayTaps(DelayTapLanes& t) {
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 two = _mm_set1_ps(2.0f);
  const __m128 three = _mm_set1_ps(3.0f);
  const __m128 largest = _mm_set1_ps(DelayLine::kLargestDelay);
  const __m128 sixth = _mm_set1_ps(DelayLine::kSixth);
  const __m128 half = _mm_set1_ps(DelayLine::kHalf);
  const __m128 sign = _mm_set1_ps(-0.0f);
  for (int i = 0; i < DelayTapLanes::kLanes; i += 4) {
    __m128 delay = _mm_loadu_ps(t.delay + i);
    // Negative and NaN delays become +0; the others at most the largest delay.
    delay = _mm_and_ps(_mm_cmpgt_ps(delay, zero), _mm_min_ps(largest, delay));
    // Rounded up: the delay lies in [0, 1e9], where truncation to an integer is exact.
    __m128 ceiling = _mm_cvtepi32_ps(_mm_cvttps_epi32(delay));
    ceiling = _mm_add_ps(ceiling, _mm_and_ps(_mm_cmplt_ps(ceiling, delay), one));
    const __m128 fraction = _mm_sub_ps(ceiling, delay);
    const __m128 a = _mm_sub_ps(three, fraction);
    const __m128 a1 = _mm_sub_ps(a, one);
    const __m128 a2 = _mm_sub_ps(a, two);
    const __m128 a3 = _mm_sub_ps(a, three);
    const __m128 h0 = _mm_mul_ps(_mm_xor_ps(_mm_mul_ps(_mm_mul_ps(a1, a2), a3), sign), sixth);
    const __m128 h1 = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(a, a2), a3), half);
    const __m128 h2 = _mm_mul_ps(_mm_xor_ps(_mm_mul_ps(_mm_mul_ps(a, a1), a3), sign), half);
    const __m128 h3 = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(a, a1), a2), sixth);
    _mm_storeu_ps(t.ceiling + i, ceiling);
    _mm_storeu_ps(t.fraction + i, fraction);
    _mm_storeu_ps(t.h0 + i, h0);
    _mm_storeu_ps(t.h1 + i, h1);
    _mm_storeu_ps(t.h2 + i, h2);
    _mm_storeu_ps(t.h3 + i, h3);
  }
}

}  // namespace engine
