#include "engine/body_filter.h"

#include <algorithm>

namespace engine {

BodyFilter::BodyFilter(int maxOrder)
    : owned(std::make_unique<BodyLaneState>(maxOrder)), data(owned.get()) {}

BodyFilter::BodyFilter(BodyLaneState& lanes, int laneIndex)
    : data(&lanes), lane(std::clamp(laneIndex, 0, BodyLaneState::kLanes - 1)) {}

void BodyFilter::setOrder(int n) {
  data->settle(lane);
  data->order[lane] = std::clamp(n, 0, data->capacity);
  data->coefficientsChanged(lane);
}

void BodyFilter::loadCoefficients(const double* table, int count, bool toSetA) {
  if (table == nullptr) return;
  double* target = toSetA ? data->coefficientsA : data->coefficientsB;
  const int n = std::clamp(count, 0, data->capacity);
  for (int i = 0; i < n; ++i) {
    target[row(i)] = table[i];
    data->coefficientsStep[row(i)] = data->coefficientsB[row(i)] - data->coefficientsA[row(i)];
  }
  data->coefficientsChanged(lane);
}

void BodyFilter::computeCoefficients(double lambda, double newGain, double morph) {
  BodyLaneState& f = *data;
  f.settle(lane);
  f.gain[lane] = newGain;
  f.warpFactor[lane] = 1.0 - lambda * lambda;
  double p = 1.0;
  double d = -lambda;
  double sigma = 0.0;
  for (int i = 0; i < f.order[lane]; ++i) {
    const double a = f.coefficientsA[row(i)];
    const double c = (a + f.coefficientsStep[row(i)] * morph) * newGain;
    f.effective[row(i)] = c;
    sigma += d * c;
    const double t = d - p * c;
    p = p - d * c;
    d = -lambda * t;
  }
  f.normaliser[lane] = 1.0 / (1.0 - sigma);
  f.coefficientsCurrent |= 1u << lane;
  f.morphUsed[lane] = morph;
}

}  // namespace engine
