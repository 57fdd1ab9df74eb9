#include "render/demo_phrase.h"

#include <algorithm>

namespace render {

namespace {

struct Note {
  double start, length;
  uint8_t key, velocity;
};

// 120 beats per minute: one beat is half a second.
constexpr Note kPhrase[] = {
    // Plucked line.
    {0.00, 0.45, 60, 100},
    {0.25, 0.45, 64, 88},
    {0.50, 0.45, 67, 96},
    {0.75, 0.60, 72, 110},
    // A minor, struck.
    {1.00, 0.90, 57, 90},
    {1.00, 0.90, 60, 84},
    {1.00, 0.90, 64, 84},
    {1.00, 0.90, 69, 92},
    // Broken descent.
    {1.50, 0.30, 74, 80},
    {1.75, 0.30, 71, 76},
    // G major with a low root, held.
    {2.00, 1.30, 43, 104},
    {2.00, 1.30, 55, 92},
    {2.02, 1.28, 59, 86},
    {2.04, 1.26, 62, 86},
    {2.06, 1.24, 67, 98},
};

}  // namespace

MidiSequence demoPhrase() {
  MidiSequence phrase;
  for (const Note& n : kPhrase) {
    phrase.events.push_back({n.start, 0x90, n.key, n.velocity});
    phrase.events.push_back({n.start + n.length, 0x80, n.key, 64});
  }
  std::stable_sort(phrase.events.begin(), phrase.events.end(),
                   [](const TimedMidi& a, const TimedMidi& b) { return a.seconds < b.seconds; });
  phrase.lengthSeconds = kDemoSecondsPerProgram;
  return phrase;
}

}  // namespace render
