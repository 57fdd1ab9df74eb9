// The body filters of all lanes for one sample frame, written once for any
// SIMD width. `Pack` wraps a register of `Pack::kWidth` doubles with load,
// store, set, add, sub, mul, div, negate, less-than masks (`Pack::M`) and
// select. Every lane runs exactly the operations of `BodyFilter::process`, in
// the same order; the coefficient pass is interleaved with the feedback sum it
// feeds (the two chains are independent until the output), which hides their
// latency. Included only by the kernel sources, each built for its instruction
// set: it calls no inline library function, whose one out-of-line copy the
// linker could otherwise take from a wider instruction set's file.
#pragma once

#include "engine/body_filter_lanes.h"

namespace engine::lanes {

constexpr int kLanes = BodyLaneState::kLanes;

// Which lanes recompute their coefficients and which rows they use, as doubles
// so that packs compare them: a row j is used where j < the lane's value.
struct LaneRows {
  double refreshing[kLanes];  // 1 where the lane recomputes its coefficients, else 0
  double active[kLanes];      // the lane's order where it runs, else 0
  double fresh[kLanes];       // the lane's order where it recomputes, else 0
};

// `Refresh`: some lane recomputes its coefficients. `Masked`: the lanes differ
// (in activity, order or refresh), so every result is selected per lane; when
// false, every lane runs with the same order and the same refresh.
template <class Pack, bool Refresh, bool Masked>
void filterRows(BodyLaneState& f, const BodyLaneFrame& frame, const LaneRows& lanes, int rows,
                double* output) {
  using V = typename Pack::V;
  using M = typename Pack::M;
  constexpr int W = Pack::kWidth;
  constexpr int G = kLanes / W;
  const double* A = f.coefficientsA;
  const double* B = f.coefficientsB;
  double* C = f.effective;
  double* S = f.state;

  V lambda[G], negLambda[G], morph[G], gain[G], k[G], order[G], freshRows[G];
  M refresh[G];
  V p[G], d[G], sigma[G];
  V previousW[G], sum[G], previousU[G], olderU[G], previousC[G];
  const V zero = Pack::set(0.0);
  const V one = Pack::set(1.0);
  for (int g = 0; g < G; ++g) {
    lambda[g] = Pack::load(frame.lambda + g * W);
    negLambda[g] = Pack::negate(lambda[g]);
    morph[g] = Pack::load(frame.morph + g * W);
    gain[g] = Pack::load(f.gain + g * W);
    k[g] = Pack::load(f.warpFactor + g * W);
    if constexpr (Masked) {
      refresh[g] = Pack::less(Pack::set(0.5), Pack::load(lanes.refreshing + g * W));
      order[g] = Pack::load(lanes.active + g * W);
      freshRows[g] = Pack::load(lanes.fresh + g * W);
    }
    if constexpr (Refresh) {
      const V warpFactor = Pack::sub(one, Pack::mul(lambda[g], lambda[g]));
      k[g] = Masked ? Pack::select(refresh[g], warpFactor, k[g]) : warpFactor;
    }
    p[g] = one;
    d[g] = negLambda[g];
    sigma[g] = zero;
    olderU[g] = zero;
  }

  // Coefficient j of group g: recomputed (and stored) where due, else the stored one.
  auto coefficient = [&](int g, int j, const V& row) {
    const int at = j * kLanes + g * W;
    if constexpr (!Refresh) {
      return Pack::load(C + at);
    } else {
      const V a = Pack::load(A + at);
      V c = Pack::mul(Pack::add(a, Pack::mul(Pack::sub(Pack::load(B + at), a), morph[g])), gain[g]);
      const V cd = Pack::mul(d[g], c);
      const V t = Pack::sub(d[g], Pack::mul(p[g], c));
      p[g] = Pack::sub(p[g], cd);
      d[g] = Pack::mul(negLambda[g], t);
      if constexpr (Masked) {
        const M fresh = Pack::less(row, freshRows[g]);
        sigma[g] = Pack::select(fresh, Pack::add(sigma[g], cd), sigma[g]);
        c = Pack::select(fresh, c, Pack::load(C + at));
      } else {
        sigma[g] = Pack::add(sigma[g], cd);
      }
      Pack::store(C + at, c);
      return c;
    }
  };

  // Row 0: the first coefficient and the start of the feedback sum.
  for (int g = 0; g < G; ++g) {
    const V c = coefficient(g, 0, zero);
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
      const V c = coefficient(g, j, row);
      const V w = Pack::add(
          Pack::mul(k[g], Pack::load(S + r + g * W)),
          Pack::mul(lambda[g], Pack::sub(Pack::mul(previousC[g], olderU[g]), previousW[g])));
      const V cw = Pack::mul(c, w);
      if constexpr (Masked) {
        sum[g] = Pack::select(Pack::less(row, order[g]), Pack::add(sum[g], cw), sum[g]);
      } else {
        sum[g] = Pack::add(sum[g], cw);
      }
      olderU[g] = previousU[g];
      previousU[g] = Pack::sub(previousU[g], cw);
      previousW[g] = w;
      previousC[g] = c;
    }
  }

  // Output, then the state update through the all-pass chain (row 0 stays 0).
  V older[G], pass[G], b[G];
  for (int g = 0; g < G; ++g) {
    V normaliser = Pack::load(f.normaliser + g * W);
    if constexpr (Refresh) {
      const V fresh = Pack::div(one, Pack::sub(one, sigma[g]));
      normaliser = Masked ? Pack::select(refresh[g], fresh, normaliser) : fresh;
      Pack::store(f.normaliser + g * W, normaliser);
      Pack::store(f.warpFactor + g * W, k[g]);
    }
    const V y = Pack::mul(normaliser, Pack::add(Pack::load(frame.input + g * W), sum[g]));
    Pack::store(output + g * W, y);
    older[g] = Pack::load(S + g * W);
    pass[g] = Pack::add(Pack::mul(lambda[g], older[g]), y);
    b[g] = y;
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
  LaneRows lanes;
  double y[kLanes];
  int rows = 0;
  int active = 0;
  int refreshing = 0;
  bool sameOrder = true;
  for (int l = 0; l < kLanes; ++l) {
    const bool on = frame.active[l];
    const uint32_t interval = static_cast<uint32_t>(f.refreshInterval[l]);
    const bool fresh = on && f.processCount[l] % interval == 0;
    lanes.refreshing[l] = fresh ? 1.0 : 0.0;
    lanes.active[l] = on ? f.order[l] : 0.0;
    lanes.fresh[l] = fresh ? f.order[l] : 0.0;
    if (on && f.order[l] > rows) rows = f.order[l];
    active += on ? 1 : 0;
    refreshing += fresh ? 1 : 0;
    sameOrder = sameOrder && f.order[l] == f.order[0];
  }
  if (active == 0) return;
  // Inactive lanes run too, on their own values, but keep what they held.
  const bool uniform = active == kLanes && sameOrder && rows >= 1;
  if (uniform && refreshing == kLanes) {
    filterRows<Pack, true, false>(f, frame, lanes, rows, y);
  } else if (uniform && refreshing == 0) {
    filterRows<Pack, false, false>(f, frame, lanes, rows, y);
  } else if (refreshing == 0) {
    filterRows<Pack, false, true>(f, frame, lanes, rows, y);
  } else {
    filterRows<Pack, true, true>(f, frame, lanes, rows, y);
  }
  for (int l = 0; l < kLanes; ++l) {
    if (!frame.active[l]) continue;
    double out = y[l];
    constexpr double kLevel = BodyLaneState::kRunawayLevel;
    if (!(out <= kLevel && out >= -kLevel)) {
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
