#include "engine/body_filter.h"

#include <algorithm>

namespace engine {

BodyFilter::BodyFilter(int maxOrder)
    : capacity(std::max(maxOrder, 1)),
      coefficientsA(capacity, 0.0),
      coefficientsB(capacity, 0.0),
      effective(capacity, 0.0),
      stateX(capacity, 0.0),
      stateY(capacity, 0.0) {}

void BodyFilter::setOrder(int n) { order = std::clamp(n, 0, capacity); }

void BodyFilter::loadCoefficients(const double* table, int count, bool toSetA) {
  if (table == nullptr) return;
  std::vector<double>& target = toSetA ? coefficientsA : coefficientsB;
  std::copy_n(table, std::clamp(count, 0, capacity), target.begin());
}

void BodyFilter::reset() {
  std::fill(stateX.begin(), stateX.end(), 0.0);
  std::fill(stateY.begin(), stateY.end(), 0.0);
  lastOutputValue = 0.0;
}

void BodyFilter::computeCoefficients(double lambda, double newGain, double morph) {
  gain = newGain;
  warpFactor = 1.0 - lambda * lambda;
  double p = 1.0;
  double d = -lambda;
  double sigma = 0.0;
  for (int i = 0; i < order; ++i) {
    const double c = (coefficientsA[i] + (coefficientsB[i] - coefficientsA[i]) * morph) * gain;
    effective[i] = c;
    sigma += d * c;
    const double t = d - p * c;
    p = p - d * c;
    d = -lambda * t;
  }
  normaliser = 1.0 / (1.0 - sigma);
}

}  // namespace engine
