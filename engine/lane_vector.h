// The eight voices' lanes as the compiler's generic vector types, W lanes to a
// register: four in SSE2 registers (two groups), or all eight in an AVX
// register. The arithmetic reads like the scalar code and compiles to the same
// IEEE operations on every lane. Comparisons give masks of all ones or all zeros
// per lane. Only the frame kernel includes this; in an optimised build nothing
// here is a function call in the end (all of it inlines into the kernel,
// whatever its target).
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace engine::lanes {

constexpr int kVoiceLanes = 8;

// One value per voice, aligned so that either width loads it whole.
template <class T>
struct alignas(32) LaneArray {
  T lane[kVoiceLanes] = {};
  T& operator[](int l) { return lane[l]; }
  const T& operator[](int l) const { return lane[l]; }
};

#define QS_LANE_INLINE [[gnu::always_inline]] inline

template <int W>
struct Vectors;

// Like the SSE types, they may alias their elements.
template <>
struct Vectors<4> {
  using Floats = float __attribute__((vector_size(16), __may_alias__));
  using Ints = int32_t __attribute__((vector_size(16), __may_alias__));
  using Bits = uint32_t __attribute__((vector_size(16), __may_alias__));
  using Doubles = double __attribute__((vector_size(32), __may_alias__));
  static constexpr Ints kLaneBits = {1, 2, 4, 8};
  QS_LANE_INLINE static uint32_t movemask(Floats m) {
    return static_cast<uint32_t>(__builtin_ia32_movmskps(m));
  }
  // base[at[i]] and base[at[i] + 1] in lane i of `first` and `second`, one
  // load at a time.
  QS_LANE_INLINE static void gatherPairs(const float* base, const int32_t* at, Floats& first,
                                         Floats& second) {
    first = Floats{base[at[0]], base[at[1]], base[at[2]], base[at[3]]};
    second = Floats{base[at[0] + 1], base[at[1] + 1], base[at[2] + 1], base[at[3] + 1]};
  }
};

template <>
struct Vectors<8> {
  using Floats = float __attribute__((vector_size(32), __may_alias__));
  using Ints = int32_t __attribute__((vector_size(32), __may_alias__));
  using Bits = uint32_t __attribute__((vector_size(32), __may_alias__));
  using Doubles = double __attribute__((vector_size(64), __may_alias__));
  static constexpr Ints kLaneBits = {1, 2, 4, 8, 16, 32, 64, 128};
  QS_LANE_INLINE static uint32_t movemask(Floats m) {
    return Vectors<4>::movemask(__builtin_shufflevector(m, m, 0, 1, 2, 3)) |
           Vectors<4>::movemask(__builtin_shufflevector(m, m, 4, 5, 6, 7)) << 4;
  }
  // base[at[i]] and base[at[i] + 1] in lane i of `first` and `second`: a load
  // of each pair, the pairs then sorted in registers (fewer steps than the
  // processor's gathers). Not forced inline: the kernel's helpers are built for
  // the baseline, and an AVX2 function inlines only into AVX2 code, which it
  // does once they have inlined into the AVX2 entry point.
  [[gnu::target("avx2")]] static void gatherPairs(const float* base, const int32_t* at,
                                                  Floats& first, Floats& second) {
    // A pair's two floats as the bits of one double (only moved, never computed
    // with), at the floats' alignment.
    using Pair = double __attribute__((aligned(alignof(float)), __may_alias__));
    auto pair = [&](int i) { return *reinterpret_cast<const Pair*>(base + at[i]); };
    // Pairs 2k and 2k + 1 in one register: first, second, first, second.
    __m128 q[4];
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) q[k] = _mm_castpd_ps(_mm_set_pd(pair(2 * k + 1), pair(2 * k)));
    const __m256 even = _mm256_set_m128(q[2], q[0]);  // pairs 0, 1 | 4, 5
    const __m256 odd = _mm256_set_m128(q[3], q[1]);   // pairs 2, 3 | 6, 7
    first = _mm256_shuffle_ps(even, odd, _MM_SHUFFLE(2, 0, 2, 0));
    second = _mm256_shuffle_ps(even, odd, _MM_SHUFFLE(3, 1, 3, 1));
  }
};

template <int W>
struct Lanes : Vectors<W> {
  using Floats = typename Vectors<W>::Floats;
  using Ints = typename Vectors<W>::Ints;
  using Bits = typename Vectors<W>::Bits;
  using Doubles = typename Vectors<W>::Doubles;
  static constexpr int kGroups = kVoiceLanes / W;

  // Group g of an array of lanes, as a register.
  QS_LANE_INLINE static Floats& at(LaneArray<float>& lanes, int g) {
    return *reinterpret_cast<Floats*>(lanes.lane + W * g);
  }
  QS_LANE_INLINE static Ints& at(LaneArray<int32_t>& lanes, int g) {
    return *reinterpret_cast<Ints*>(lanes.lane + W * g);
  }
  QS_LANE_INLINE static Bits& at(LaneArray<uint32_t>& lanes, int g) {
    return *reinterpret_cast<Bits*>(lanes.lane + W * g);
  }

  QS_LANE_INLINE static Floats splat(float x) { return Floats{} + x; }
  QS_LANE_INLINE static Ints splat(int32_t x) { return Ints{} + x; }

  // `when` chooses lane by lane between `yes` and `no` (a blend where the
  // instruction set has one).
  template <class V>
  QS_LANE_INLINE static V select(Ints when, V yes, V no) {
    return when ? yes : no;
  }

  // Bit i set where lane i of the mask is.
  QS_LANE_INLINE static uint32_t laneBits(Ints m) {
    return Vectors<W>::movemask(__builtin_bit_cast(Floats, m));
  }
  QS_LANE_INLINE static bool any(Ints m) { return laneBits(m) != 0; }
  // The mask of the lanes whose bit is set.
  QS_LANE_INLINE static Ints maskOf(uint32_t bits) {
    return (Vectors<W>::kLaneBits & static_cast<int32_t>(bits)) != 0;
  }

  static constexpr uint32_t kSign = 0x80000000u;
  QS_LANE_INLINE static Floats abs(Floats x) {
    return __builtin_bit_cast(Floats, __builtin_bit_cast(Bits, x) & ~kSign);
  }
  // The magnitude of `x` with the sign bit of `s`.
  QS_LANE_INLINE static Floats copySign(Floats x, Floats s) {
    const Bits magnitude = __builtin_bit_cast(Bits, x) & ~kSign;
    return __builtin_bit_cast(Floats, magnitude | (__builtin_bit_cast(Bits, s) & kSign));
  }
  // std::ceil of values that are not negative (or NaN): truncation is exact
  // below 2^23, and from there on every float is whole.
  QS_LANE_INLINE static Floats ceilPositive(Floats x) {
    const Ints small = x < 8388608.0f;
    const Ints truncated = __builtin_convertvector(select(small, x, Floats{}), Ints);
    const Floats whole = __builtin_convertvector(truncated, Floats);
    return select(small, whole + select(whole < x, splat(1.0f), Floats{}), x);
  }
  // std::min(x, most) and std::clamp(x, least, most), NaN passing through as there.
  QS_LANE_INLINE static Floats atMost(Floats x, float most) {
    return select(splat(most) < x, splat(most), x);
  }
  QS_LANE_INLINE static Floats clamp(Floats x, float least, float most) {
    return select(x < least, splat(least), atMost(x, most));
  }

  // Whole registers to and from doubles.
  QS_LANE_INLINE static void widen(Floats x, double* to) {
    const Doubles wide = __builtin_convertvector(x, Doubles);
    std::memcpy(to, &wide, sizeof wide);
  }
  QS_LANE_INLINE static Floats narrow(const double* from) {
    Doubles wide;
    std::memcpy(&wide, from, sizeof wide);
    return __builtin_convertvector(wide, Floats);
  }

  // Gathers, one address per lane, put together in registers: going through
  // memory, a vector load would wait for the scalar stores.
  using Four = float __attribute__((vector_size(16), __may_alias__));

  // Four consecutive values from each address: out[j] holds value j of every lane.
  QS_LANE_INLINE static void gatherFours(const float* const (&at)[W], Floats (&out)[4]) {
    Four r[W];
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) std::memcpy(&r[i], at[i], sizeof(Four));
    Four columns[W / 4][4];
#pragma GCC unroll 2
    for (int q = 0; q < W / 4; ++q) {
      const Four* s = r + 4 * q;
      const Four low01 = __builtin_shufflevector(s[0], s[1], 0, 4, 1, 5);
      const Four high01 = __builtin_shufflevector(s[0], s[1], 2, 6, 3, 7);
      const Four low23 = __builtin_shufflevector(s[2], s[3], 0, 4, 1, 5);
      const Four high23 = __builtin_shufflevector(s[2], s[3], 2, 6, 3, 7);
      columns[q][0] = __builtin_shufflevector(low01, low23, 0, 1, 4, 5);
      columns[q][1] = __builtin_shufflevector(low01, low23, 2, 3, 6, 7);
      columns[q][2] = __builtin_shufflevector(high01, high23, 0, 1, 4, 5);
      columns[q][3] = __builtin_shufflevector(high01, high23, 2, 3, 6, 7);
    }
#pragma GCC unroll 4
    for (int j = 0; j < 4; ++j) {
      if constexpr (W == 4)
        out[j] = columns[0][j];
      else
        out[j] = __builtin_shufflevector(columns[0][j], columns[1][j], 0, 1, 2, 3, 4, 5, 6, 7);
    }
  }

  // tables[i][at[i]] in lane i.
  QS_LANE_INLINE static Floats gatherEach(const float* const* tables, const int32_t* at) {
    if constexpr (W == 4)
      return Floats{tables[0][at[0]], tables[1][at[1]], tables[2][at[2]], tables[3][at[3]]};
    else
      return Floats{tables[0][at[0]], tables[1][at[1]], tables[2][at[2]], tables[3][at[3]],
                    tables[4][at[4]], tables[5][at[5]], tables[6][at[6]], tables[7][at[7]]};
  }
};

}  // namespace engine::lanes
