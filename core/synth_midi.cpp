// MIDI intake: notes, mapped controllers, all-voices-off and pitch bend, and
// the choice of a voice for each new note.
#include <cmath>

#include "core/synth.h"

namespace core {

namespace {

constexpr float kControllerScale = 0.007874016f;  // 1/127

}  // namespace

void Synth::midi(const uint8_t* bytes, int32_t size, int32_t frame, int32_t detune) {
  if (!bytes || size < 1) return;
  // Bytes a short message lacks read as 0.
  const int32_t status = bytes[0] & 0xF0;
  const int32_t data1 = size > 1 ? bytes[1] : 0;
  const int32_t data2 = size > 2 ? bytes[2] : 0;
  switch (status) {
    case 0x80:
    case 0x90: {
      const int32_t note = data1 & 127;
      const int32_t velocity = data2 & 127;
      if (status == 0x80 || velocity == 0)
        noteOff(note);
      else
        noteOn(velocity, note, detune, frame);
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
        applyOwnChange(parameter, static_cast<float>(data2) * kControllerScale);
        if (InstrumentListener* host = listener.load(std::memory_order_relaxed))
          host->displayChanged();
      }
      break;
    }
    default:
      break;
  }
}

void Synth::noteOn(int32_t velocity, int32_t note, int32_t detune, int32_t deltaFrames) {
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

void Synth::noteOff(int32_t note) {
  for (auto& voice : voices)
    if (voice && voice->getCurrentNote() == note) voice->release();
}

}  // namespace core
