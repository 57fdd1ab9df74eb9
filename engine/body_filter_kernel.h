// The body filters of all lanes for one sample frame, written once for any
// SIMD width. `Pack` wraps a register of `Pack::kWidth` doubles with load,
// store, set, add, sub, mul, div, negate, less-than masks and select. Every lane runs
// exactly the operations of `BodyFilter::process`, in the same order, and the
// coefficient pass is interleaved with the feedback sum it feeds (the two
// chains are independent until the output), which hides their latency.
// Included only by the kernel sources, each built for its instruction set.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/body_filter_lanes.h"

namespace engine::lanes {

constexpr int kLanes = BodyLaneState::kLanes;

// `Masked` false: every lane active, refreshing and of the same order, so
// nothing needs to be selected per lane.
template <class Pack, bool Masked>
void filterRows(BodyLaneState& f, const BodyLaneFrame& frame, const double* refreshing,
                const double* activeOrder, const double* refreshOrder, int rows,
                double* output) {
  using V = typename Pack::V;
  constexpr int W = Pack::kWidth;
  constexpr int G = kLanes / W;
  const double* A = f.coefficientsA.data();
  const double* B = f.coefficientsB.data();
  double* C = f.effective.data();
  double* S = f.state.data();

  V lambda[G], negLambda[G], morph[G], gain[G], k[G], refresh[G], order[G], refreshRows[G];
  V p[G], d[G], sigma[G];
  V previousW[G], sum[G], previousU[G], olderU[G], previousC[G];
  const V zero = Pack::set(0.0);
  const V one = Pack::set(1.0);
  for (int g = 0; g < G; ++g) {
    lambda[g] = Pack::load(frame.lambda + g * W);
    negLambda[g] = Pack::negate(lambda[g]);
    morph[g] = Pack::load(frame.morph + g * W);
    gain[g] = Pack::load(f.gain + g * W);
    if constexpr (Masked) {
      refresh[g] = Pack::less(Pack::set(0.5), Pack::load(refreshing + g * W));
      order[g] = Pack::load(activeOrder + g * W);
      refreshRows[g] = Pack::load(refreshOrder + g * W);
      k[g] = Pack::select(refresh[g], Pack::sub(one, Pack::mul(lambda[g], lambda[g])),
                          Pack::load(f.warpFactor + g * W));
    } else {
      k[g] = Pack::sub(one, Pack::mul(lambda[g], lambda[g]));
    }
    p[g] = one;
    d[g] = negLambda[g];
    sigma[g] = zero;
    olderU[g] = zero;
  }

  // Row 0: the first coefficient and the start of the feedback sum.
  for (int g = 0; g < G; ++g) {
    const V a = Pack::load(A + g * W);
    V c = Pack::mul(Pack::add(a, Pack::mul(Pack::sub(Pack::load(B + g * W), a), morph[g])),
                    gain[g]);
    const V cd = Pack::mul(d[g], c);
    const V t = Pack::sub(d[g], Pack::mul(p[g], c));
    p[g] = Pack::sub(p[g], cd);
    d[g] = Pack::mul(negLambda[g], t);
    if constexpr (Masked) {
      const V fresh = Pack::less(zero, refreshRows[g]);
      sigma[g] = Pack::select(fresh, Pack::add(sigma[g], cd), sigma[g]);
      c = Pack::select(fresh, c, Pack::load(C + g * W));
    } else {
      sigma[g] = Pack::add(sigma[g], cd);
    }
    Pack::store(C + g * W, c);
    const V w = Pack::mul(k[g], Pack::load(S + g * W));
    sum[g] = Pack::mul(c, w);
    previousU[g] = Pack::mul(Pack::negate(c), w);
    previousW[g] = w;
    previousC[g] = c;
  }
  for (int j = 1; j < rows; ++j) {
    const int r = j * kLanes;
    const V row = Pack::set(static_cast<double>(j));
    for (int g = 0; g < G; ++g) {
      const V a = Pack::load(A + r + g * W);
      V c = Pack::mul(Pack::add(a, Pack::mul(Pack::sub(Pack::load(B + r + g * W), a), morph[g])),
                      gain[g]);
      const V cd = Pack::mul(d[g], c);
      const V t = Pack::sub(d[g], Pack::mul(p[g], c));
      p[g] = Pack::sub(p[g], cd);
      d[g] = Pack::mul(negLambda[g], t);
      const V w = Pack::add(
          Pack::mul(k[g], Pack::load(S + r + g * W)),
          Pack::mul(lambda[g], Pack::sub(Pack::mul(previousC[g], olderU[g]), previousW[g])));
      if constexpr (Masked) {
        const V fresh = Pack::less(row, refreshRows[g]);
        sigma[g] = Pack::select(fresh, Pack::add(sigma[g], cd), sigma[g]);
        c = Pack::select(fresh, c, Pack::load(C + r + g * W));
        const V cw = Pack::mul(c, w);
        sum[g] = Pack::select(Pack::less(row, order[g]), Pack::add(sum[g], cw), sum[g]);
        olderU[g] = previousU[g];
        previousU[g] = Pack::sub(previousU[g], cw);
      } else {
        sigma[g] = Pack::add(sigma[g], cd);
        const V cw = Pack::mul(c, w);
        sum[g] = Pack::add(sum[g], cw);
        olderU[g] = previousU[g];
        previousU[g] = Pack::sub(previousU[g], cw);
      }
      Pack::store(C + r + g * W, c);
      previousW[g] = w;
      previousC[g] = c;
    }
  }

  // Output, then the state update through the all-pass chain (row 0 stays 0).
  V y[G], older[G], pass[G], b[G];
  for (int g = 0; g < G; ++g) {
    V normaliser = Pack::div(one, Pack::sub(one, sigma[g]));
    if constexpr (Masked) {
      normaliser = Pack::select(refresh[g], normaliser, Pack::load(f.normaliser + g * W));
    }
    Pack::store(f.normaliser + g * W, normaliser);
    Pack::store(f.warpFactor + g * W, k[g]);
    y[g] = Pack::mul(normaliser, Pack::add(Pack::load(frame.input + g * W), sum[g]));
    Pack::store(output + g * W, y[g]);
    older[g] = Pack::load(S + g * W);
    pass[g] = Pack::add(Pack::mul(lambda[g], older[g]), y[g]);
    b[g] = y[g];
  }
  for (int j = 1; j < rows; ++j) {
    const int r = j * kLanes;
    const V row = Pack::set(static_cast<double>(j));
    for (int g = 0; g < G; ++g) {
      const V c = Pack::load(C + r - kLanes + g * W);
      const V old = Pack::load(S + r + g * W);
      const V e = Pack::sub(older[g], Pack::mul(lambda[g], pass[g]));
      V updated = Pack::sub(Pack::add(e, Pack::mul(lambda[g], old)), Pack::mul(b[g], c));
      b[g] = Pack::sub(b[g], Pack::mul(e, c));
      pass[g] = updated;
      if constexpr (Masked) updated = Pack::select(Pack::less(row, order[g]), updated, old);
      Pack::store(S + r + g * W, updated);
      older[g] = old;
    }
  }
}

template <class Pack>
void processLanes(BodyLaneState& f, const BodyLaneFrame& frame, double* output) {
  double refreshing[kLanes], activeOrder[kLanes], refreshOrder[kLanes], y[kLanes];
  int rows = 0;
  int active = 0;
  bool uniform = true;
  for (int l = 0; l < kLanes; ++l) {
    const bool on = frame.active[l];
    const uint32_t interval = static_cast<uint32_t>(f.refreshInterval[l]);
    const bool fresh = on && f.processCount[l] % interval == 0;
    refreshing[l] = fresh ? 1.0 : 0.0;
    activeOrder[l] = on ? f.order[l] : 0.0;
    refreshOrder[l] = fresh ? f.order[l] : 0.0;
    if (on) {
      rows = std::max(rows, f.order[l]);
      ++active;
    }
    uniform = uniform && fresh && f.order[l] == f.order[0] && f.order[l] >= 1;
  }
  if (active == 0) return;
  if (uniform) {
    filterRows<Pack, false>(f, frame, refreshing, activeOrder, refreshOrder, rows, y);
  } else {
    // Inactive lanes run too, on their own values, but nothing of theirs is stored
    // except what they already held.
    filterRows<Pack, true>(f, frame, refreshing, activeOrder, refreshOrder, rows, y);
  }
  constexpr double kLargest = static_cast<double>(std::numeric_limits<float>::max());
  for (int l = 0; l < kLanes; ++l) {
    if (!frame.active[l]) continue;
    double out = y[l];
    if (!(std::fabs(out) <= kLargest)) {
      // The run-away guard of the single filter: this lane is silenced.
      f.resetLane(l);
      out = 0.0;
    }
    f.lastOutput[l] = out;
    ++f.processCount[l];
    output[l] = out;
  }
}

}  // namespace engine::lanes
