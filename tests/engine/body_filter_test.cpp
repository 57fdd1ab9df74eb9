#include "engine/body_filter.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/body_filter_lanes.h"
#include "engine/body_types.h"
#include "engine/voice_lanes.h"

namespace {

using engine::BodyFilter;

BodyFilter makeFilter(const std::vector<double>& setA, const std::vector<double>& setB) {
  BodyFilter filter(30);
  filter.setOrder(static_cast<int>(setA.size()));
  filter.loadCoefficients(setA.data(), static_cast<int>(setA.size()), true);
  filter.loadCoefficients(setB.data(), static_cast<int>(setB.size()), false);
  return filter;
}

std::vector<double> impulseResponse(BodyFilter& filter, int length, double lambda, double morph) {
  std::vector<double> out;
  for (int n = 0; n < length; ++n) out.push_back(filter.process(n == 0 ? 1.0 : 0.0, lambda, morph));
  return out;
}

TEST(BodyFilter, OrderThreeWorkedExample) {
  BodyFilter filter = makeFilter({0.5, -0.25, 0.125}, {0.5, -0.25, 0.125});
  filter.setRefreshInterval(1);
  filter.computeCoefficients(0.5, 1.0, 0.0);
  EXPECT_DOUBLE_EQ(filter.getNormaliser(), 1.0 / 1.42578125);
  EXPECT_DOUBLE_EQ(filter.getWarpFactor(), 0.75);

  const std::vector<double> expected = {0.7013699, 0.1527641, 0.0750672, 0.0290563, 0.0047411};
  const std::vector<double> out = impulseResponse(filter, 5, 0.5, 0.3);
  for (size_t n = 0; n < expected.size(); ++n) EXPECT_NEAR(out[n], expected[n], 5e-8) << n;
  EXPECT_EQ(filter.lastOutput(), out.back());
  EXPECT_EQ(filter.getProcessCount(), 5u);
}

TEST(BodyFilter, OrderOneScalesWithoutMemory) {
  BodyFilter filter = makeFilter({0.6}, {0.2});
  const double lambda = 0.3;
  // Morph 0.5 gives c0 = 0.4, scaled by the gain 0.5 to 0.2.
  filter.setGain(0.5);
  for (double x : {0.8, -0.3, 0.0, 1.0}) {
    EXPECT_NEAR(filter.process(x, lambda, 0.5), x / (1.0 + lambda * 0.2), 1e-15);
  }
  EXPECT_DOUBLE_EQ(filter.getEffective(0), 0.2);
}

TEST(BodyFilter, NoWarpingGivesUnitNormaliserAndPlainRecursion) {
  BodyFilter filter = makeFilter({0.5, 0.4}, {0.5, 0.4});
  filter.computeCoefficients(0.0, 1.0, 0.0);
  EXPECT_EQ(filter.getNormaliser(), 1.0);
  EXPECT_EQ(filter.getWarpFactor(), 1.0);
  // Without warping, order 2 reduces to y[n] = x[n] - c0 c1 y[n-1].
  const std::vector<double> out = impulseResponse(filter, 4, 0.0, 0.0);
  EXPECT_DOUBLE_EQ(out[0], 1.0);
  EXPECT_DOUBLE_EQ(out[1], -0.2);
  EXPECT_DOUBLE_EQ(out[2], 0.04);
  EXPECT_DOUBLE_EQ(out[3], -0.008);
}

TEST(BodyFilter, BodyTypeNonePassesTheInput) {
  BodyFilter filter(30);
  filter.setOrder(30);
  filter.loadCoefficients(engine::bodyTypeTable(engine::kBodyNone), 30, true);
  filter.loadCoefficients(engine::bodyTypeTable(engine::kBodyNone), 30, false);
  // The signal peaks near 1.3: every output is within 1e-12 of that magnitude.
  for (int n = 0; n < 2000; ++n) {
    const double x = std::sin(0.05 * n) + 0.3 * std::sin(1.3 * n);
    const double y = filter.process(x, 0.7, 0.5);
    ASSERT_NEAR(y, x, 1.3e-12) << n;
  }
}

TEST(BodyFilter, HeldCoefficientsWithRefreshIntervalEight) {
  BodyFilter held = makeFilter({0.3, -0.2, 0.1, 0.05}, {-0.5, 0.3, 0.2, -0.1});
  BodyFilter fresh = makeFilter({0.3, -0.2, 0.1, 0.05}, {-0.5, 0.3, 0.2, -0.1});
  held.setRefreshInterval(8);
  fresh.setRefreshInterval(1);
  for (int n = 0; n < 17; ++n) {
    const double lambda = 0.2 + 0.03 * n;
    const double morph = 0.05 * n;
    const double x = n == 0 ? 1.0 : 0.0;
    const double heldOut = held.process(x, lambda, morph);
    const double freshOut = fresh.process(x, lambda, morph);
    const double coefficientLambda = 0.2 + 0.03 * (n / 8 * 8);
    const double coefficientMorph = 0.05 * (n / 8 * 8);
    EXPECT_DOUBLE_EQ(held.getWarpFactor(), 1.0 - coefficientLambda * coefficientLambda) << n;
    EXPECT_DOUBLE_EQ(held.getEffective(0), 0.3 + (-0.5 - 0.3) * coefficientMorph) << n;
    if (n % 8 == 0) {
      EXPECT_EQ(held.getNormaliser(), fresh.getNormaliser()) << n;
    } else {
      EXPECT_NE(held.getNormaliser(), fresh.getNormaliser()) << n;
      EXPECT_NE(heldOut, freshOut) << n;
    }
  }
}

TEST(BodyFilter, ProcessCountSurvivesReset) {
  BodyFilter filter = makeFilter({0.3, 0.2}, {0.1, 0.4});
  filter.setRefreshInterval(8);
  for (int n = 0; n < 5; ++n) filter.process(0.1, 0.5, 0.0);
  filter.reset();
  EXPECT_EQ(filter.lastOutput(), 0.0);
  EXPECT_EQ(filter.getProcessCount(), 5u);
  // Samples 5, 6 and 7 still use the coefficients of sample 0 (morph 0).
  for (int n = 5; n < 8; ++n) filter.process(0.0, 0.5, 1.0);
  EXPECT_DOUBLE_EQ(filter.getEffective(0), 0.3);
  filter.process(0.0, 0.5, 1.0);
  EXPECT_DOUBLE_EQ(filter.getEffective(0), 0.1);
}

TEST(BodyFilter, OutOfRangeSettingsAreLimited) {
  BodyFilter filter(30);
  filter.setOrder(100);
  EXPECT_EQ(filter.getOrder(), 30);
  filter.setOrder(-2);
  EXPECT_EQ(filter.getOrder(), 0);
  EXPECT_EQ(filter.process(0.25, 0.5, 0.0), 0.25);
  filter.setRefreshInterval(0);
  EXPECT_EQ(filter.getRefreshInterval(), 1);

  std::vector<double> many(40, 0.5);
  filter.setOrder(30);
  filter.loadCoefficients(many.data(), 40, true);
  filter.loadCoefficients(nullptr, 30, false);
  filter.computeCoefficients(0.0, 1.0, 0.0);
  EXPECT_EQ(filter.getEffective(29), 0.5);
  EXPECT_EQ(BodyFilter(0).getCapacity(), 1);
}

TEST(BodyFilter, RunawayRecursionIsSilencedInsteadOfOverflowing) {
  // Without warping y[n] = x[n] - c0 c1 y[n-1] = x[n] + 2 y[n-1] doubles every sample.
  BodyFilter filter = makeFilter({2.0, -1.0}, {2.0, -1.0});
  bool silenced = false;
  for (int n = 0; n < 400; ++n) {
    const double y = filter.process(n == 0 ? 1.0 : 0.0, 0.0, 0.0);
    ASSERT_LE(std::fabs(y), BodyFilter::kRunawayLevel) << n;
    if (n > 0 && y == 0.0) silenced = true;
    if (silenced) {
      ASSERT_EQ(y, 0.0) << n;
    }
  }
  EXPECT_TRUE(silenced);

  BodyFilter stable = makeFilter({0.5, 0.4}, {0.5, 0.4});
  EXPECT_EQ(stable.process(std::numeric_limits<double>::quiet_NaN(), 0.3, 0.0), 0.0);
  EXPECT_EQ(stable.process(1.0, 0.0, 0.0), 1.0);
}

// Side by side, every kernel gives the bits of the filter alone, also when a
// lane's gain, sets or order change while its morph stays the same (its
// coefficients must then be morphed again, not kept), and at the smallest orders.
TEST(BodyFilterLanes, KernelsFollowChangesAtAnUnchangedMorph) {
  using Kernel = engine::BodyFilterLanes::Kernel;
  constexpr int kLanes = engine::BodyLaneState::kLanes;
  for (Kernel kernel : {Kernel::sse2, Kernel::avx, Kernel::avx512}) {
    if (!engine::BodyFilterLanes::available(kernel)) continue;
    engine::BodyFilterLanes lanes(30);
    lanes.setKernel(kernel);
    std::vector<BodyFilter> side, alone;
    side.reserve(kLanes);
    alone.reserve(kLanes);
    for (int l = 0; l < kLanes; ++l) {
      side.emplace_back(lanes.lanes(), l);
      alone.emplace_back(30);
    }
    auto both = [&](auto change) {
      for (int l = 0; l < kLanes; ++l) {
        change(side[l], l);
        change(alone[l], l);
      }
    };
    both([](BodyFilter& f, int l) {
      f.setOrder(12);
      f.loadCoefficients(engine::bodyTypeTable(1 + l % 7), 12, true);
      f.loadCoefficients(engine::bodyTypeTable(2), 12, false);
    });
    engine::BodyLaneFrame frame;
    frame.active = (1u << kLanes) - 1u;
    for (int n = 0; n < 72; ++n) {
      if (n == 15) both([](BodyFilter& f, int) { f.setGain(0.7); });
      if (n == 30)
        both([](BodyFilter& f, int) { f.loadCoefficients(engine::bodyTypeTable(3), 12, true); });
      if (n == 45)
        both([](BodyFilter& f, int l) {
          // The last lane alone has the highest order.
          const int order = l % 2 ? 12 + l : 12;
          f.setOrder(order);
          f.loadCoefficients(engine::bodyTypeTable(3), order, true);
        });
      if (n == 60)
        both([](BodyFilter& f, int l) {
          f.setOrder(l % 4);
          f.setRefreshInterval(4);
        });
      if (n == 64) both([](BodyFilter& f, int) { f.setOrder(1); });
      if (n == 68) both([](BodyFilter& f, int) { f.setOrder(2); });
      double out[kLanes];
      for (int l = 0; l < kLanes; ++l) {
        frame.input[l] = n == 0 ? 1.0 : 0.01 * l;
        frame.lambda[l] = 0.4;
        frame.morph[l] = 0.5;
      }
      lanes.process(frame, out);
      for (int l = 0; l < kLanes; ++l) {
        const double expected = alone[l].process(frame.input[l], 0.4, 0.5);
        ASSERT_EQ(std::memcmp(&out[l], &expected, sizeof expected), 0)
            << static_cast<int>(kernel) << ", lane " << l << ", sample " << n;
        ASSERT_EQ(side[l].lastOutput(), alone[l].lastOutput()) << l;
      }
    }
  }
}

// A gain of exactly 1 may be left out of the morph only where it gives every
// bit back: not where the processor reads denormal inputs as zero but keeps
// denormal results (the product is then 0, the sum a denormal).
TEST(BodyFilterLanes, UnitGainKeepsWhatDenormalsAsZeroMake) {
  using Kernel = engine::BodyFilterLanes::Kernel;
  constexpr int kLanes = engine::BodyLaneState::kLanes;
  const unsigned saved = _mm_getcsr();
  _mm_setcsr((saved & ~0x8000u) | 0x0040u);
  const double setA[2] = {3e-308, 0.3}, setB[2] = {-3e-308, 0.3};
  for (Kernel kernel : {Kernel::sse2, Kernel::avx, Kernel::avx512}) {
    if (!engine::BodyFilterLanes::available(kernel)) continue;
    engine::BodyFilterLanes lanes(4);
    lanes.setKernel(kernel);
    BodyFilter alone(4), side(lanes.lanes(), 0);
    for (BodyFilter* f : {&alone, &side}) {
      f->setOrder(2);
      f->loadCoefficients(setA, 2, true);
      f->loadCoefficients(setB, 2, false);
    }
    for (int l = 1; l < kLanes; ++l) BodyFilter(lanes.lanes(), l).setOrder(2);
    engine::BodyLaneFrame frame;
    frame.active = (1u << kLanes) - 1u;
    // The second sample, all lanes alike, morphs to the denormal.
    for (double morph : {0.5, 0.4}) {
      for (int l = 0; l < kLanes; ++l) frame.morph[l] = morph;
      double out[kLanes];
      lanes.process(frame, out);
      alone.process(0.0, 0.0, morph);
    }
    const double expected = alone.getEffective(0), got = side.getEffective(0);
    EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
        << static_cast<int>(kernel) << ": " << got;
  }
  _mm_setcsr(saved);
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// Every 64-bit build, Linux and Windows, offers the wide kernels wherever the
// processor runs them: a build that quietly falls back to SSE2 plays at half speed.
TEST(BodyFilterLanes, SixtyFourBitBuildsOfferTheWideKernels) {
  using Kernel = engine::BodyFilterLanes::Kernel;
  EXPECT_TRUE(engine::BodyFilterLanes::available(Kernel::sse2));
  EXPECT_EQ(engine::BodyFilterLanes::available(Kernel::avx), __builtin_cpu_supports("avx") != 0);
  EXPECT_EQ(engine::BodyFilterLanes::available(Kernel::avx512),
            __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"));
  EXPECT_EQ(engine::VoiceLanes::available(engine::VoiceLanes::Kernel::avx2),
            __builtin_cpu_supports("avx2") != 0);
}
#endif

}  // namespace
