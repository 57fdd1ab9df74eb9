// Renders the voices of a block side by side: their running state is taken
// into SIMD lanes at the start of the block and given back at its end, and
// every frame advances all voices at once, their body filters included. The
// result is bit for bit that of rendering the voices one after another.
#pragma once

#include <cstdint>

#include "engine/body_filter_lanes.h"
#include "engine/engine_state.h"
#include "engine/voice.h"
#include "engine/voice_lanes.h"

namespace engine {

class LaneRenderer {
 public:
  LaneRenderer() = default;

  // The storage the voices' body filters are built on (voice i uses lane i).
  BodyLaneState& bodies() { return filters.lanes(); }
  BodyFilterLanes& bodyFilters() { return filters; }
  VoiceLanes& voices() { return voiceLanes; }

  // Around the frames of a block: the voices (kMaxVoices entries, null ones
  // skipped) must not be rendered or changed otherwise in between.
  void beginBlock(Voice* const* voices) { voiceLanes.load(voices); }
  void endBlock(Voice* const* voices) { voiceLanes.store(voices); }

  // Mixes one frame of voices 0 … count - 1 (null entries skipped) into a stereo
  // pair, each voice panned by its pan after its render, in voice order.
  void mix(Voice* const* voices, int32_t count, float inA, float inB, float& left, float& right) {
    voiceLanes.mix(voices, count, inA, inB, filters, left, right);
  }

 private:
  BodyFilterLanes filters{kMaxBodyOrder};
  VoiceLanes voiceLanes;
};

// The reference: each voice renders its whole sample before the next one starts.
void mixVoicesInTurn(Voice* const* voices, int32_t count, float inA, float inB, float& left,
                     float& right);

}  // namespace engine
