// The instrument's engine seen from inside: derived settings, note start,
// voice allocation, MIDI handling and the block ramps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "synth_probe.h"

using namespace params;

namespace {

class Engine : public ::testing::Test {
 protected:
  SynthProbe synth;
  void noteOn(int note, int velocity = 100, int delta = 0) {
    synth.midi(0x90, note, velocity, delta);
  }
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

}  // namespace

TEST_F(Engine, NoteStartDerivesStringLengthsFromPitchAndRate) {
  synth.setParameter(kDetuneB, 0.0f);
  noteOn(69);
  synth.render(1);
  EXPECT_NEAR(synth.voice(0).getDelayLengthA(), 98.92727f, 1e-4);
  EXPECT_NEAR(synth.voice(0).getDelayLengthB(), 98.92727f, 1e-4);

  synth.setParameter(kDetuneB, 1.0f);
  EXPECT_EQ(synth.detuneRatioB.get(), 2.0f);
  noteOn(127);
  synth.render(1);
  EXPECT_NEAR(synth.voice(1).getDelayLengthA(), 2.2157f, 1e-3);
  EXPECT_NEAR(synth.voice(1).getDelayLengthB(), 44100.0f / (2.0f * 12543.85f) - 1.3f, 1e-3);

  synth.setSampleRate(8000.0f);
  noteOn(127);
  synth.render(1);
  EXPECT_EQ(synth.voice(2).getDelayLengthA(), 0.0f);
}

TEST_F(Engine, DerivedSettingsFollowTheirFormulas) {
  synth.setParameter(kBodyType1, 1.0f);
  EXPECT_FLOAT_EQ(synth.getParameter(kBodyType1), 1.0416667f);
  synth.setParameter(kBodyType1, 0.0f);
  EXPECT_FLOAT_EQ(synth.getParameter(kBodyType1), 0.041666668f);
  synth.setParameter(kBodyType1, 0.0834f);
  EXPECT_EQ(synth.getParameter(kBodyType1), 0.125f);

  const std::pair<float, int> polyphony[] = {{1.0f, 8}, {0.99f, 7}, {0.0f, 1}, {0.5f, 4}};
  for (auto [v, voices] : polyphony) {
    synth.setParameter(kPolyphony, v);
    EXPECT_EQ(synth.voiceCount.get(), voices) << v;
  }
  const std::pair<float, int> order[] = {{0.0f, 1}, {1.0f, 30}, {0.5f, 15}};
  for (auto [v, taps] : order) {
    synth.setParameter(kFilterOrder, v);
    EXPECT_EQ(synth.bodyOrder.get(), taps) << v;
  }
  synth.setParameter(kQuantizeNoise, 0.5f);
  EXPECT_FALSE(synth.leakShapeOn.get());
  synth.setParameter(kQuantizeNoise, 0.489f);
  EXPECT_TRUE(synth.leakShapeOn.get());
  synth.setParameter(kQuantizeNoise, 0.511f);
  EXPECT_TRUE(synth.leakShapeOn.get());
  synth.setParameter(kLeakAB, 0.0f);
  EXPECT_FALSE(synth.leakOnAB.get());
  synth.setParameter(kLeakAB, 1e-6f);
  EXPECT_TRUE(synth.leakOnAB.get());
  synth.setParameter(kVolume, 0.5f);
  EXPECT_EQ(synth.masterGain.get(), 0.0625f);
}

TEST_F(Engine, ValuesAreStoredInTheCurrentProgramAndOutOfRangeIndicesIgnored) {
  for (int i = 0; i < kNumParams; ++i) {
    synth.setParameter(i, 0.37f);
    EXPECT_EQ(synth.current().values[i], synth.getParameter(i)) << i;
  }
  const ProgramRecord before = synth.current();
  for (int index : {38, 39, 40, -1}) synth.setParameter(index, 0.9f);
  EXPECT_EQ(std::memcmp(&before, &synth.current(), sizeof(before)), 0);
  EXPECT_EQ(synth.getParameter(38), 0.0f);
}

TEST_F(Engine, NoValueDrivesACountOrIndexOutOfRange) {
  for (float v : {-1.0f, -0.01f, 1.5f, 1e9f, kNaN, kInf, -kInf}) {
    synth.setParameter(kPolyphony, v);
    EXPECT_GE(synth.voiceCount.get(), 1) << v;
    EXPECT_LE(synth.voiceCount.get(), 8) << v;
    synth.setParameter(kFilterOrder, v);
    EXPECT_GE(synth.bodyOrder.get(), 1) << v;
    EXPECT_LE(synth.bodyOrder.get(), 30) << v;
    synth.setParameter(kBodyType1, v);
    synth.setParameter(kBodyType2, v);
    const float code = synth.getParameter(kBodyType1);
    EXPECT_GE(std::floor(code * 12.0f), 0.0f) << v;
    EXPECT_LE(std::floor(code * 12.0f), 12.0f) << v;
    synth.setParameter(kQuantizeNoise, v);
    synth.setParameter(kLeakAB, 0.5f);
    // A note plays through every such setting without producing non-numbers.
    synth.setParameter(kPolyphony, 1.0f);
    noteOn(60);
    for (float s : synth.render(256)) ASSERT_TRUE(std::isfinite(s)) << v;
    synth.suspend();
  }
}

TEST_F(Engine, FirstNoteBeforeAnyFramePlays) {
  ASSERT_EQ(synth.sampleCounter.get(), 0);
  noteOn(60, 127);
  synth.render(1);
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceSounding);
}

TEST_F(Engine, NegativeDeltaStartsAtTheFirstFrame) {
  noteOn(60, 127, -20);
  synth.render(1);
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceSounding);
}

TEST_F(Engine, SameKeyTwiceTakesTwoVoices) {
  synth.setParameter(kPolyphony, 1.0f);
  noteOn(60);
  noteOn(60);
  EXPECT_TRUE(synth.voice(0).pending.active);
  EXPECT_TRUE(synth.voice(1).pending.active);
  EXPECT_FALSE(synth.voice(2).pending.active);
}

TEST_F(Engine, NoteOffInTheSameListDoesNotReleaseThePendingNote) {
  synth.setParameter(kRelease, 0.0f);
  noteOn(60, 127);
  synth.midi(0x80, 60, 0);
  synth.render(4410);
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceSounding);
  // A later note-off releases it.
  synth.midi(0x80, 60, 0);
  synth.render(64);
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceFree);
}

TEST_F(Engine, LoudVoicesGiveWayToTheLowestWithNothingPending) {
  synth.setParameter(kPolyphony, 1.0f);
  // A loud input keeps every sounding voice's level at or above 1.
  std::vector<float> in(64, 80.0f), l(64), r(64);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  auto renderLoud = [&](int n) { synth.processReplacing(ins, outs, n); };
  for (int i = 0; i < 8; ++i) noteOn(40 + i);
  renderLoud(64);
  for (int i = 0; i < 8; ++i) ASSERT_GE(synth.voice(i).getLevel(), 1.0f) << i;
  noteOn(61);  // voice 0; the round-robin index moves on to 1
  EXPECT_EQ(synth.voice(0).pending.note, 61);
  renderLoud(1);
  ASSERT_FALSE(synth.voice(0).pending.active);
  for (int i = 0; i < 8; ++i) ASSERT_GE(synth.voice(i).getLevel(), 1.0f) << i;
  noteOn(70);  // no voice is quiet and none is pending: the lowest index, not the rotation
  EXPECT_EQ(synth.voice(0).pending.note, 70);
  EXPECT_FALSE(synth.voice(1).pending.active);
}

TEST_F(Engine, EveryVoiceHoldingALoudPendingNoteFallsBackToRoundRobin) {
  synth.setParameter(kPolyphony, 1.0f);
  for (int i = 0; i < 8; ++i) noteOn(40 + i, 127, 1000);
  noteOn(90, 127, 1000);
  EXPECT_EQ(synth.voice(0).pending.note, 90);
  noteOn(91, 127, 1000);
  EXPECT_EQ(synth.voice(1).pending.note, 91);
}

TEST_F(Engine, ControllersMapToParametersAndAllVoicesOff) {
  synth.midi(0xB3, 1, 127);
  EXPECT_EQ(synth.getParameter(kFilterSustain), 1.0f);
  synth.midi(0xB0, 105, 0);
  EXPECT_EQ(synth.getParameter(kLeakageCut), 0.0f);
  synth.midi(0xB0, 107, 64);
  EXPECT_FLOAT_EQ(synth.getParameter(kWarp), 64 * 0.007874016f);
  // Bytes of 128 and more are not MIDI data.
  synth.midi(0xB0, 1, 200);
  EXPECT_EQ(synth.getParameter(kFilterSustain), 1.0f);

  synth.setParameter(kPolyphony, 1.0f);
  noteOn(50);
  noteOn(52);
  synth.render(8);
  synth.setParameter(kPolyphony, 0.0f);
  noteOn(55, 100, 4);
  synth.midi(0xB0, 126, 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(synth.voice(i).getState(), engine::kVoiceFree) << i;
  // The note still pending from the same list starts at its frame.
  synth.render(8);
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceSounding);
}

TEST_F(Engine, PitchBendRampsOverOneBlock) {
  synth.midi(0xE0, 0, 64);
  EXPECT_EQ(synth.pitchBendRatio.get(), 1.0f);
  synth.midi(0xE0, 0, 0);
  const float target = synth.pitchBendRatio.get();
  EXPECT_NEAR(target, 1.12246f, 1e-4);
  synth.bendSeen.clear();
  synth.render(8);
  ASSERT_EQ(synth.bendSeen.size(), 8u);
  EXPECT_EQ(synth.bendSeen[0], 1.0f);
  for (int i = 1; i < 8; ++i) EXPECT_NEAR(synth.bendSeen[i], 1.0f + i * (target - 1.0f) / 8, 1e-6);
  EXPECT_EQ(synth.pitchBendRatioSmoothed.get(), target);
  synth.midi(0xE0, 127, 127);
  EXPECT_NEAR(synth.pitchBendRatio.get(), 0.89091f, 1e-4);
}

TEST_F(Engine, WarpChangesBecomeARampOverTheNextBlock) {
  synth.setParameter(kWarp, 0.2f);
  synth.render(16);
  synth.setParameter(kWarp, 0.6f);
  synth.warpSeen.clear();
  synth.render(4);
  ASSERT_EQ(synth.warpSeen.size(), 4u);
  EXPECT_FLOAT_EQ(synth.warpSeen[0], 0.2f);
  EXPECT_FLOAT_EQ(synth.warpSeen[1], 0.3f);
  EXPECT_FLOAT_EQ(synth.warpSeen[2], 0.4f);
  EXPECT_FLOAT_EQ(synth.warpSeen[3], 0.5f);
  synth.warpSeen.clear();
  synth.render(2);
  EXPECT_EQ(synth.warpSeen[0], 0.6f);
  EXPECT_EQ(synth.warpSeen[1], 0.6f);
  // An empty block only lands on the target.
  synth.setParameter(kWarp, 0.1f);
  synth.render(0);
  EXPECT_EQ(synth.warpSmoothed.get(), 0.1f);
}

TEST_F(Engine, HeldNoteEndsOnceItsLevelStaysBelowTheThreshold) {
  // Strings that die at once; the level followers then decay slowly.
  synth.setParameter(kGainA, 0.0f);
  synth.setParameter(kGainB, 0.0f);
  synth.setParameter(kLeakAB, 0.0f);
  synth.setParameter(kLeakBA, 0.0f);
  noteOn(60);
  synth.render(44101);
  ASSERT_EQ(synth.voice(0).getState(), engine::kVoiceSounding);
  float before = synth.voice(0).getLevel();
  ASSERT_GE(before, 1e-6f);
  for (int frame = 0; frame < 400000; ++frame) {
    synth.render(1);
    if (synth.voice(0).getState() == engine::kVoiceFree) {
      EXPECT_LT(synth.voice(0).getLevel(), 1e-6f);
      EXPECT_GE(before, 1e-6f) << "ended one frame late";
      return;
    }
    before = synth.voice(0).getLevel();
  }
  FAIL() << "the note never ended";
}

TEST_F(Engine, ARunawayStringIsStoppedBeforeItReachesInfinity) {
  // Full saturation beyond its range diverges: a loud input drives the strings there.
  synth.setParameter(kSaturationA, 1.0f);
  synth.setParameter(kSaturationB, 1.0f);
  synth.setParameter(kGainA, 1.0f);
  synth.setParameter(kGainB, 1.0f);
  synth.setParameter(kPolyphony, 0.0f);
  noteOn(60);
  std::vector<float> in(256, 3.0f), l(256), r(256);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  for (int block = 0; block < 40; ++block) {
    synth.processReplacing(ins, outs, 256);
    for (float s : l) ASSERT_LE(std::fabs(s), 1e5f) << "block " << block;
  }
  EXPECT_EQ(synth.voice(0).getState(), engine::kVoiceFree);
}
