#include "render/event_schedule.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace render {

int64_t EventSchedule::frameAt(double seconds, double sampleRate) {
  return std::max<int64_t>(0, std::llround(seconds * sampleRate));
}

EventSchedule::EventSchedule(const MidiSequence& sequence, double sampleRate) {
  for (const TimedMidi& m : sequence.events)
    events.push_back({frameAt(m.seconds, sampleRate), m.status, m.data1, m.data2});
  // Times come sorted from the reader; keep equal frames in their given order.
  std::stable_sort(events.begin(), events.end(),
                   [](const Scheduled& a, const Scheduled& b) { return a.frame < b.frame; });
  end = frameAt(sequence.lengthSeconds, sampleRate);
  if (!events.empty()) end = std::max(end, events.back().frame + 1);
  releaseHeldNotes();
}

void EventSchedule::releaseHeldNotes() {
  // Counts note-ons per channel and key, so that stacked notes are all released.
  std::array<std::array<int, 128>, 16> held{};
  for (const Scheduled& e : events) {
    int kind = e.status & 0xF0, channel = e.status & 0x0F;
    int& count = held[size_t(channel)][e.data1];
    if (kind == 0x90 && e.data2 > 0) {
      ++count;
    } else if (kind == 0x80 || kind == 0x90) {
      count = std::max(count - 1, 0);
    }
  }
  int64_t last = std::max<int64_t>(end - 1, 0);
  for (int channel = 0; channel < 16; ++channel)
    for (int key = 0; key < 128; ++key)
      for (int n = 0; n < held[size_t(channel)][size_t(key)]; ++n)
        events.push_back({last, uint8_t(0x80 | channel), uint8_t(key), 0});
}

void EventSchedule::takeBlock(int64_t start, int32_t frames,
                              std::vector<plughost::PluginInstance::Midi>& out) {
  while (next < events.size() && events[next].frame < start + frames) {
    const Scheduled& e = events[next++];
    int32_t delta = static_cast<int32_t>(std::max<int64_t>(e.frame - start, 0));
    out.push_back({delta, e.status, e.data1, e.data2});
  }
}

}  // namespace render
