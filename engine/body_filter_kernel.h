// The body filters of all lanes for one sample frame, written once for any
// SIMD width. `Pack` wraps a register of `Pack::kWidth` doubles with load,
// store, set, add, sub, mul, div, negate, less-than masks (`Pack::M`), select
// and `within` (a bit per lane of at most a given magnitude). It says by
// `kFuseUpdate` whether it has the registers to run the owed update in the
// same loop as the feedback sum, and by `kSumFollows` whether it has the
// registers to keep a row for the sum while the next row's update runs.
// Every lane runs exactly the operations of `BodyFilter::process`, in the same
// order. Three chains run side by side, row by row: the state update owed from
// the lane's previous sample, the coefficient pass and the feedback sum, which
// reads each state element just after the update has written it.
// This sample's own update is left owed for the next call (or for
// `BodyLaneState::settle`). A caller may have other work run between the rows
// (`steps(row)`, after row - 1's sum), beside the chain. Included only by the
// kernel sources, each built for its instruction set: it calls no inline
// function, whose one out-of-line copy the linker could otherwise take from a
// wider instruction set's file.
#pragma once

#include <xmmintrin.h>

#include <cstdint>
#include <cstring>

#include "engine/body_filter_lanes.h"

namespace engine::lanes {

constexpr int kLanes = BodyLaneState::kLanes;

// Which lanes do what, as doubles so that packs compare them: a row j is
// used where j < the lane's value.
struct LaneRows {
  double refreshing[kLanes];  // 1 where the lane recomputes its coefficients, else 0
  double active[kLanes];      // the lane's order where it filters this frame, else 0
  double fresh[kLanes];       // the lane's order where it recomputes, else 0
  double owed[kLanes];        // the lane's order where an update is owed, else 0
};

// The frame's values, as the voices stored them: a pack wider than their stores
// may load it in parts (`Pack::loadHalves`), each of which a store hands on.
template <class Pack>
typename Pack::V loadFrame(const double* p) {
  if constexpr (requires { Pack::loadHalves(p); })
    return Pack::loadHalves(p);
  else
    return Pack::load(p);
}

// Nothing to run between the rows.
struct NoSteps {
  [[gnu::always_inline]] void operator()(int) {}
};

// Returns a bit per lane whose output is at most the run-away level.
// `Refresh`: some lane recomputes its coefficients. `Masked`: the lanes differ
// (in activity, owed updates, order or refresh), so every result is selected per
// lane; when false, every lane filters and owes an update, with the same order
// and the same refresh. `Morph`: the effective coefficients of a refreshing
// lane are morphed again; when false, they would come out as they are (same
// sets, gain and morph), and only the warping is recomputed from them.
// `Scale`: the morphed coefficients are scaled by the gain; when false, every
// gain is 1 and would give them back as they are.
template <class Pack, bool Refresh, bool Masked, bool Morph, bool Scale = true, class Steps>
[[gnu::always_inline]] inline unsigned filterRows(BodyLaneState& f, const BodyLaneFrame& frame,
                                                  const LaneRows& lanes, int rows, double* output,
                                                  Steps& steps) {
  using V = typename Pack::V;
  using M = typename Pack::M;
  constexpr int W = Pack::kWidth;
  constexpr int G = kLanes / W;
  const double* A = f.coefficientsA;
  const double* D = f.coefficientsStep;
  double* C = f.effective;
  double* S = f.state;

  V lambda[G], negLambda[G], morph[G], gain[G], k[G], order[G], freshRows[G], owedRows[G];
  M refresh[G];
  V p[G], d[G], sigma[G];
  V previousW[G], sum[G], previousU[G], olderU[G], previousC[G];
  // The owed update: its warping, all-pass chain, last old state element and
  // the coefficient it used (row j - 1 of the effective set before this pass).
  V owedLambda[G], pass[G], b[G], older[G], usedC[G];
  const V zero = Pack::set(0.0);
  const V one = Pack::set(1.0);
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) {
    lambda[g] = loadFrame<Pack>(frame.lambda + g * W);
    negLambda[g] = Pack::negate(lambda[g]);
    morph[g] = loadFrame<Pack>(frame.morph + g * W);
    gain[g] = Pack::load(f.gain + g * W);
    k[g] = Pack::load(f.warpFactor + g * W);
    if constexpr (Masked) {
      refresh[g] = Pack::less(Pack::set(0.5), Pack::load(lanes.refreshing + g * W));
      order[g] = Pack::load(lanes.active + g * W);
      freshRows[g] = Pack::load(lanes.fresh + g * W);
      owedRows[g] = Pack::load(lanes.owed + g * W);
    }
    if constexpr (Refresh) {
      const V warpFactor = Pack::sub(one, Pack::mul(lambda[g], lambda[g]));
      k[g] = Masked ? Pack::select(refresh[g], warpFactor, k[g]) : warpFactor;
    }
    p[g] = one;
    d[g] = negLambda[g];
    sigma[g] = zero;
    olderU[g] = zero;
    owedLambda[g] = Pack::load(f.owedLambda + g * W);
  }

  // Coefficient j of group g: recomputed (and stored) where due, else the
  // stored one. Keeps the stored one in usedC for the owed update's next row.
  auto coefficient = [&](int g, int j, const V& row) {
    const int at = j * kLanes + g * W;
    const V stored = Pack::load(C + at);
    usedC[g] = stored;
    if constexpr (!Refresh) {
      return stored;
    } else {
      V c = stored;
      if constexpr (Morph) {
        const V a = Pack::load(A + at);
        c = Pack::add(a, Pack::mul(Pack::load(D + at), morph[g]));
        if constexpr (Scale) c = Pack::mul(c, gain[g]);
      }
      const V cd = Pack::mul(d[g], c);
      const V t = Pack::sub(d[g], Pack::mul(p[g], c));
      p[g] = Pack::sub(p[g], cd);
      d[g] = Pack::mul(negLambda[g], t);
      if constexpr (Masked) {
        const M fresh = Pack::less(row, freshRows[g]);
        sigma[g] = Pack::select(fresh, Pack::add(sigma[g], cd), sigma[g]);
        if constexpr (Morph) c = Pack::select(fresh, c, stored);
      } else {
        sigma[g] = Pack::add(sigma[g], cd);
      }
      if constexpr (Morph) Pack::store(C + at, c);
      return c;
    }
  };

  // Row 0: the owed update starts (element 0 is never written), the first
  // coefficient and the start of the feedback sum.
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) {
    const V y = Pack::load(f.owedOutput + g * W);
    older[g] = Pack::load(S + g * W);
    pass[g] = Pack::add(Pack::mul(owedLambda[g], older[g]), y);
    b[g] = y;
    const V c = coefficient(g, 0, zero);
    const V w = Pack::mul(k[g], older[g]);
    sum[g] = Pack::mul(c, w);
    previousU[g] = Pack::mul(Pack::negate(c), w);
    previousW[g] = w;
    previousC[g] = c;
  }
  // The owed update writes element j with coefficient j - 1 as it was before
  // this pass.
  auto update = [&](int g, int j, const V& row, const V& c) {
    const int at = j * kLanes + g * W;
    const V old = Pack::load(S + at);
    const V e = Pack::sub(older[g], Pack::mul(owedLambda[g], pass[g]));
    V updated = Pack::sub(Pack::add(e, Pack::mul(owedLambda[g], old)), Pack::mul(b[g], c));
    b[g] = Pack::sub(b[g], Pack::mul(e, c));
    pass[g] = updated;
    if constexpr (Masked) updated = Pack::select(Pack::less(row, owedRows[g]), updated, old);
    Pack::store(S + at, updated);
    older[g] = old;
    return updated;
  };
  // The feedback sum of row j, from element j and coefficient j.
  auto feedback = [&](int g, int j, const V& element, const V& c) {
    const V w = Pack::add(
        Pack::mul(k[g], element),
        Pack::mul(lambda[g], Pack::sub(Pack::mul(previousC[g], olderU[g]), previousW[g])));
    const V cw = Pack::mul(c, w);
    if constexpr (Masked) {
      const V row = Pack::set(static_cast<double>(j));
      sum[g] = Pack::select(Pack::less(row, order[g]), Pack::add(sum[g], cw), sum[g]);
    } else {
      sum[g] = Pack::add(sum[g], cw);
    }
    olderU[g] = previousU[g];
    previousU[g] = Pack::sub(previousU[g], cw);
    previousW[g] = w;
    previousC[g] = c;
  };
  if constexpr (Pack::kFuseUpdate && !Pack::kSumFollows) {
    for (int j = 1; j < rows; ++j) {
      const V row = Pack::set(static_cast<double>(j));
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) {
        const V element = update(g, j, row, usedC[g]);
        feedback(g, j, element, coefficient(g, j, row));
      }
    }
  } else if constexpr (Pack::kFuseUpdate) {
    // Row j's update and coefficient come before row j - 1's feedback sum. The
    // update is the chain that sets the pace, and the sum's first product
    // waits for the same element as the update's next step: placed later, it
    // yields the multiplier to that step.
    V element[G], c[G];
    auto startRow = [&](int j) {
      const V row = Pack::set(static_cast<double>(j));
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) {
        element[g] = update(g, j, row, usedC[g]);
        c[g] = coefficient(g, j, row);
      }
    };
    if (rows > 1) startRow(1);
    for (int j = 2; j < rows; ++j) {
      V previousElement[G], previousCoefficient[G];
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) {
        previousElement[g] = element[g];
        previousCoefficient[g] = c[g];
      }
      startRow(j);
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) feedback(g, j - 1, previousElement[g], previousCoefficient[g]);
      steps(j);
    }
    if (rows > 1) {
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) feedback(g, rows - 1, element[g], c[g]);
    }
  } else {
    // Narrow registers: the update runs first, on its own, so that fewer values
    // are live at once.
    for (int j = 1; j < rows; ++j) {
      const V row = Pack::set(static_cast<double>(j));
      // Row 0 of the effective set may already be recomputed: its old value is in usedC.
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g)
        update(g, j, row, j == 1 ? usedC[g] : Pack::load(C + (j - 1) * kLanes + g * W));
    }
    for (int j = 1; j < rows; ++j) {
      const V row = Pack::set(static_cast<double>(j));
#pragma GCC unroll 8
      for (int g = 0; g < G; ++g) {
        // The feedback sum reads element j as the update has left it.
        const V element = Pack::load(S + j * kLanes + g * W);
        feedback(g, j, element, coefficient(g, j, row));
      }
    }
  }

  unsigned calm = 0;
  // The output; its own state update is now owed. Output, warping and
  // owed output are stored whole (for every lane, whether it filtered or not):
  // the next frame loads them whole, and a load of values stored one by one
  // would wait for the stores.
#pragma GCC unroll 8
  for (int g = 0; g < G; ++g) {
    V normaliser = Pack::load(f.normaliser + g * W);
    if constexpr (Refresh) {
      const V fresh = Pack::div(one, Pack::sub(one, sigma[g]));
      normaliser = Masked ? Pack::select(refresh[g], fresh, normaliser) : fresh;
      Pack::store(f.normaliser + g * W, normaliser);
      Pack::store(f.warpFactor + g * W, k[g]);
    }
    const V y = Pack::mul(normaliser, Pack::add(loadFrame<Pack>(frame.input + g * W), sum[g]));
    Pack::store(output + g * W, y);
    calm |= Pack::within(y, Pack::set(BodyLaneState::kRunawayLevel)) << (g * W);
    Pack::store(f.owedOutput + g * W, y);
    Pack::store(f.owedLambda + g * W, lambda[g]);
  }
  return calm;
}

// What a frame needs to know of its lanes before it filters.
struct LaneScan {
  unsigned due;       // bit l: lane l's coefficients are due to be recomputed
  int rows;           // the highest order of the lanes in `used`, at least 0
  bool orderDiffers;  // some lane's order differs from lane 0's
};

// Refresh intervals that are not powers of two.
template <class Pack>
unsigned dueByDivision(const BodyLaneState& f) {
  unsigned due = 0;
  for (int l = 0; l < kLanes; ++l) {
    const uint32_t interval = static_cast<uint32_t>(f.refreshInterval[l]);
    due |= static_cast<unsigned>(f.processCount[l] % interval == 0) << l;
  }
  return due;
}

// The lane-by-lane bookkeeping of a frame. A pack may bring its own
// (`Pack::scan`, `Pack::sameMorph`, `Pack::countFiltered`), giving the same.
// These helpers take the pack as a template argument only so that each kernel
// source, built for its own instruction set, keeps its own copy.
template <class Pack>
LaneScan scanLanes(const BodyLaneState& f, unsigned used) {
  LaneScan scan{};
  uint32_t irregular = 0;
  for (int l = 0; l < kLanes; ++l) {
    // The intervals in use are powers of two, which need no division.
    const uint32_t interval = static_cast<uint32_t>(f.refreshInterval[l]);
    irregular |= interval & (interval - 1);
    scan.due |= static_cast<unsigned>((f.processCount[l] & (interval - 1)) == 0) << l;
    const int32_t order = used >> l & 1u ? f.order[l] : 0;
    scan.rows = order > scan.rows ? order : scan.rows;
    scan.orderDiffers |= f.order[l] != f.order[0];
  }
  if (irregular != 0) scan.due = dueByDivision<Pack>(f);
  return scan;
}

// A bit per lane whose morph is bit for bit the one its coefficients were made at.
template <class Pack>
unsigned sameMorph(const BodyLaneFrame& frame, const BodyLaneState& f) {
  unsigned same = 0;
  for (int l = 0; l < kLanes; ++l) {
    uint64_t now, before;
    std::memcpy(&now, frame.morph + l, sizeof now);
    std::memcpy(&before, f.morphUsed + l, sizeof before);
    same |= static_cast<unsigned>(now == before) << l;
  }
  return same;
}

// Whether every lane's gain is exactly 1. Scaling by it then gives back every
// bit of what a sum gives, unless denormal inputs read as zero while denormal
// results stay (which a processor's settings might ask for).
template <class Pack>
bool unitGains(const BodyLaneState& f) {
  constexpr unsigned kDenormalsAreZero = 0x0040, kFlushToZero = 0x8000;
  if ((_mm_getcsr() & (kDenormalsAreZero | kFlushToZero)) == kDenormalsAreZero) return false;
  bool unit = true;
  for (int l = 0; l < kLanes; ++l) unit &= f.gain[l] == 1.0;
  return unit;
}

// The lanes in `on` filtered a sample: their last output and their count.
template <class Pack>
void countFiltered(BodyLaneState& f, unsigned on, const double* output) {
  for (unsigned bits = on; bits != 0; bits &= bits - 1) {
    const int l = __builtin_ctz(bits);
    f.lastOutput[l] = output[l];
    ++f.processCount[l];
  }
}

// `SteadyPack` runs the frames that recompute no coefficients. `steps(row)`
// is called between rows where the pack runs its rows that way (`kSumFollows`),
// not necessarily for every row. Forced inline, as the rows are: steps run
// among them share one function's registers with them, not a call's.
template <class Pack, class SteadyPack = Pack, class Steps = NoSteps>
[[gnu::always_inline]] inline void processLanes(BodyLaneState& f, const BodyLaneFrame& frame,
                                                double* output, Steps&& steps = Steps{}) {
  // A bit per lane: it filters, it owes an update, it recomputes its coefficients.
  constexpr unsigned kAll = (1u << kLanes) - 1u;
  const unsigned on = frame.active & kAll;
  if (on == 0) {
    // Nothing to filter: owed updates stay owed until the lane is used again.
    return;
  }
  const unsigned owed = f.owed & kAll;
  const unsigned used = on | owed;
  LaneScan scan{};
  if constexpr (requires { Pack::scan(f, used); })
    scan = Pack::scan(f, used);
  else
    scan = scanLanes<Pack>(f, used);
  const int rows = scan.rows;
  const unsigned fresh = on & scan.due;
  // Refreshing lanes whose coefficients would come out as they are need only
  // their warping recomputed.
  bool morphs = false;
  if (fresh != 0) {
    unsigned same;
    if constexpr (requires { Pack::sameMorph(frame, f); })
      same = Pack::sameMorph(frame, f);
    else
      same = sameMorph<Pack>(frame, f);
    morphs = (fresh & ~(same & f.coefficientsCurrent)) != 0;
  }
  // Other lanes run too, on their own values, but keep what they held. Lanes
  // that differ (in what they do or in their order) need their rows told apart.
  const bool uniform = on == kAll && owed == kAll && !scan.orderDiffers && rows >= 1;
  const bool masked = !uniform || (fresh != 0 && fresh != kAll);
  LaneRows lanes;  // only read where lanes differ
  if (masked) {
    for (int l = 0; l < kLanes; ++l) {
      const double n = f.order[l];
      lanes.refreshing[l] = fresh >> l & 1u ? 1.0 : 0.0;
      lanes.active[l] = on >> l & 1u ? n : 0.0;
      lanes.fresh[l] = fresh >> l & 1u ? n : 0.0;
      lanes.owed[l] = owed >> l & 1u ? n : 0.0;
    }
  }
  unsigned calm;
  if (!masked && fresh == kAll) {
    if (morphs && unitGains<Pack>(f))
      calm = filterRows<Pack, true, false, true, false>(f, frame, lanes, rows, output, steps);
    else if (morphs)
      calm = filterRows<Pack, true, false, true>(f, frame, lanes, rows, output, steps);
    else
      calm = filterRows<Pack, true, false, false>(f, frame, lanes, rows, output, steps);
  } else if (!masked) {
    calm = filterRows<SteadyPack, false, false, false>(f, frame, lanes, rows, output, steps);
  } else if (fresh == 0) {
    calm = filterRows<SteadyPack, false, true, false>(f, frame, lanes, rows, output, steps);
  } else if (morphs) {
    calm = filterRows<Pack, true, true, true>(f, frame, lanes, rows, output, steps);
  } else {
    calm = filterRows<Pack, true, true, false>(f, frame, lanes, rows, output, steps);
  }
  if (morphs) {
    f.coefficientsCurrent |= fresh;
    for (unsigned bits = fresh; bits != 0; bits &= bits - 1)
      f.morphUsed[__builtin_ctz(bits)] = frame.morph[__builtin_ctz(bits)];
  }
  // Every update owed before is applied; the lanes that filtered owe theirs,
  // unless their output ran away.
  if constexpr (requires { Pack::countFiltered(f, on, output); })
    Pack::countFiltered(f, on, output);
  else
    countFiltered<Pack>(f, on, output);
  f.owed = on & calm;
  for (unsigned runaway = on & ~calm; runaway != 0; runaway &= runaway - 1) {
    // The run-away guard of the single filter: this lane is silenced.
    const int l = __builtin_ctz(runaway);
    f.resetLane(l);
    output[l] = 0.0;
  }
}

}  // namespace engine::lanes
