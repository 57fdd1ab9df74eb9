// The instrument as an LV2 plug-in instance: control ports become parameter
// changes, the MIDI sequence becomes MIDI bytes at frames, and the program
// bank with the current program is the plug-in's state.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>

#include "core/synth.h"
#include "lv2/lv2_ports.h"

namespace lv2 {

class Lv2Plugin {
 public:
  // Null when the host lacks the URID map the plug-in requires.
  static Lv2Plugin* create(double sampleRate, const LV2_Feature* const* features);

  void connectPort(uint32_t port, void* data);
  void activate();
  void run(uint32_t frames);
  void deactivate();

  LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
  // A state whose bank or program is missing or malformed is refused and the
  // current state kept.
  LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

 private:
  Lv2Plugin(float sampleRate, LV2_URID_Map* map);

  void applyControlPorts();
  void readMidi();
  core::Synth synth;
  LV2_URID_Map* map;
  LV2_URID midiEvent, atomSequence, atomChunk, atomInt, bankKey, programKey;
  std::array<const float*, params::kNumParams> controls{};
  // The bits of the control values last applied, and whether one was.
  std::array<uint32_t, params::kNumParams> applied{};
  std::array<bool, params::kNumParams> known{};
  const LV2_Atom_Sequence* midiIn = nullptr;
  float* audio[4] = {};
};

}  // namespace lv2
