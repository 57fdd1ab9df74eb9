// The taps of the strings' delays of all voices at once, four delays per SSE2
// register: each gets the bits of `DelayLine::taps`.
#pragma once

#include "engine/delay_line.h"

namespace engine {

// Delays in, taps out, one column per string (two per voice).
struct DelayTapLanes {
  static constexpr int kLanes = 16;

  float delay[kLanes] = {};
  float ceiling[kLanes] = {};
  float fraction[kLanes] = {};
  float h0[kLanes] = {};
  float h1[kLanes] = {};
  float h2[kLanes] = {};
  float h3[kLanes] = {};

  DelayTaps at(int lane) const {
    return {ceiling[lane], fraction[lane], h0[lane], h1[lane], h2[lane], h3[lane]};
  }
};

// Derives the taps of every lane's delay.
void computeDelayTaps(DelayTapLanes& lanes);

}  // namespace engine
