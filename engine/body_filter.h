// The instrument body: an all-pole filter in double precision whose unit delays
// are frequency-warped by first-order all-pass sections. Two coefficient sets
// are morphed into the effective set and scaled by a gain.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/body_filter_lanes.h"

namespace engine {

class BodyFilter {
 public:
  // Outputs beyond this (80 dB above full scale) only come from a recursion
  // that runs away; the filter then starts again from silence.
  static constexpr double kRunawayLevel = BodyLaneState::kRunawayLevel;

  // A filter of its own: coefficient and state arrays of `maxOrder` elements
  // (at least 1), zeroed.
  explicit BodyFilter(int maxOrder);
  // One lane of shared side-by-side storage (a voice's filter).
  BodyFilter(BodyLaneState& lanes, int lane);

  // Number of coefficients in use (limited to 0 … capacity); applies at the next computation.
  void setOrder(int n);
  void setGain(double g) {
    data->gain[lane] = g;
    data->coefficientsChanged(lane);
  }
  // Copies `count` values (at most the capacity) into set A or set B.
  void loadCoefficients(const double* table, int count, bool toSetA);
  // Zeroes the state and the last output.
  void reset() { data->resetLane(lane); }
  // Recompute the coefficients every n-th processed sample (n below 1 counts as 1).
  void setRefreshInterval(int n) { data->refreshInterval[lane] = n < 1 ? 1 : n; }

  // Morphs set A toward set B by `morph`, scales by `newGain` and derives the
  // warped normalisation for the warping coefficient `lambda`.
  void computeCoefficients(double lambda, double newGain, double morph);

  // Filters one sample with warping `lambda`; on refresh samples the coefficients
  // are first recomputed for `lambda` and `morph`.
  double process(double x, double lambda, double morph);

  int getCapacity() const { return data->capacity; }
  int getOrder() const { return data->order[lane]; }
  double getGain() const { return data->gain[lane]; }
  double getWarpFactor() const { return data->warpFactor[lane]; }
  double getNormaliser() const { return data->normaliser[lane]; }
  double getEffective(int i) const { return data->effective[row(i)]; }
  int getRefreshInterval() const { return data->refreshInterval[lane]; }
  std::uint32_t getProcessCount() const { return data->processCount[lane]; }
  double lastOutput() const { return data->lastOutput[lane]; }

 private:
  static constexpr int kStride = BodyLaneState::kLanes;
  size_t row(int j) const { return static_cast<size_t>(j) * kStride + lane; }

  std::unique_ptr<BodyLaneState> owned;
  BodyLaneState* data = nullptr;
  int lane = 0;
};

inline double BodyFilter::process(double x, double lambda, double morph) {
  BodyLaneState& f = *data;
  f.settle(lane);
  const std::uint32_t interval = static_cast<std::uint32_t>(f.refreshInterval[lane]);
  if (f.processCount[lane] % interval == 0) computeCoefficients(lambda, f.gain[lane], morph);
  const double k = f.warpFactor[lane];
  const double* c = f.effective + lane;
  const double* s = f.state + lane;
  const int n = f.order[lane];

  // Feedback sum through the chain of warped delays.
  double previousW = k * s[0];
  double sum = c[0] * previousW;
  double previousU = -c[0] * previousW;
  double olderU = 0.0;
  for (int j = 1; j < n; ++j) {
    const double w = k * s[j * kStride] + lambda * (c[(j - 1) * kStride] * olderU - previousW);
    sum += c[j * kStride] * w;
    olderU = previousU;
    previousU = previousU - c[j * kStride] * w;
    previousW = w;
  }
  double y = f.normaliser[lane] * (x + sum);

  if (!(std::fabs(y) <= kRunawayLevel)) {
    // A run-away recursion (or a NaN input) silences the filter before its
    // output can overflow the gain stages that follow.
    reset();
    y = 0.0;
  } else {
    // State update: push the output through the all-pass chain.
    f.owedOutput[lane] = y;
    f.owedLambda[lane] = lambda;
    f.owed |= 1u << lane;
    f.settle(lane);
  }
  f.lastOutput[lane] = y;
  ++f.processCount[lane];
  return y;
}

}  // namespace engine
