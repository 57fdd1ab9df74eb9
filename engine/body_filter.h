// The instrument body: an all-pole filter in double precision whose unit delays
// are frequency-warped by first-order all-pass sections. Two coefficient sets
// are morphed into the effective set and scaled by a gain.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace engine {

class BodyFilter {
 public:
  // Outputs beyond this (80 dB above full scale) only come from a recursion
  // that runs away; the filter then starts again from silence.
  static constexpr double kRunawayLevel = 1.0e4;

  // Allocates coefficient and state arrays of `maxOrder` elements (at least 1), zeroed.
  explicit BodyFilter(int maxOrder);

  // Number of coefficients in use (limited to 0 … capacity); applies at the next computation.
  void setOrder(int n);
  void setGain(double g) { gain = g; }
  // Copies `count` values (at most the capacity) into set A or set B.
  void loadCoefficients(const double* table, int count, bool toSetA);
  // Zeroes both state arrays and the last output.
  void reset();
  // Recompute the coefficients every n-th processed sample (n below 1 counts as 1).
  void setRefreshInterval(int n) { refreshInterval = n < 1 ? 1 : n; }

  // Morphs set A toward set B by `morph`, scales by `newGain` and derives the
  // warped normalisation for the warping coefficient `lambda`.
  void computeCoefficients(double lambda, double newGain, double morph);

  // Filters one sample with warping `lambda`; on refresh samples the coefficients
  // are first recomputed for `lambda` and `morph`.
  double process(double x, double lambda, double morph);

  int getCapacity() const { return capacity; }
  int getOrder() const { return order; }
  double getGain() const { return gain; }
  double getWarpFactor() const { return warpFactor; }
  double getNormaliser() const { return normaliser; }
  double getEffective(int i) const { return effective[i]; }
  int getRefreshInterval() const { return refreshInterval; }
  std::uint32_t getProcessCount() const { return processCount; }
  double lastOutput() const { return lastOutputValue; }

 private:
  int capacity = 1;
  int order = 1;
  std::vector<double> coefficientsA;
  std::vector<double> coefficientsB;
  std::vector<double> effective;
  std::vector<double> stateX;
  std::vector<double> stateY;
  bool useY = false;
  double gain = 1.0;
  double warpFactor = 1.0;
  double normaliser = 1.0;
  double lastOutputValue = 0.0;
  // Counts every processed sample and is never reset; unsigned so that it wraps
  // (in step with intervals that divide 2^32) instead of overflowing.
  std::uint32_t processCount = 0;
  int refreshInterval = 1;
};

inline double BodyFilter::process(double x, double lambda, double morph) {
  // The previous sample's state is the source; this sample writes the other array.
  const double* source = useY ? stateX.data() : stateY.data();
  double* destination = useY ? stateY.data() : stateX.data();
  if (processCount % static_cast<std::uint32_t>(refreshInterval) == 0) {
    computeCoefficients(lambda, gain, morph);
  }
  const double k = warpFactor;
  const double* c = effective.data();
  const int n = order;

  // Feedback sum through the chain of warped delays.
  double previousW = k * source[0];
  double sum = c[0] * previousW;
  double previousU = -c[0] * previousW;
  double olderU = 0.0;
  for (int j = 1; j < n; ++j) {
    const double w = k * source[j] + lambda * (c[j - 1] * olderU - previousW);
    sum += c[j] * w;
    olderU = previousU;
    previousU = previousU - c[j] * w;
    previousW = w;
  }
  double y = normaliser * (x + sum);

  if (!(std::fabs(y) <= kRunawayLevel)) {
    // A run-away recursion (or a NaN input) silences the filter before its
    // output can overflow the gain stages that follow.
    reset();
    y = 0.0;
  } else {
    // State update: push the output through the all-pass chain (element 0 stays 0).
    double p = lambda * source[0] + y;
    double b = y;
    for (int j = 1; j < n; ++j) {
      const double e = source[j - 1] - lambda * p;
      destination[j] = e + lambda * source[j] - b * c[j - 1];
      b = b - e * c[j - 1];
      p = destination[j];
    }
  }
  lastOutputValue = y;
  useY = !useY;
  ++processCount;
  return y;
}

}  // namespace engine
