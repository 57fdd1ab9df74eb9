// The LV2 layer's names and numbers: the plug-in's URIs and its port layout,
// shared by the DSP, the UI, the generated TTL and the tests.
#pragma once

#include <cstdint>

#include "params/parameter_table.h"

namespace lv2 {

inline constexpr char kPluginUri[] = "https://quillstave.org/lv2/quillstave";
inline constexpr char kUiUri[] = "https://quillstave.org/lv2/quillstave#ui";
inline constexpr char kPresetUriPrefix[] = "https://quillstave.org/lv2/quillstave#preset";
// State keys: the program bank as bytes and the current program's number.
inline constexpr char kBankKey[] = "https://quillstave.org/lv2/quillstave#bank";
inline constexpr char kProgramKey[] = "https://quillstave.org/lv2/quillstave#program";

inline constexpr char kBinary[] = "quillstave_lv2.so";
inline constexpr char kUiBinary[] = "quillstave_lv2_ui.so";

// Ports 0 to 37 are the parameters, in index order, so that a port index is
// the parameter's index; then MIDI in, two audio inputs and two outputs.
inline constexpr uint32_t kMidiPort = params::kNumParams;
inline constexpr uint32_t kAudioInLeft = kMidiPort + 1;
inline constexpr uint32_t kAudioInRight = kMidiPort + 2;
inline constexpr uint32_t kAudioOutLeft = kMidiPort + 3;
inline constexpr uint32_t kAudioOutRight = kMidiPort + 4;
inline constexpr uint32_t kPortCount = kMidiPort + 5;

}  // namespace lv2
