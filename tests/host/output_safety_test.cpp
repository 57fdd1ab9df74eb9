// The output stays finite and bounded whatever the settings: run-away filters
// and strings, non-numbers stored in parameters, a sample clock that wraps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "synth_probe.h"

using namespace params;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Take {
  int nonFinite = 0;
  float peak = 0.0f;
};

// Plays overlapping notes and chords for about three seconds at 44.1 kHz.
Take playPhrase(SynthProbe& synth, int blocks = 520) {
  static constexpr uint8_t kKeys[] = {60, 64, 67, 72, 57, 60, 64, 69, 74, 71, 43, 55, 59, 62, 67};
  Take take;
  std::vector<float> right;
  for (int block = 0; block < blocks; ++block) {
    if (block % 16 == 0) {
      const uint8_t key = kKeys[(block / 16) % 15];
      synth.midi(0x90, key, static_cast<uint8_t>(70 + block % 50), block % 7);
      synth.midi(0x80, kKeys[(block / 16 + 11) % 15], 64, 3);
    }
    const std::vector<float> left = synth.render(256, &right);
    for (int i = 0; i < 256; ++i) {
      for (float s : {left[i], right[i]}) {
        if (!std::isfinite(s))
          ++take.nonFinite;
        else
          take.peak = std::max(take.peak, std::fabs(s));
      }
    }
  }
  return take;
}

}  // namespace

TEST(OutputSafety, BodyFilterOnTheOutputCannotRunAway) {
  // Program 4 with the body filter moved onto the output resonates past any float.
  SynthProbe synth;
  synth.setProgram(4);
  synth.setParameter(kFilterPos, 1.0f);
  const Take take = playPhrase(synth);
  EXPECT_EQ(take.nonFinite, 0);
  // Below the guard's level times the largest velocity gain.
  EXPECT_LT(take.peak, 2.0f * static_cast<float>(engine::BodyFilter::kRunawayLevel));
}

TEST(OutputSafety, NonNumbersInAnyParameterLeaveTheOutputFinite) {
  for (int index = 0; index < kNumParams; ++index) {
    for (float bad : {kNaN, kInf, -kInf, 3e38f, -3e38f}) {
      SynthProbe synth;
      synth.setProgram(index % 8);
      synth.setParameter(index, bad);
      const Take take = playPhrase(synth, 40);
      EXPECT_EQ(take.nonFinite, 0) << "parameter " << index << " = " << bad;
      // The value is kept as the host stored it (body types store their code).
      if (bad == bad && index != kBodyType1 && index != kBodyType2) {
        EXPECT_EQ(synth.getParameter(index), bad) << "parameter " << index;
      }
    }
  }
}

TEST(OutputSafety, RandomPanOfNaNDoesNotOutliveItsNote) {
  SynthProbe synth;
  synth.setParameter(kRandomPan, kNaN);
  synth.midi(0x90, 60, 100);
  synth.render(256);
  synth.setParameter(kRandomPan, 0.0f);
  synth.midi(0xB0, 126, 0);  // all voices off
  std::vector<float> right;
  const std::vector<float> left = synth.render(256, &right);
  for (int i = 0; i < 256; ++i) ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i]));
}

TEST(OutputSafety, RunawayStringsStopEarly) {
  // Program 7 without saturation feeds back more than it loses.
  SynthProbe synth;
  synth.setProgram(7);
  synth.setParameter(kSaturationA, 0.0f);
  synth.setParameter(kSaturationB, 0.0f);
  const Take take = playPhrase(synth);
  printf("peak %g\n", take.peak);
  EXPECT_EQ(take.nonFinite, 0);
  EXPECT_LT(take.peak, 100.0f);  // +40 dBFS
}

TEST(OutputSafety, NonNumbersAtTheInputStopAVoiceOnlyWhileTheyLast) {
  // A non-number reaching the strings stops the voice; a note already waiting
  // in it still starts on time.
  SynthProbe synth;
  synth.midi(0x90, 48, 100);
  synth.midi(0x90, 60, 100);
  synth.render(64);
  synth.midi(0x90, 62, 100, 6);  // waits in the quieter of the two voices
  std::vector<float> in(4, kNaN), l(4), r(4);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  synth.processReplacing(ins, outs, 4);
  const std::vector<float> after = synth.render(64);
  for (float s : after) ASSERT_TRUE(std::isfinite(s));
  int sounding = 0;
  bool started = false;
  for (int v = 0; v < 8; ++v) {
    if (synth.voice(v).getState() == engine::kVoiceSounding) ++sounding;
    started = started || synth.voice(v).getCurrentNote() == 62;
  }
  EXPECT_TRUE(started);
  EXPECT_EQ(sounding, 1);
}

TEST(OutputSafety, SampleClockWrapsWithoutOverflow) {
  // At 2^31 frames (13.5 hours at 44.1 kHz) the clock passes the largest int.
  SynthProbe synth;
  synth.setParameter(kBodyType1, 10.5f / 12.0f);  // random body seeded from the clock
  synth.sampleCounter = std::numeric_limits<int32_t>::max() - 10;
  synth.midi(0x90, 127, 127, 5);
  synth.midi(0x90, 100, 127, 20);
  const std::vector<float> out = synth.render(64);
  for (float s : out) ASSERT_TRUE(std::isfinite(s));
  EXPECT_EQ(synth.sampleCounter.get(), std::numeric_limits<int32_t>::min() + 53);
}
