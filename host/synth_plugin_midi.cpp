// MIDI intake: notes, mapped controllers, all-voices-off and pitch bend, and
// the choice of a voice for each new note.
#include <cmath>

#include "host/synth_plugin.h"

namespace {

constexpr float kControllerScale = 0.007874016f;  // 1/127

}  // namespace

int32_t SynthPlugin::processEvents(vst::VstEvents* events) {
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = vst::eventAt(events, i);
    if (event && event->type == vst::kVstMidiType)
      handleMidi(*reinterpret_cast<const vst::VstMidiEvent*>(event));
  }
  return 1;
}

void SynthPlugin::handleMidi(const vst::VstMidiEvent& event) {
  const int32_t status = static_cast<uint8_t>(event.midiData[0]) & 0xF0;
  const int32_t data1 = static_cast<uint8_t>(event.midiData[1]);
  const int32_t data2 = static_cast<uint8_t>(event.midiData[2]);
  switch (status) {
    case 0x80:
    case 0x90: {
      const int32_t note = data1 & 127;
      const int32_t velocity = data2 & 127;
      if (status == 0x80 || velocity == 0)
        noteOff(note);
      else
        noteOn(velocity, note, event.detune, event.deltaFrames);
      break;
    }
    case 0xE0: {
      const float bend = ((data1 & 127) * 0.0078125f + (data2 & 127)) * 0.015625f - 1.0f;
      pitchBendRatio = static_cast<float>(std::pow(1.0005777895, bend * -200.0f));
      break;
    }
    case 0xB0: {
      // Bytes of 128 or more are not MIDI data: such messages are dropped.
      if (data1 > 127 || data2 > 127) break;
      if (data1 == 126) {
        for (auto& voice : voices)
          if (voice) voice->setFree();
        break;
      }
      const int32_t parameter = controllerMap[data1];
      if (parameter >= 0 && parameter < params::kNumParams) {
        setParameter(parameter, static_cast<float>(data2) * kControllerScale);
        updateDisplay();
      }
      break;
    }
    default:
      break;
  }
}

void SynthPlugin::noteOn(int32_t velocity, int32_t note, int32_t detune, int32_t deltaFrames) {
  const int32_t count = voiceCount;
  int32_t chosen = -1;
  // A free voice with nothing pending.
  for (int32_t i = 0; i < count && chosen < 0; ++i)
    if (voices[i] && voices[i]->getState() == engine::kVoiceFree &&
        voices[i]->pending.countdown < 0)
      chosen = i;
  // Otherwise the quietest voice below full level with nothing pending.
  if (chosen < 0) {
    float quietest = 1.0f;
    for (int32_t i = 0; i < count; ++i) {
      if (voices[i] && voices[i]->pending.countdown < 0 && voices[i]->getLevel() < quietest) {
        quietest = voices[i]->getLevel();
        chosen = i;
      }
    }
  }
  // Otherwise the softest pending note (a voice with nothing pending counts as 0).
  if (chosen < 0) {
    int32_t softest = 127;
    for (int32_t i = 0; i < count; ++i) {
      if (voices[i] && voices[i]->pending.velocity < softest) {
        softest = voices[i]->pending.velocity;
        chosen = i;
      }
    }
  }
  if (chosen < 0) chosen = nextVoice % count;
  if (!voices[chosen]) return;

  engine::PendingNote& pending = voices[chosen]->pending;
  pending.active = true;
  // A note dated before the block starts at its first frame.
  pending.countdown = deltaFrames > 0 ? deltaFrames : 0;
  pending.note = note;
  pending.detune = detune;
  pending.stamp = sampleCounter;
  pending.velocity = velocity;
  nextVoice = (chosen + 1) % count;
}

void SynthPlugin::noteOff(int32_t note) {
  for (auto& voice : voices)
    if (voice && voice->getCurrentNote() == note) voice->release();
}
