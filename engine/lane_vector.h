// Four single-precision lanes, one per voice, as the compiler's generic vector
// type: SSE2 registers on every x86 build. The arithmetic reads like the scalar
// code and compiles to the same IEEE operations on every lane. Comparisons give
// masks of all ones or all zeros per lane. Eight voices are two groups of four.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace engine::lanes {

constexpr int kGroupLanes = 4;
constexpr int kGroups = 2;
constexpr int kVoiceLanes = kGroupLanes * kGroups;

// Like the SSE types, they may alias their elements.
using Floats = float __attribute__((vector_size(16), __may_alias__));
using Ints = int32_t __attribute__((vector_size(16), __may_alias__));
using Bits = uint32_t __attribute__((vector_size(16), __may_alias__));

// Lane l of eight, in its group.
inline float& lane(Floats (&groups)[kGroups], int l) { return reinterpret_cast<float*>(groups)[l]; }
inline int32_t& lane(Ints (&groups)[kGroups], int l) { return reinterpret_cast<int32_t*>(groups)[l]; }
inline uint32_t& lane(Bits (&groups)[kGroups], int l) {
  return reinterpret_cast<uint32_t*>(groups)[l];
}

inline Floats splat(float x) { return Floats{} + x; }
// Gathers from four addresses, one per lane, put together in registers: going
// through memory, a vector load would wait for the four scalar stores.
// Four consecutive values from each address: out[j] holds value j of every lane.
inline void gatherFours(const float* const (&at)[kGroupLanes], Floats (&out)[4]) {
  __m128 r0 = _mm_loadu_ps(at[0]), r1 = _mm_loadu_ps(at[1]);
  __m128 r2 = _mm_loadu_ps(at[2]), r3 = _mm_loadu_ps(at[3]);
  _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
  out[0] = r0;
  out[1] = r1;
  out[2] = r2;
  out[3] = r3;
}
// value(i) for the lanes i whose bit is set, 0 for the others, called in lane order.
template <class Value>
inline Floats gatherLanes(uint32_t bits, Value value) {
  const float v0 = bits & 1u ? value(0) : 0.0f;
  const float v1 = bits & 2u ? value(1) : 0.0f;
  const float v2 = bits & 4u ? value(2) : 0.0f;
  const float v3 = bits & 8u ? value(3) : 0.0f;
  return _mm_setr_ps(v0, v1, v2, v3);
}
// Two consecutive values from each address.
inline void gatherPairs(const float* const (&at)[kGroupLanes], Floats& first, Floats& second) {
  // Eight bytes each, at the alignment of a float.
  auto pair = [](const float* p) {
    return _mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  };
  const __m128d p0 = pair(at[0]), p1 = pair(at[1]), p2 = pair(at[2]), p3 = pair(at[3]);
  const __m128 low = _mm_castpd_ps(_mm_unpacklo_pd(p0, p1));   // first0 second0 first1 second1
  const __m128 high = _mm_castpd_ps(_mm_unpacklo_pd(p2, p3));  // first2 second2 first3 second3
  first = _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0));
  second = _mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1));
}
inline Ints splat(int32_t x) { return Ints{} + x; }
inline Bits asBits(Floats x) { return __builtin_bit_cast(Bits, x); }
inline Floats asFloats(Bits x) { return __builtin_bit_cast(Floats, x); }

// `when` chooses lane by lane between `yes` and `no` (as scalar code would with `?:`).
// (A blend where the instruction set has one.)
inline Floats select(Ints when, Floats yes, Floats no) { return when ? yes : no; }
inline Ints select(Ints when, Ints yes, Ints no) { return when ? yes : no; }
inline Bits select(Ints when, Bits yes, Bits no) { return when ? yes : no; }

// Bit l set where lane l of the mask is.
inline uint32_t laneBits(Ints m) {
  return static_cast<uint32_t>(_mm_movemask_ps(__builtin_bit_cast(__m128, m)));
}
inline bool any(Ints m) { return laneBits(m) != 0; }
// The mask of the lanes whose bit is set.
inline Ints maskOf(uint32_t bits) { return (Ints{1, 2, 4, 8} & static_cast<int32_t>(bits)) != 0; }

constexpr uint32_t kSign = 0x80000000u;
inline Floats abs(Floats x) { return asFloats(asBits(x) & ~kSign); }
// The magnitude of `x` with the sign bit of `s`.
inline Floats copySign(Floats x, Floats s) {
  return asFloats((asBits(x) & ~kSign) | (asBits(s) & kSign));
}
// std::ceil of values that are not negative (or NaN): truncation is exact below
// 2^23, and from there on every float is whole.
inline Floats ceilPositive(Floats x) {
  const Ints small = x < 8388608.0f;
  const Ints truncated = __builtin_convertvector(select(small, x, Floats{}), Ints);
  const Floats whole = __builtin_convertvector(truncated, Floats);
  return select(small, whole + select(whole < x, splat(1.0f), Floats{}), x);
}
// std::min(x, most) and std::clamp(x, least, most), NaN passing through as there.
inline Floats atMost(Floats x, float most) { return select(splat(most) < x, splat(most), x); }
inline Floats clamp(Floats x, float least, float most) {
  return select(x < least, splat(least), atMost(x, most));
}

}  // namespace engine::lanes
