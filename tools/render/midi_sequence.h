// A song as the renderer plays it: channel messages at times in seconds.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

struct TimedMidi {
  double seconds = 0.0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct MidiSequence {
  std::vector<TimedMidi> events;  // in time order; equal times keep file order
  double lengthSeconds = 0.0;     // the end of the song (its last event or end of track)
};

}  // namespace render
