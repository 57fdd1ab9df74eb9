// Reads a Standard MIDI File (format 0 or 1) into a sequence of channel
// messages, with the tempo map applied.
#pragma once

#include <string>

#include "render/midi_sequence.h"

namespace render {

// Keeps every channel message of every track and channel (note on and off,
// controllers, program changes, pressure, pitch bend); drops meta events and
// system exclusive messages. Throws RenderError for a missing, unreadable or
// malformed file.
MidiSequence readMidiFile(const std::string& path);

}  // namespace render
