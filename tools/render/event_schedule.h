// MIDI messages placed on sample frames, handed out block by block with each
// message's offset inside its block.
#pragma once

#include <cstdint>
#include <vector>

#include "plughost/plugin_host.h"
#include "render/midi_sequence.h"

namespace render {

class EventSchedule {
 public:
  // Places each message on the frame nearest its time. Notes still held at
  // the end of the song are released on its last frame.
  EventSchedule(const MidiSequence& sequence, double sampleRate);

  // Appends the messages of frames [start, start + frames) to out, with
  // deltaFrames counted from start, in order; each message is handed out once.
  void takeBlock(int64_t start, int32_t frames, std::vector<plughost::PluginInstance::Midi>& out);

  // The first frame after the song.
  int64_t endFrame() const { return end; }
  bool finished() const { return next == events.size(); }
  size_t size() const { return events.size(); }

  static int64_t frameAt(double seconds, double sampleRate);

 private:
  struct Scheduled {
    int64_t frame = 0;
    uint8_t status = 0, data1 = 0, data2 = 0;
  };
  void releaseHeldNotes();

  std::vector<Scheduled> events;
  size_t next = 0;
  int64_t end = 0;
};

}  // namespace render
