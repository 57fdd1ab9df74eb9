// Note timing to the sample, release tail and audio input, through the built
// tool and the probe plug-in (an impulse of 1 + channel at each note-on frame,
// −0.25 at each note-off).
#include <cmath>
#include <map>

#include "render_test_support.h"

using namespace render_test;

namespace {

constexpr int kPpqn = 96;

// The tempo map of the files below: 120 bpm, then 200 bpm from tick 384.
double secondsAt(int tick) {
  if (tick < 384) return tick / double(kPpqn) * 0.5;
  return 2.0 + (tick - 384) / double(kPpqn) * 0.3;
}

int64_t frameAt(int tick, double rate) { return std::llround(secondsAt(tick) * rate); }

std::vector<uint8_t> tempo(uint32_t microsecondsPerQuarter) {
  return {0xFF,
          0x51,
          0x03,
          uint8_t(microsecondsPerQuarter >> 16),
          uint8_t(microsecondsPerQuarter >> 8),
          uint8_t(microsecondsPerQuarter)};
}

const std::vector<uint8_t> kEndOfTrack = {0xFF, 0x2F, 0x00};

// Format 1: a conductor track with the tempo change and two note tracks on
// several channels, with running status.
std::vector<uint8_t> formatOneSong() {
  Bytes conductor, notes, more;
  conductor.vlq(0).append(tempo(500000)).vlq(384).append(tempo(300000)).vlq(0).append(kEndOfTrack);
  notes.vlq(0)
      .u8(0x90)
      .u8(0x3C)
      .u8(0x64)  // tick 0: channel 1 on
      .vlq(37)
      .u8(0x3C)
      .u8(0x00)  // tick 37: running status, velocity 0 = off
      .vlq(96)
      .u8(0x40)
      .u8(0x50)  // tick 133: running status on
      .vlq(200)
      .u8(0x99)
      .u8(0x24)
      .u8(0x70)  // tick 333: channel 10 on
      .vlq(100)
      .u8(0x8F)
      .u8(0x40)
      .u8(0x00)  // tick 433: channel 16 off
      .vlq(71)
      .u8(0x80)
      .u8(0x40)
      .u8(0x00)  // tick 504: channel 1 off
      .vlq(50)
      .u8(0x89)
      .u8(0x24)
      .u8(0x00)  // tick 554: channel 10 off
      .vlq(0)
      .append(kEndOfTrack);
  more.vlq(400)
      .u8(0x93)
      .u8(0x30)
      .u8(0x60)  // tick 400: channel 4 on
      .vlq(300)
      .u8(0x83)
      .u8(0x30)
      .u8(0x00)  // tick 700: channel 4 off
      .vlq(0)
      .append(kEndOfTrack);
  return midiFile(1, kPpqn, {conductor.data, notes.data, more.data});
}

// (tick, impulse) of formatOneSong.
const std::map<int, float> kFormatOneImpulses = {{0, 1.0f},     {37, -0.25f},  {133, 1.0f},
                                                 {333, 10.0f},  {400, 4.0f},   {433, -0.25f},
                                                 {504, -0.25f}, {554, -0.25f}, {700, -0.25f}};

// The nonzero samples of a channel, by frame.
std::map<int64_t, float> impulses(const std::vector<float>& channel) {
  std::map<int64_t, float> found;
  for (size_t i = 0; i < channel.size(); ++i)
    if (channel[i] != 0.0f) found[int64_t(i)] = channel[i];
  return found;
}

std::map<int64_t, float> expectedFrames(const std::map<int, float>& ticks, double rate) {
  std::map<int64_t, float> frames;
  for (auto [tick, value] : ticks) frames[frameAt(tick, rate)] = value;
  return frames;
}

}  // namespace

TEST(RenderTiming, FormatOneWithTempoChangeLandsOnTheExactFrames) {
  ScratchFolder dir;
  writeBytes(dir / "song.mid", formatOneSong());
  for (int block : {1, 64, 1000}) {
    for (int rate : {44100, 48000}) {
      SCOPED_TRACE("block " + std::to_string(block) + ", rate " + std::to_string(rate));
      auto run =
          runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "song.mid", "-o", dir / "song.wav",
                        "--block", std::to_string(block), "--rate", std::to_string(rate)});
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_EQ(run.err, "") << "no progress bar when stderr is not a terminal";
      Audio audio = readAudio(dir / "song.wav");
      ASSERT_EQ(audio.channels, 2);
      EXPECT_EQ(audio.rate, rate);
      EXPECT_EQ(audio.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
      EXPECT_EQ(impulses(audio.samples[0]), expectedFrames(kFormatOneImpulses, rate));
      // The tail stops one second after the last sound (the note-off at tick 700).
      EXPECT_EQ(int64_t(audio.frames()), frameAt(700, rate) + 1 + rate);
    }
  }
}

TEST(RenderTiming, FormatZeroWithTempoChangeMidTrack) {
  ScratchFolder dir;
  Bytes track;
  track.vlq(0)
      .append(tempo(500000))
      .vlq(10)
      .u8(0x92)
      .u8(0x50)
      .u8(0x40)  // tick 10: channel 3 on
      .vlq(374)
      .append(tempo(300000))  // tick 384: tempo change
      .vlq(1)
      .u8(0x92)
      .u8(0x50)
      .u8(0x40)  // tick 385: a meta event ends running status; the status is given again
      .vlq(15)
      .u8(0x52)
      .u8(0x40)  // tick 400: running status again
      .vlq(80)
      .u8(0x82)
      .u8(0x50)
      .u8(0x00)  // tick 480: off
      .vlq(0)
      .append(kEndOfTrack);
  writeBytes(dir / "zero.mid", midiFile(0, kPpqn, {track.data}));
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "zero.mid", "-o", dir / "zero.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio audio = readAudio(dir / "zero.wav");
  EXPECT_EQ(impulses(audio.samples[0]),
            // Tick 480: the note-off and the releases of the two repeats still held at the end.
            expectedFrames({{10, 3.0f}, {385, 3.0f}, {400, 3.0f}, {480, -0.75f}}, 44100));
}

TEST(RenderTiming, HeldNotesAreReleasedAtTheEndOfTheSong) {
  ScratchFolder dir;
  Bytes track;
  // Two stacked note-ons of one key, one off, and the song ends a beat later.
  track.vlq(0)
      .u8(0x90)
      .u8(0x3C)
      .u8(0x64)
      .vlq(10)
      .u8(0x3C)
      .u8(0x64)
      .vlq(10)
      .u8(0x80)
      .u8(0x3C)
      .u8(0)
      .vlq(172)
      .append(kEndOfTrack);
  writeBytes(dir / "held.mid", midiFile(0, kPpqn, {track.data}));
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "held.mid", "-o", dir / "held.wav"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio audio = readAudio(dir / "held.wav");
  const int64_t lastFrame = frameAt(192, 44100) - 1;
  auto found = impulses(audio.samples[0]);
  EXPECT_EQ(found, (std::map<int64_t, float>{{frameAt(0, 44100), 1.0f},
                                             {frameAt(10, 44100), 1.0f},
                                             {frameAt(20, 44100), -0.25f},
                                             {lastFrame, -0.25f}}));
  EXPECT_EQ(int64_t(audio.frames()), lastFrame + 1 + 44100);
}

TEST(RenderTiming, TailCapCutsTheSilenceAndPcmContainersFollowTheName) {
  ScratchFolder dir;
  writeBytes(dir / "song.mid", formatOneSong());
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "song.mid", "-o", dir / "cut.aiff",
                           "--bits", "24", "--tail-max", "0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio aiff = readAudio(dir / "cut.aiff");
  EXPECT_EQ(aiff.format, SF_FORMAT_AIFF | SF_FORMAT_PCM_24);
  EXPECT_EQ(int64_t(aiff.frames()), frameAt(700, 44100) + 1);

  run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "song.mid", "-o", dir / "song.flac",
                      "--bits", "16"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio flac = readAudio(dir / "song.flac");
  EXPECT_EQ(flac.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  std::map<int64_t, float> loud;
  for (auto [frame, value] : impulses(flac.samples[0]))
    if (std::fabs(value) > 0.1f) loud[frame] = 0.0f;
  std::map<int64_t, float> expected;
  for (auto [frame, value] : expectedFrames(kFormatOneImpulses, 44100)) expected[frame] = 0.0f;
  EXPECT_EQ(loud, expected);

  run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "song.mid", "-o", dir / "float.flac",
                      "--bits", "32"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(fs::exists(dir / "float.flac"));
}

TEST(RenderTiming, InputAudioReachesThePluginsInputsAndLengthensTheRender) {
  ScratchFolder dir;
  constexpr int kFrames = 10000;
  {
    SF_INFO info{};
    info.samplerate = 32000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open((dir / "ramp.wav").c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    std::vector<float> ramp(kFrames);
    for (int i = 0; i < kFrames; ++i) ramp[size_t(i)] = float(i % 100 + 1) / 128.0f;
    sf_writef_float(f, ramp.data(), kFrames);
    sf_close(f);
  }
  Bytes track;
  track.vlq(0).u8(0x90).u8(0x3C).u8(0x64).vlq(1).u8(0x80).u8(0x3C).u8(0).vlq(0).append(kEndOfTrack);
  writeBytes(dir / "short.mid", midiFile(0, kPpqn, {track.data}));

  // The render takes the input's rate when none is given.
  auto run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "short.mid", "--input-audio",
                           dir / "ramp.wav", "-o", dir / "mixed.wav", "--block", "300"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Audio audio = readAudio(dir / "mixed.wav");
  EXPECT_EQ(audio.rate, 32000);
  ASSERT_EQ(int64_t(audio.frames()), kFrames + 32000);
  for (int i = 0; i < kFrames; ++i)
    ASSERT_EQ(audio.samples[1][size_t(i)], float(i % 100 + 1) / 128.0f) << "frame " << i;
  for (size_t i = kFrames; i < audio.frames(); ++i) ASSERT_EQ(audio.samples[1][i], 0.0f);

  run = runTool(dir, {"--plugin", QS_PROBE_PLUGIN, dir / "short.mid", "--input-audio",
                      dir / "ramp.wav", "--rate", "44100", "-o", dir / "clash.wav"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("32000"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "clash.wav"));
}
