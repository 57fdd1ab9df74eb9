// The built-in phrase the demo plays through each factory program: plucked
// notes, a broken chord and two struck chords, about four seconds long.
#pragma once

#include "render/midi_sequence.h"

namespace render {

// The same phrase on every call; lengthSeconds includes the decay after the
// last release.
MidiSequence demoPhrase();

constexpr double kDemoSecondsPerProgram = 4.0;

}  // namespace render
