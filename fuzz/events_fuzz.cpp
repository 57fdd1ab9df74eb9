// Event lists: any count, types, bytes and delta frames, null entries, then
// blocks of any size with the finite-output check.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  fuzz::Instance plugin;
  plugin.dispatch(vst::effSetProgram, 0, in.range(0, 7));
  plugin.dispatch(vst::effMainsChanged, 0, 1);
  for (int round = 0; round < 8 && !in.empty(); ++round) {
    const int32_t count = in.range(0, 24);
    std::vector<vst::VstMidiEvent> events(static_cast<size_t>(count));
    std::vector<uint8_t> block(sizeof(vst::VstEvents) + size_t(count) * sizeof(vst::VstEvent*));
    auto* list = reinterpret_cast<vst::VstEvents*>(block.data());
    for (int32_t i = 0; i < count; ++i) {
      vst::VstMidiEvent& e = events[size_t(i)];
      const uint8_t kind = in.byte();
      e.type = kind & 1 ? vst::kVstMidiType : in.raw<int32_t>();
      e.byteSize = kind & 2 ? int32_t(sizeof(e)) : in.raw<int32_t>();
      e.deltaFrames = kind & 4 ? in.range(-8, 600) : in.raw<int32_t>();
      e.flags = in.byte();
      e.noteLength = in.raw<int32_t>();
      e.noteOffset = in.raw<int32_t>();
      for (char& b : e.midiData) b = char(in.byte());
      e.detune = char(in.byte());
      e.noteOffVelocity = char(in.byte());
      vst::setEventAt(list, i,
                      (kind & 0xF0) == 0xF0 ? nullptr : reinterpret_cast<vst::VstEvent*>(&e));
    }
    // Now and then a count that does not match the entries (never more).
    list->numEvents = in.byte() == 0xFF ? -in.range(0, 1000) : count;
    plugin.dispatch(vst::effProcessEvents, 0, 0, list);
    plugin.render(in.range(0, 1500), in.byte() & 1);
  }
  plugin.render(512, true);
  return 0;
}
