// Renders one sample frame of all voices with their body filters side by side:
// each voice runs up to its body filter, the filters of every voice run
// together in SIMD lanes, then each voice finishes its sample, and the taps of
// the strings' new delays are derived together. The voices'
// body filters live here, one lane each; the result is bit for bit that of
// rendering the voices one after another.
#pragma once

#include <cstdint>

#include "engine/body_filter_lanes.h"
#include "engine/delay_line_lanes.h"
#include "engine/engine_state.h"
#include "engine/voice.h"

namespace engine {

class LaneRenderer {
 public:
  LaneRenderer() = default;

  // The storage the voices' body filters are built on (voice i uses lane i).
  BodyLaneState& bodies() { return filters.lanes(); }
  BodyFilterLanes& bodyFilters() { return filters; }

  // Mixes one frame of voices 0 … count - 1 (null entries skipped) into a stereo
  // pair, each voice panned by its pan after its render, in voice order.
  void mix(Voice* const* voices, int32_t count, float inA, float inB, float& left, float& right);

 private:
  BodyFilterLanes filters{kMaxBodyOrder};
  // One frame's hand-over between the halves of the voices' renders; kept here
  // rather than built afresh on every frame.
  VoiceStep steps[kMaxVoices];
  BodyLaneFrame frame;
  double filtered[BodyLaneState::kLanes] = {};
  // The strings' new delays: string A of voice i in lane 2i, string B in 2i + 1.
  DelayTapLanes delays;
};

// The reference: each voice renders its whole sample before the next one starts.
void mixVoicesInTurn(Voice* const* voices, int32_t count, float inA, float inB, float& left,
                     float& right);

}  // namespace engine
